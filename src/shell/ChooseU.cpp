#include "shell/ChooseU.h"

#include <string_view>

#include "../resources/ChooseDictIds.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "shell/ConstU.h"

namespace lexmora {

namespace {

// The list's item height, in pixels at 96 DPI.
constexpr int kItemHeight = 13;
// Read-only, hidden, system, volume label, directory and archive: every match is listed.
constexpr DWORD kAttributeMask = 0x3F;
// Matches with any of these attributes are left out unless the mask asks for them.
constexpr DWORD kSpecialAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     0x08 /* volume label */ | FILE_ATTRIBUTE_DIRECTORY;

}  // namespace

TfmChooseDict::TfmChooseDict() : folder_(ProgramFolderW() + kDictionariesFolder) {
  CreateFromLayout(IDD_CHOOSEDICT);
  lbFiles.Attach(Item(IDC_CHOOSE_LBFILES));
  pnlBottom.Attach(Item(IDC_CHOOSE_PNLBOTTOM));
  chbDoSort.Attach(Item(IDC_CHOOSE_CHBDOSORT));
  lbFiles.SetItemHeight(Scale(kItemHeight));
  SetActiveControl(&lbFiles);

  OnShow = [this] { FormShow(); };
  lbFiles.OnClick = [this] { lbFilesClick(); };
  lbFiles.OnDblClick = [this] { lbFilesDblClick(); };
  lbFiles.OnKeyPress = [this](wchar_t& key) { lbFilesKeyPress(key); };
  chbDoSort.OnClick = [this] { chbDoSortClick(); };
  OnDpiChange = [this](int) { lbFiles.SetItemHeight(Scale(kItemHeight)); };
}

std::wstring TfmChooseDict::SelectedName() const {
  return lbFiles.Item(lbFiles.ItemIndex());
}

bool TfmChooseDict::SortRequested() const {
  return chbDoSort.Enabled() && chbDoSort.Checked();
}

void TfmChooseDict::FormShow() {
  lbFiles.Clear();
  lbFiles.SetItemIndex(-1);
  chbDoSort.SetEnabled(false);

  const std::wstring pattern = folder_ + L"*" + L".dat";
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(pattern.c_str(), &found));
  if (!search)
    return;
  const DWORD excluded = ~kAttributeMask & kSpecialAttributes;
  do {
    if ((found.dwFileAttributes & excluded) == 0 && IsDictionaryFileName(found.cFileName))
      lbFiles.Add(StripExtension(found.cFileName));
  } while (FindNextFileW(search.Get(), &found));
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
  }
}

void TfmChooseDict::chbDoSortClick() {
  lbFiles.SetFocus();
}

}  // namespace lexmora
