#include "shell/MainU.h"

#include <richedit.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "../resources/ImageIds.h"
#include "../resources/MainIds.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "base/Registry.h"
#include "base/Text.h"
#include "render/ARtfDisplayU.h"
#include "shell/AboutU.h"
#include "shell/ChooseU.h"
#include "shell/ConstU.h"
#include "shell/DockManU.h"
#include "shell/DrawnImages.h"
#include "shell/HandOver.h"
#include "shell/OptionsU.h"
#include "shell/Settings.h"
#include "shell/WindowPlacement.h"
#include "store/DictTitle.h"
#include "ui/Application.h"
#include "ui/StayOnTop.h"

namespace lexmora {

TfmMain* fmMain = nullptr;
TfmChooseDict* fmChooseDict = nullptr;
TfmOptions* fmOptions = nullptr;

namespace {

using namespace main_layout;

// Pixels at 96 DPI, scaled to the window's DPI (TForm::Scale); the heights of the stacked parts
// are in MainLayout.h.
constexpr int kSearchWidth = 144;
// The height of the search box with its drop-down list open.
constexpr int kSearchDropHeight = 200;
constexpr int kSearchMaxLength = 50;
// How much higher the search box is than a line of its font.
constexpr int kSearchTextRoom = 8;
constexpr WPARAM kSelectionField = static_cast<WPARAM>(-1);  // CB_SETITEMHEIGHT's edit field
constexpr int kSeparatorWidth = 8;

// Tool-bar image indexes.
constexpr int kImageStayOnTop = 0;
constexpr int kImageDict = 1;
constexpr int kImageHelp = 2;
constexpr int kImageAbout = 3;
constexpr int kImageOptions = 4;

TfmChooseDict& Chooser() {
  if (fmChooseDict == nullptr)
    throw Exception("The dictionary chooser does not exist");
  return *fmChooseDict;
}

// Runs `action` when the scope ends, on every path.
template <typename F>
class AtExit {
 public:
  explicit AtExit(F action) : action_(std::move(action)) {}
  ~AtExit() { action_(); }
  AtExit(const AtExit&) = delete;
  AtExit& operator=(const AtExit&) = delete;

