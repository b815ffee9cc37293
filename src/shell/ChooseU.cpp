#include "shell/ChooseU.h"

#include <algorithm>
#include <string_view>

#include "../resources/ChooseDictIds.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "base/Reporter.h"
#include "base/Text.h"
#include "shell/ConstU.h"
#include "shell/Settings.h"

namespace lexmora {

namespace {

// The list's item height, in pixels at 96 DPI.
constexpr int kItemHeight = 13;
// Read-only, hidden, system, volume label, directory and archive: every match is listed.
constexpr DWORD kAttributeMask = 0x3F;
// Matches with any of these attributes are left out unless the mask asks for them.
constexpr DWORD kSpecialAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     0x08 /* volume label */ | FILE_ATTRIBUTE_DIRECTORY;
// The arrows' range: the upper one proposes +1, the lower one -1, from the middle.
constexpr int16_t kArrowLow = 0;
constexpr int16_t kArrowMiddle = 1;
constexpr int16_t kArrowHigh = 2;

}  // namespace

TfmChooseDict::TfmChooseDict() : folder_(ProgramFolderW() + kDictionariesFolder) {
  CreateFromLayout(IDD_CHOOSEDICT);
  lbFiles.Attach(Item(IDC_CHOOSE_LBFILES));
  pnlBottom.Attach(Item(IDC_CHOOSE_PNLBOTTOM));
  chbDoSort.Attach(Item(IDC_CHOOSE_CHBDOSORT));
  udMove.Attach(Item(IDC_CHOOSE_UDMOVE));
  udMove.SetRange(kArrowLow, kArrowHigh);
  udMove.SetPosition(kArrowMiddle);
  lbFiles.SetItemHeight(Scale(kItemHeight));
  SetActiveControl(&lbFiles);
  SetShortcuts({{FVIRTKEY | FCONTROL, VK_UP, IDM_CHOOSE_MOVEUP},
                {FVIRTKEY | FCONTROL, VK_DOWN, IDM_CHOOSE_MOVEDOWN}});
  OnCommand(IDM_CHOOSE_MOVEUP, [this] { MoveSelected(-1); });
  OnCommand(IDM_CHOOSE_MOVEDOWN, [this] { MoveSelected(1); });
  OnCommand(IDM_CHOOSE_TICK, [this] { ToggleTick(lbFiles.ItemIndex()); });

  OnShow = [this] { FormShow(); };
  lbFiles.OnClick = [this] { lbFilesClick(); };
  lbFiles.OnDblClick = [this] { lbFilesDblClick(); };
  lbFiles.OnKeyPress = [this](wchar_t& key) { lbFilesKeyPress(key); };
  chbDoSort.OnClick = [this] { chbDoSortClick(); };
  lbFiles.OnTickClick = [this](int32_t index) { ToggleTick(index); };
  // The upper arrow moves the selected dictionary up the list.
  udMove.OnArrow = [this](int delta) {
    MoveSelected(delta > 0 ? -1 : 1);
    lbFiles.SetFocus();
  };
  OnDpiChange = [this](int) { lbFiles.SetItemHeight(Scale(kItemHeight)); };
}

std::wstring TfmChooseDict::SelectedName() const {
  return lbFiles.Item(lbFiles.ItemIndex());
}

bool TfmChooseDict::SortRequested() const {
  return chbDoSort.Enabled() && chbDoSort.Checked();
}

void TfmChooseDict::SetInUse(const std::vector<std::wstring>& names) {
  inUse_ = names;
}

std::vector<std::wstring> TfmChooseDict::TickedNames() const {
  std::vector<std::wstring> names;
  for (int32_t i = 0; i < lbFiles.Count(); ++i) {
    if (lbFiles.Ticked(i))
      names.push_back(lbFiles.Item(i));
  }
  return names;
}

std::vector<std::wstring> TfmChooseDict::ChosenNames() const {
  const int32_t selected = lbFiles.ItemIndex();
  const std::wstring name = lbFiles.Item(selected);  // raises when nothing is selected
  std::vector<std::wstring> ticked = TickedNames();
  if (ticked.empty() || (!lbFiles.Ticked(selected) && ticked == shownTicks_))
    return {name};
  return ticked;
}

void TfmChooseDict::ToggleTick(int32_t index) {
  if (index < 0 || index >= lbFiles.Count())
    return;
  const bool tick = !lbFiles.Ticked(index);
  if (tick && TickedNames().size() >= kMaxDictsInUse) {
    CurrentReporter().Beep(MB_OK);
    return;
  }
  lbFiles.SetTicked(index, tick);
}

void TfmChooseDict::MoveSelected(int delta) {
  const int32_t from = lbFiles.ItemIndex();
  const int64_t to = int64_t{from} + delta;
  if (from < 0 || to < 0 || to >= lbFiles.Count())
    return;
  lbFiles.MoveItem(from, static_cast<int32_t>(to));
  // The check box's tag names a place in the list: it follows the item it named.
  if (chbDoSort.Tag == from) {
    chbDoSort.Tag = static_cast<int32_t>(to);
  } else if (chbDoSort.Tag == to) {
    chbDoSort.Tag = from;
  }
}

void TfmChooseDict::FormShow() {
  lbFiles.Clear();
  lbFiles.SetItemIndex(-1);
  chbDoSort.SetEnabled(false);

  std::vector<std::wstring> names;
  const std::wstring pattern = folder_ + L"*" + L".dat";
  WIN32_FIND_DATAW found;
  if (FindHandle search(FindFirstFileW(pattern.c_str(), &found)); search) {
    const DWORD excluded = ~kAttributeMask & kSpecialAttributes;
    do {
      if ((found.dwFileAttributes & excluded) == 0 && IsDictionaryFileName(found.cFileName))
        names.push_back(StripExtension(found.cFileName));
    } while (FindNextFileW(search.Get(), &found));
  }
  // The dictionaries in use come first, in their order; the others as the search found them.
  for (const std::wstring& used : inUse_) {
    const auto it = std::find_if(names.begin(), names.end(), [&](const std::wstring& name) {
      return SameDictionaryName(name, used);
    });
    if (it == names.end())
      continue;
    lbFiles.Add(*it, true);
    names.erase(it);
  }
  for (const std::wstring& name : names)
    lbFiles.Add(name, false);
  shownTicks_ = TickedNames();
}

bool TfmChooseDict::IsDictionaryFileName(const std::wstring& name) {
  constexpr std::wstring_view kExtension = L".dat";
  return name.size() >= kExtension.size() &&
         CompareStringOrdinal(name.c_str() + name.size() - kExtension.size(),
                              static_cast<int>(kExtension.size()), kExtension.data(),
                              static_cast<int>(kExtension.size()), TRUE) == CSTR_EQUAL;
}

std::wstring TfmChooseDict::StripExtension(const std::wstring& name) {
  std::wstring tail = name;
  for (size_t dot = tail.find(L'.'); dot != std::wstring::npos; dot = tail.find(L'.')) {
    tail.erase(0, dot + 1);
  }
  const ptrdiff_t keep =
      static_cast<ptrdiff_t>(name.size()) - static_cast<ptrdiff_t>(tail.size()) - 1;
  return keep > 0 ? name.substr(0, static_cast<size_t>(keep)) : std::wstring();
}

void TfmChooseDict::lbFilesClick() {
  const int32_t index = lbFiles.ItemIndex();
  if (index < 0)
    return;
  const std::wstring name = lbFiles.Item(index);
  chbDoSort.SetEnabled(!FileExists(folder_ + name + L".ind"));
  if (index != chbDoSort.Tag) {
    chbDoSort.Tag = index;
    chbDoSort.SetChecked(false);
  }
}

void TfmChooseDict::lbFilesDblClick() {
  // Nothing selected: nothing to confirm, the dialog stays open.
  if (lbFiles.ItemIndex() < 0)
    return;
  SetModalResult(mrOk);
}

void TfmChooseDict::lbFilesKeyPress(wchar_t& key) {
  if (key == VK_RETURN) {
    key = 0;
    lbFilesDblClick();
  } else if (key == VK_ESCAPE) {
    key = 0;
    Close();
  } else if (key == VK_SPACE) {
    key = 0;
    ToggleTick(lbFiles.ItemIndex());
  }
}

void TfmChooseDict::chbDoSortClick() {
  lbFiles.SetFocus();
}

void TfmChooseDict::ShowListMenu(POINT at) {
  const int32_t index = lbFiles.ItemIndex();
  if (index < 0)
    return;
  if (at.x == -1 && at.y == -1) {
    RECT item{};
    SendMessageW(lbFiles.Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    at = {item.left, item.bottom};
    ClientToScreen(lbFiles.Handle(), &at);
  }
  const MenuHandle menu(CreatePopupMenu());
  if (!menu)
    return;
  const UINT ticked = lbFiles.Ticked(index) ? MF_CHECKED : MF_UNCHECKED;
  AppendMenuW(menu.Get(), MF_STRING | ticked, IDM_CHOOSE_TICK, L"Use\tSpace");
  AppendMenuW(menu.Get(), MF_STRING | (index > 0 ? MF_ENABLED : MF_GRAYED), IDM_CHOOSE_MOVEUP,
              L"Move up\tCtrl+Up");
  AppendMenuW(menu.Get(), MF_STRING | (index + 1 < lbFiles.Count() ? MF_ENABLED : MF_GRAYED),
              IDM_CHOOSE_MOVEDOWN, L"Move down\tCtrl+Down");
  const auto command = static_cast<WORD>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                        at.x, at.y, 0, Handle(), nullptr));
  if (command != 0)
    SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

LRESULT TfmChooseDict::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == lbFiles.Handle()) {
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (at.x != -1 || at.y != -1) {
      // The item under the pointer is the one the menu is about.
      POINT client = at;
      ScreenToClient(lbFiles.Handle(), &client);
      const LRESULT hit =
          SendMessageW(lbFiles.Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
      if (HIWORD(hit) == 0 && static_cast<int32_t>(LOWORD(hit)) != lbFiles.ItemIndex()) {
        lbFiles.SetItemIndex(LOWORD(hit));
        lbFilesClick();
      }
    }
    ShowListMenu(at);
    return 0;
  }
  return TForm::WndProc(msg, wParam, lParam);
}

}  // namespace lexmora