 private:
  F action_;
};

}  // namespace

TfmMain::TfmMain()
    : dicts_([] { Application().HandleCurrentException(); }),
      FTextSearch(std::make_unique<TTextSearch>(static_cast<TTextSearchHost&>(*this))),
      FLookupAnywhere(std::make_unique<TLookupAnywhere>(static_cast<TLookupHost&>(*this))),
      FWordForms(std::make_unique<TWordForms>(static_cast<TWordFormsHost&>(*this),
                                              Morphology::ProgramFolder())) {
  windowClassName_ = ToWide(kMainWindowClass);
  CreateFromLayout(IDD_MAIN);
  KeyPreview = true;
  SetMinTrackSize(kMinWidth, kMinHeight);
  CreateControls();
  ApplyFont(font_.name, font_.size);
  FLookupAnywhere->Start(Handle());

  SetShortcuts({{FVIRTKEY | FCONTROL, 'D', IDM_DICTIONARY},
                {FVIRTKEY | FCONTROL, 'S', IDM_STAYONTOP},
                {FVIRTKEY, VK_F1, IDM_HELP},
                {FVIRTKEY, VK_F10, IDM_OPTIONS},
                {FVIRTKEY | FCONTROL, 'F', IDM_FINDINTEXT},
                {FVIRTKEY, VK_F3, IDM_NEXTMATCH},
                {FVIRTKEY | FSHIFT, VK_F3, IDM_PREVIOUSMATCH}});
  OnCommand(IDM_DICTIONARY, [this] { tbtnDictClick(); });
  OnCommand(IDM_STAYONTOP, [this] { miStayOnTopClick(); });
  OnCommand(IDM_HELP, [this] { tbtnHelpClick(); });
  OnCommand(IDM_OPTIONS, [this] { tbtnOptionsClick(); });
  OnCommand(IDM_FINDINTEXT, [this] { FTextSearch->SetActive(!FTextSearch->Active()); });
  OnCommand(IDM_NEXTMATCH, [this] { FTextSearch->Step(1); });
  OnCommand(IDM_PREVIOUSMATCH, [this] { FTextSearch->Step(-1); });

  tbtnStayOnTop->OnClick = [this] { tbtnStayOnTopClick(); };
  tbtnDict->OnClick = [this] { tbtnDictClick(); };
  tbtnOptions->OnClick = [this] { tbtnOptionsClick(); };
  tbtnHelp->OnClick = [this] { tbtnHelpClick(); };
  tbtnAbout->OnClick = [this] { tbtnAboutClick(); };
  cbSearch.OnChange = [this] { cbSearchChange(); };
  cbSearch.OnKeyPress = [this](wchar_t& key) { cbSearchKeyPress(key); };
  for (TPreviewPane* pane : {&reTop1, &reTop2, &reBottom2, &reBottom1}) {
    pane->OnMouseDown = [this](TControl& sender, int button, UINT shift, int x, int y) {
      reBottom2MouseDown(sender, button, shift, x, y);
    };
  }
  OnActivate = [this] { TntFormActivate(); };
  OnDestroy = [this] { TntFormDestroy(); };
  OnResize = [this] { TntFormResize(); };
  OnKeyPress = [this](wchar_t& key) { TntFormKeyPress(key); };
  OnDpiChange = [this](int) { TntFormDpiChange(); };
  SetActiveControl(&cbSearch);

  Layout();
  OnCreate = [this] { TntFormCreate(); };
  DoCreate();
}

TfmMain::~TfmMain() {
  if (fmMain == this)
    fmMain = nullptr;
}

void TfmMain::CreateControls() {
  struct Spacer {
    TPanel& panel;
    int id;
  };
  for (const Spacer& s : {Spacer{pnlTop, IDC_PNLTOP}, Spacer{pnlTop1, IDC_PNLTOP1},
                          Spacer{pnlBottom1, IDC_PNLBOTTOM1}, Spacer{pnlBottom, IDC_PNLBOTTOM}}) {
    s.panel.Attach(Item(s.id));
    s.panel.SetColor(COLOR_WINDOW);
  }
  bvlTop.Attach(Item(IDC_BVLTOP));
  bvlBottom.Attach(Item(IDC_BVLBOTTOM));

  LoadDrawnImages(imglstImages, ImageForDpi(kToolbarImages, Dpi()));

  // Created after the layout's spacers and before the panes, so that the search box comes
  // first in the tab order and the main pane second.
  tbToolbar.Create(Handle(), &imglstImages);
  HWND bar = tbToolbar.Handle();
  SetWindowLongPtrW(bar, GWLP_ID, IDC_TOOLBAR);
  // The window places the bar itself (Layout), at its designed height.
  SetWindowLongPtrW(bar, GWL_STYLE,
                    GetWindowLongPtrW(bar, GWL_STYLE) | CCS_NORESIZE | CCS_NOPARENTALIGN);
  tbToolbar.SetBounds(0, 0, ClientRect().right, Scale(kToolbarHeight));

  cbSearch.Create(Handle(), CBS_LOWERCASE, 0, 0, Scale(kSearchWidth), Scale(kSearchDropHeight),
                  IDC_CBSEARCH);
  cbSearch.SetMaxLength(kSearchMaxLength);
  tbToolbar.AddControl(cbSearch, kSearchWidth);
  FTextSearch->CreateControls(tbToolbar);
  FWordForms->CreateControls(IDC_LNKFORMS);
  tbToolbar.AddSeparator(kSeparatorWidth);  // tbtn1
  tbtnStayOnTop =
      &tbToolbar.AddButton(IDC_TBTNSTAYONTOP, kImageStayOnTop, "Stay On Top (Ctrl+S)", true);
  tbToolbar.AddSeparator(kSeparatorWidth);  // tbtn2
  tbtnDict = &tbToolbar.AddButton(IDC_TBTNDICT, kImageDict, "Change dictionary... (Ctrl+D)");
  tbToolbar.AddSeparator(kSeparatorWidth);  // tbtn5
  tbtnOptions = &tbToolbar.AddButton(IDC_TBTNOPTIONS, kImageOptions, "Options (F10)");
  tbToolbar.AddSeparator(kSeparatorWidth);  // tbtn3
  tbtnHelp = &tbToolbar.AddButton(IDC_TBTNHELP, kImageHelp, "Help (F1)");
  tbToolbar.AddSeparator(kSeparatorWidth);  // tbtn4
  tbtnAbout = &tbToolbar.AddButton(IDC_TBTNABOUT, kImageAbout, "About");

  struct Pane {
    TRichEdit& pane;
    DWORD style;
    int id;
  };
  for (const Pane& p : {Pane{reTop1, 0, IDC_RETOP1}, Pane{reTop2, 0, IDC_RETOP2},
                        Pane{reMeaning, WS_VSCROLL | WS_TABSTOP, IDC_REMEANING},
                        Pane{reBottom2, 0, IDC_REBOTTOM2}, Pane{reBottom1, 0, IDC_REBOTTOM1}}) {
    p.pane.Create(Handle(), p.style, 0, 0, 0, 0, p.id);
    SendMessageW(p.pane.Handle(), EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_WINDOW));
  }
}

main_layout::Measures TfmMain::LayoutMeasures() const {
  const RECT box = cbSearch.BoundsRect();
  return {Dpi(), static_cast<int>(box.bottom - box.top), paneLineHeight_,
          std::max(FTextSearch->StripHeight(), FWordForms->StripHeight())};
}

void TfmMain::Layout() {
  if (reMeaning.Handle() == nullptr)
    return;
  const RECT client = ClientRect();
  const int width = client.right;
  const main_layout::Measures measures = LayoutMeasures();
  const Stack stack = StackParts(client.bottom, measures);
  const struct {
    Part part;
    TControl& control;
  } parts[] = {{kBar, tbToolbar},     {kTopSpacer, pnlTop},
               {kTop1, reTop1},       {kTop1Spacer, pnlTop1},
               {kTop2, reTop2},       {kTopBevel, bvlTop},
               {kMeaning, reMeaning}, {kBottomBevel, bvlBottom},
               {kBottom2, reBottom2}, {kBottom1Spacer, pnlBottom1},
               {kBottom1, reBottom1}, {kBottomSpacer, pnlBottom}};
  for (const auto& p : parts)
    p.control.SetBounds(0, stack[p.part].top, width, stack[p.part].height);
  FTextSearch->PlaceStrip(stack[kStrip].top, width);
  FWordForms->PlaceStrip(SearchTextLeft(cbSearch, Handle()), stack[kStrip].top, width);

  // Keep the search box centred in the bar when its font changes its height.
  const RECT box = cbSearch.BoundsRect();
  SetWindowPos(cbSearch.Handle(), nullptr, box.left,
               SearchBoxTop(stack[kBar].height, static_cast<int>(box.bottom - box.top)), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TfmMain::MeasurePaneFont(TEXTMETRICW& metrics) const {
  const WindowDC windowDc(cbSearch.Handle());
  const HDC dc = windowDc.Get();
  HGDIOBJ previous = SelectObject(dc, paneFont_.Get());
  const bool measured = GetTextMetricsW(dc, &metrics) != FALSE;
  SelectObject(dc, previous);
  return measured;
}

void TfmMain::FitSearchBox(const TEXTMETRICW& metrics) {
  // The box's frame and the padding around its text are system metrics, which not every system
  // scales with the DPI; the text and the room around it are made as high as they are designed.
  HWND box = cbSearch.Handle();
  const auto field = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, kSelectionField, 0));
  const RECT bounds = cbSearch.BoundsRect();
  const int frame = static_cast<int>(bounds.bottom - bounds.top) - field;
  const int wanted = static_cast<int>(metrics.tmHeight) + Scale(kSearchTextRoom) - frame;
  if (wanted > field)
    SendMessageW(box, CB_SETITEMHEIGHT, kSelectionField, wanted);
}

SIZE TfmMain::FrameSize() const {
  RECT frame{};
  AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)),
                         static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)), Dpi());
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void TfmMain::KeepToolbarWhole() {
  const HWND bar = tbToolbar.Handle();
  const auto buttons = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  if (buttons <= 0)
    return;
  RECT last{};
  SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(buttons - 1),
               reinterpret_cast<LPARAM>(&last));
  toolbarWindowWidth_ =
      ToolbarWindowWidth(static_cast<int>(tbToolbar.BoundsRect().left + last.right),
                         static_cast<int>(FrameSize().cx), Dpi());
  RECT now{};
  GetWindowRect(Handle(), &now);
  if (now.right - now.left < toolbarWindowWidth_ && !IsIconic(Handle()) && !IsZoomed(Handle())) {
    SetWindowPos(Handle(), nullptr, 0, 0, toolbarWindowWidth_, now.bottom - now.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TfmMain::KeepMainPaneRoom() {
  smallestWindowHeight_ = SmallestWindowHeight(LayoutMeasures(), static_cast<int>(FrameSize().cy));
  RECT now{};
  GetWindowRect(Handle(), &now);
  if (now.bottom - now.top >= smallestWindowHeight_ || IsIconic(Handle()) || IsZoomed(Handle()))
    return;
  // A window that lay within its work area grows upwards as far as it must to stay within it,
  // never above the area's top; one the user put partly below it keeps its top.
  LONG top = now.top;
  const std::optional<RECT> work = WorkAreaOf(Handle());
  if (work && now.bottom <= work->bottom)
    top = TopWithinWorkArea(now.top, smallestWindowHeight_, *work);
  SetWindowPos(Handle(), nullptr, now.left, top, now.right - now.left, smallestWindowHeight_,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

std::wstring DictionaryFile(const std::wstring& name, const wchar_t* extension) {
  return ProgramFolderW() + kDictionariesFolder + name + extension;
}

}  // namespace

std::wstring TfmMain::DataPath() const {
  return DictionaryFile(FDictName, L".dat");
}

std::wstring TfmMain::IndexPath() const {
  return DictionaryFile(FDictName, L".ind");
}

void TfmMain::TntFormCreate() {
  Application().SetTitle(kAppTitle);
  SetText(ToWide(kAppTitle));
  for (TRichEdit* pane : {&reTop1, &reTop2, &reBottom1, &reBottom2})
    HideCaret(pane->Handle());
  LoadSettings();
  FFirstActivation = true;
}

void TfmMain::TntFormActivate() {
  Application().ProcessMessages();
  if (!FFirstActivation)
    return;
  // Cleared before the slow work: an activation while the chooser or the index build runs
  // opens nothing.
  FFirstActivation = false;
  std::vector<std::wstring> names = FDictNames;
  std::wstring sorted;
  if (!IsPlainDictionaryName(FDictName) || !FileExists(DataPath())) {
    TfmChooseDict& chooser = Chooser();
    chooser.SetInUse(FDictNames);
    if (chooser.ShowModal() != mrOk) {
      Application().Terminate();
      return;
    }
    names = chooser.ChosenNames();
    if (chooser.SortRequested())
      sorted = chooser.SelectedName();
  }
  // A chooser that was not shown sorts no index.
  OpenDictionaries(names, sorted);
  ShowEntryAt(0);
  // The languages load once the window is usable.
  FWordForms->StartLoading();
  FWordForms->DictionaryOpened();
}

// The settings are saved first: the program holds its single-copy lock until it ends, which
// may be after a word index has been written here.
void TfmMain::TntFormDestroy() {
  SaveSettings();
  FTextSearch->WindowClosing();
  dicts_.Close();
}

void TfmMain::TntFormResize() {
  InvalidateRect(reMeaning.Handle(), nullptr, TRUE);
  UpdateWindow(reMeaning.Handle());
}

void TfmMain::TntFormDpiChange() {
  // The old images stay with the bar until it has the new ones.
  TImageList images;
  LoadDrawnImages(images, ImageForDpi(kToolbarImages, Dpi()));
  tbToolbar.ApplyDpi(&images);
  imglstImages.Swap(images);
  ApplyFont(font_.name, font_.size);
}

void TfmMain::TntFormKeyPress(wchar_t& key) {
  if (key != VK_ESCAPE)
    return;
  key = 0;
  LeaveTextSearch();
}

void TfmMain::LeaveTextSearch() {
  if (FTextSearch->Active())
    FTextSearch->SetActive(false);
  FocusSearchBox();
}

void TfmMain::FocusSearchBox() {
  cbSearch.SetFocus();
  cbSearch.SelectAll();
}

void TfmMain::LookUp(const std::wstring& word) {
  cbSearch.SetText(word);
  // Leaving the search inside the entries looks the text up.
  if (!FTextSearch->Active())
    cbSearchChange();
  LeaveTextSearch();
}

// The panes the line moves are painted at once, as a pane loaded is: a keystroke that brings
// the line or takes it away leaves nothing to paint behind it.
void TfmMain::StripChanged() {
  KeepMainPaneRoom();
  Layout();
  RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The names in use, which are saved at exit, become those that opened: one that fails is not
// opened again at the next start. When none opens, the names stay as they were.
void TfmMain::OpenDictionaries(const std::vector<std::wstring>& names, const std::wstring& sorted) {
  dicts_.Open(
      names,
      [&](const std::wstring& name) {
        const bool doSort = !sorted.empty() && SameDictionaryName(name, sorted);
        return std::make_unique<TADict>(DictionaryFile(name, L".dat"),
                                        DictionaryFile(name, L".ind"), doSort, FReadHDD,
                                        FRefineText);
      },
      [](const std::wstring& name) { return ReadDictionaryTitle(DictionaryFile(name, L".dat")); });
  if (dicts_.Empty())
    return;
  FDictNames = dicts_.Names();
  FDictName = FDictNames.front();
}

void TfmMain::ShowLookupOf(const std::wstring& text) {
  dicts_.LeadFor(text);
  if (Dict() != nullptr)
    ShowEntryAt(FWordForms->LookUp(text));
}

void TfmMain::ShowEntryAt(int32_t i) {
  if (Dict() != nullptr)
    panes_.Show(dicts_.EntriesFor(i), {}, NeighboursOf(i));
}

void TfmMain::ShowEntries(int32_t entry, const std::vector<RtfMark>& marks,
                          const PreviewEntries& previews) {
  if (TADict* dict = dicts_.First())
    panes_.Show(*dict, entry, marks, previews);
}

void TfmMain::ShowEntriesOf(size_t k, int32_t entry, const std::vector<RtfMark>& marks,
                            const PreviewEntries& previews) {
  if (k < dicts_.Count()) {
    const std::wstring heading = dicts_.Count() > 1 ? dicts_.Heading(k) : std::wstring();
    panes_.Show({{&dicts_.Dict(k), entry, heading}}, marks, previews);
  }
}

void TfmMain::ClearPanes() {
  panes_.Clear();
}

void TfmMain::cbSearchChange() {
  // The box shows what is looked up: invisible characters typed or pasted go.
  DropFormatCharacters(cbSearch);
  if (FTextSearch->Active()) {
    FTextSearch->TextChanged();
    return;
  }
  const std::wstring text = cbSearch.Text();
  if (text.empty())
    FWordForms->ClearLine();
  if (text.empty() || dicts_.Empty())
    return;
  ShowLookupOf(text);
}

void TfmMain::cbSearchKeyPress(wchar_t& key) {
  if (key != VK_RETURN)
    return;
  key = 0;
  if (cbSearch.Text().empty())
    return;
  if (FTextSearch->Active()) {
    FTextSearch->SearchNow();
  } else {
    cbSearchChange();
    FWordForms->SuggestNow();
  }
  cbSearch.AddItem(cbSearch.Text());
  // At most one item goes per Enter, so a list longer than a lowered limit does not shrink.
  if (cbSearch.Count() > FHistory)
    cbSearch.DeleteItem(0);
}

void TfmMain::reBottom2MouseDown(TControl& sender, int, UINT, int, int) {
  auto* pane = dynamic_cast<TRichEdit*>(&sender);
  if (pane == nullptr)
    return;
  // A preview of a neighbour outside the dictionary shows only the tail and leads nowhere; nor
  // does one emptied by a search inside the entries that found nothing.
  const std::wstring first = pane->LineCount() > 0 ? pane->Line(0) : std::wstring();
  if (Dict() != nullptr && !first.empty() && first != kPreviewTail) {
    // In search mode before a search, the previews show the dictionary's neighbours, as in
    // headword lookup, and lead there.
    if (!FTextSearch->Active() || !FTextSearch->ShowMatchOf(pane->Tag)) {
      const int32_t entry = pane->Tag;
      ShowEntryAt(entry);
      FWordForms->EntryShown(entry);
    }
  }
  pane->SetSelection(0, 0);
  cbSearch.SetFocus();
}

void TfmMain::tbtnDictClick() {
  TfmChooseDict& chooser = Chooser();
  chooser.SetInUse(FDictNames);
  if (chooser.ShowModal() != mrOk)
    return;
  // Raises when nothing is selected, before anything has changed.
  const std::vector<std::wstring> names = chooser.ChosenNames();
  const std::wstring sorted = chooser.SortRequested() ? chooser.SelectedName() : std::wstring();
  FTextSearch->DictionaryChanged();
  FWordForms->DictionaryClosing();
  dicts_.Close();
  OpenDictionaries(names, sorted);
  if (dicts_.Empty()) {
    // The panes would otherwise show a dictionary that is no longer open.
    ClearPanes();
    return;
  }
  FWordForms->DictionaryOpened();
  const std::wstring text = cbSearch.Text();
  if (text.empty()) {
    ShowEntryAt(0);
  } else {
    ShowLookupOf(text);
  }
  // Searching inside the entries, the new dictionary's matches replace the headword found.
  if (FTextSearch->Active())
    FTextSearch->SearchNow();
}

void TfmMain::tbtnStayOnTopClick() {
  SetStayOnTop(Handle(), tbtnStayOnTop->Down());
}

void TfmMain::miStayOnTopClick() {
  tbtnStayOnTop->SetDown(!tbtnStayOnTop->Down());
  tbtnStayOnTopClick();
}

void TfmMain::tbtnOptionsClick() {
  FormPtr<TfmOptions> dialog = MakeForm<TfmOptions>();
  fmOptions = dialog.get();
  AtExit clear([] { fmOptions = nullptr; });

  dialog->chbDocking.SetChecked(FDocking);
  dialog->chbRefineText.SetChecked(FRefineText);
  dialog->chbAllow.SetChecked(FAllow);
  dialog->chbReadHDD.SetChecked(FReadHDD);
  dialog->udPixels.SetPosition(static_cast<int16_t>(FPixels & 0xFFFF));
  dialog->dlgFont.Font.name = font_.name;
  dialog->dlgFont.Font.size = font_.size;
  dialog->udItems.SetPosition(static_cast<int16_t>(FHistory & 0xFFFF));
  dialog->chbLookupCopied.SetChecked(FLookupCopied);
  dialog->ShowHotKeyState(FLookupAnywhere->HotKeyAvailable());
  const KeptLanguages languages = FWordForms->DictionaryLanguages();
  dialog->ShowFormsLanguages(FWordForms->OfferedLanguages(), languages.headwords,
                             languages.meanings, Dict() != nullptr);
  if (dialog->ShowModal() != mrOk)
    return;

  FDocking = dialog->chbDocking.Checked();
  FRefineText = dialog->chbRefineText.Checked();
  FAllow = dialog->chbAllow.Checked();
  FReadHDD = dialog->chbReadHDD.Checked();
  FPixels = dialog->udPixels.Position();
  ApplyFont(dialog->dlgFont.Font.name, dialog->dlgFont.Font.size);
  FHistory = dialog->udItems.Position();
  FLookupCopied = dialog->chbLookupCopied.Checked();
  if (Dict() != nullptr && (dialog->HeadwordFormsLanguage() != languages.headwords ||
                            dialog->MeaningFormsLanguage() != languages.meanings)) {
    FWordForms->ChooseLanguages(dialog->HeadwordFormsLanguage(), dialog->MeaningFormsLanguage());
  }
}

void TfmMain::tbtnHelpClick() {
  Application().ProcessMessages();
  ShellOpen(ProgramFolderW() + kHelpFolder + kHelpDocument);
}

void TfmMain::tbtnAboutClick() {
  FormPtr<TfmAbout> box = MakeForm<TfmAbout>();
  fmAbout = box.get();
  AtExit clear([] { fmAbout = nullptr; });
  box->ShowModal();
}

void TfmMain::LoadSettings() {
  Registry reg(kSettingsRoot, kSettingsAccess);  // closes the key on every path
  OpenSettingsKey(reg);
  CreateMissingSettings(reg, Dpi());
  const StoredSettings stored = ReadSettings(reg);

  FDictName = stored.dict;
  FDictNames = DictionariesInUse(stored.dict, stored.dicts);
  ApplyFont(stored.font, stored.fontSize);
  FPixels = stored.pixels;
  FHistory = stored.history;
  FDocking = stored.docking;
  FReadHDD = stored.readHDD;
  FRefineText = stored.refineText;
  FAllow = stored.allow;
  FLookupCopied = stored.lookupCopied;

  // The smallest size still applies; a window stored off the screens comes back onto one.
  PlaceWindow(Handle(),
              {stored.left, stored.top, stored.left + stored.width, stored.top + stored.height});
  if (stored.isMaximized) {
    if (IsWindowVisible(Handle())) {
      ShowWindow(Handle(), SW_MAXIMIZE);
    } else {
      SetMaximizeOnShow(true);
    }
  }

  tbtnStayOnTop->SetDown(stored.stayOnTop);
  if (tbtnStayOnTop->Down())
    SetStayOnTop(Handle(), true);
}

void TfmMain::SaveSettings() {
  Registry reg(kSettingsRoot, kSettingsAccess);  // closes the key on every path
  reg.OpenKey(kSettingsKey, true);
  const WindowPlace place = PlaceToStore(Handle(), MaximizeOnShow());
  StoredSettings s;
  s.top = place.normal.top;
  s.left = place.normal.left;
  s.width = place.normal.right - place.normal.left;
  s.height = place.normal.bottom - place.normal.top;
  s.isMaximized = place.maximized;
  s.dict = FDictName;
  s.dicts = FDictNames;
  s.font = font_.name;
  s.fontSize = font_.size;
  s.pixels = FPixels;
  s.history = FHistory;
  s.docking = FDocking;
  s.stayOnTop = tbtnStayOnTop->Down();
  s.readHDD = FReadHDD;
  s.refineText = FRefineText;
  s.allow = FAllow;
  s.lookupCopied = FLookupCopied;
  WriteSettings(reg, s);
}

void TfmMain::ApplyFont(const std::string& name, int32_t size) {
  TFontSpec desc{name, size};
  GdiObject font = CreateFontFromSpec(desc, Dpi());
  for (TControl* control : {static_cast<TControl*>(&cbSearch), static_cast<TControl*>(&reTop1),
                            static_cast<TControl*>(&reTop2), static_cast<TControl*>(&reBottom1),
                            static_cast<TControl*>(&reBottom2), static_cast<TControl*>(&reMeaning),
                            static_cast<TControl*>(&FWordForms->lnkForms)}) {
    control->SetFont(static_cast<HFONT>(font.Get()));
  }
  // The controls now use the new font; the old one may go.
  paneFont_ = std::move(font);
  font_ = desc;
  panes_.SetFont(desc, Dpi());
  TEXTMETRICW metrics{};
  if (MeasurePaneFont(metrics)) {
    FitSearchBox(metrics);
    paneLineHeight_ = static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading);
  }
  KeepToolbarWhole();
  KeepMainPaneRoom();
  Layout();
}

void TfmMain::WMCopyData(const COPYDATASTRUCT& data) {
  ReceiveHandOver(Handle(), data);
}

void TfmMain::WMSysCommand(WPARAM command) {
  DockMan().CheckMoveStart(command);
}

void TfmMain::WMMoving(RECT& rect) {
  if (FDocking)
    DockMan().SnapRect(Scale(FPixels), rect);
}

LRESULT TfmMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result = 0; FTextSearch->HandleMessage(msg, wParam, lParam, result) ||
                          FWordForms->HandleMessage(msg, wParam, lParam, result)) {
    return result;
  }
  if (FLookupAnywhere->HandleMessage(msg, wParam, lParam))
    return 0;
  switch (msg) {
    case WM_SIZE:
      Layout();
      break;
    case WM_ERASEBKGND: {
      RECT r = ClientRect();
      FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_WINDOW));
      return 1;
    }
    case WM_GETMINMAXINFO: {
      const LRESULT result = TForm::WndProc(msg, wParam, lParam);
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, toolbarWindowWidth_);
      info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, smallestWindowHeight_);
      return result;
    }
    case WM_COPYDATA:
      if (lParam != 0)
        WMCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      break;
    case WM_SYSCOMMAND:
      WMSysCommand(wParam);
      break;
    case WM_MOVING:
      if (lParam != 0)
        WMMoving(*reinterpret_cast<RECT*>(lParam));
      break;
    default:
      break;
  }
  return TForm::WndProc(msg, wParam, lParam);
}

}  // namespace lexmora
