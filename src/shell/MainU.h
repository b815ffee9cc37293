#pragma once
// The main window: the search box, the entry found in full with two neighbours on each side as
// clickable previews, the tool bar, the settings (read at creation, written at destruction) and
// the dictionaries in use (DictsInUse.h), one of which leads each lookup.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/ConstU.h"
#include "shell/DictsInUse.h"
#include "shell/EntryPanes.h"
#include "shell/LookupAnywhere.h"
#include "shell/MainLayout.h"
#include "shell/ShellControls.h"
#include "shell/TextSearchMode.h"
#include "shell/WordForms.h"
#include "store/ADictU.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/RichEdit.h"
#include "ui/ToolBar.h"

namespace lexmora {

class TfmChooseDict;
class TfmOptions;

class TfmMain : public TForm, private TTextSearchHost, private TLookupHost, private TWordFormsHost {
 public:
  TfmMain();
  ~TfmMain() override;

  TImageList imglstImages;
  TEdgedToolBar tbToolbar;
  TComboBox cbSearch;
  TPanel pnlTop, pnlTop1, pnlBottom1, pnlBottom;
  TWindowBevel bvlTop, bvlBottom;
  TPreviewPane reTop1, reTop2, reBottom2, reBottom1;
  TRichEdit reMeaning;
  // The tool buttons, owned by tbToolbar.
  TToolButton* tbtnStayOnTop = nullptr;
  TToolButton* tbtnDict = nullptr;
  TToolButton* tbtnOptions = nullptr;
  TToolButton* tbtnHelp = nullptr;
  TToolButton* tbtnAbout = nullptr;

  // Form events.
  void TntFormCreate();
  void TntFormActivate();
  void TntFormDestroy();
  void TntFormResize();
  // The window has moved to a display of another DPI: tool-bar images, fonts and layout follow.
  void TntFormDpiChange();
  void TntFormKeyPress(wchar_t& key);

  // Control events.
  void cbSearchChange();
  void cbSearchKeyPress(wchar_t& key);
  void reBottom2MouseDown(TControl& sender, int button, UINT shift, int x, int y);
  void tbtnDictClick();
  void tbtnStayOnTopClick();
  void tbtnOptionsClick();
  void tbtnHelpClick();
  void tbtnAboutClick();
  // Ctrl+S: puts the stay-on-top button in the other state and applies it.
  void miStayOnTopClick();

  // Searching inside the entries: the search box's second mode (Ctrl+F, F3, Shift+F3).
  TTextSearch& TextSearch() noexcept { return *FTextSearch; }
  // Looking words up from other programs: copied twice, or the window called by its hotkey.
  TLookupAnywhere& LookupAnywhere() noexcept { return *FLookupAnywhere; }
  // Words as they stand in a text: the languages of word forms, and the line that names the
  // dictionary forms of a typed form.
  TWordForms& WordForms() noexcept { return *FWordForms; }

  // Shows entry i in full and entries i-2, i-1, i+1, i+2 as previews. Without an open dictionary
  // nothing changes.
  void ShowEntryAt(int32_t i);

  // Settings (registry key SOFTWARE\Lexmora under HKEY_CURRENT_USER). Loading takes a value
  // that is missing or cannot serve as its default or nearest usable value (see Settings.h).
  // A write that fails raises ERegistryException and ends the operation there.
  void LoadSettings();
  void SaveSettings();
  // Gives the search box and the five panes the font; what the panes show is not rendered again.
  void ApplyFont(const std::string& name, int32_t size);
  // Stacks the tool bar, the strip of the match count (while searching inside the entries),
  // spacers, bevels and panes over the client area (MainLayout.h).
  void Layout();
  // Makes the window's smallest height what the bar, the previews and the strip take with the
  // font (MainLayout.h); a lower window grows to it. After anything that changes those heights.
  void KeepMainPaneRoom();

  // State, for the dialogs and for tests. Dict() is the dictionary that leads the lookup shown;
  // DictName() the first in use, as the Dict setting stores it; DictNames() all in use, in order.
  TADict* Dict() const noexcept { return dicts_.Lead(); }
  const std::wstring& DictName() const noexcept { return FDictName; }
  const std::vector<std::wstring>& DictNames() const noexcept { return FDictNames; }
  bool FirstActivationPending() const noexcept { return FFirstActivation; }
  bool Docking() const noexcept { return FDocking; }
  int32_t Pixels() const noexcept { return FPixels; }
  bool ReadHDD() const noexcept { return FReadHDD; }
  bool RefineText() const noexcept { return FRefineText; }
  bool Allow() const noexcept { return FAllow; }
  int32_t History() const noexcept { return FHistory; }
  bool LookupCopied() const noexcept { return FLookupCopied; }
  void SetHistory(int32_t history) noexcept { FHistory = history; }
  // The font that ApplyFont last set: name and size in points.
  const TFontSpec& PaneFont() const noexcept { return font_; }
  // The data and index paths of the dictionary FDictName.
  std::wstring DataPath() const;
  std::wstring IndexPath() const;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // TTextSearchHost.
  HWND HostWindow() const override { return Handle(); }
  int WindowScale(int designed) const override { return Scale(designed); }
  TComboBox& SearchBox() override { return cbSearch; }
  TADict* Dictionary() override { return dicts_.First(); }
  void ShowEntries(int32_t entry, const std::vector<RtfMark>& marks,
                   const PreviewEntries& previews) override;
  size_t DictionaryCount() override { return dicts_.Count(); }
  TADict* DictionaryAt(size_t k) override { return k < dicts_.Count() ? &dicts_.Dict(k) : nullptr; }
  void ShowEntriesOf(size_t k, int32_t entry, const std::vector<RtfMark>& marks,
                     const PreviewEntries& previews) override;
  void ClearPanes() override;
  void StripChanged() override;
  void LookUpSearchText() override { cbSearchChange(); }
  // TLookupHost.
  bool CopiedTextLookupOn() const override { return FLookupCopied; }
  void FocusSearchBox() override;
  void LookUp(const std::wstring& word) override;
  // TWordFormsHost, which shares DictionaryCount and DictionaryAt with TTextSearchHost.
  std::wstring DictionaryNameAt(size_t k) const override { return dicts_.Name(k); }
  TADict* LeadDictionary() override { return Dict(); }
  std::wstring SearchText() const override { return cbSearch.Text(); }
  bool LookingUpHeadwords() const override { return !FTextSearch->Active(); }
  void ShowEntry(int32_t entry) override { ShowEntryAt(entry); }

  void CreateControls();
  // Back to headword lookup, which shows what the search text looks up, with the focus in the
  // search box.
  void LeaveTextSearch();
  // What the layout depends on, measured now.
  main_layout::Measures LayoutMeasures() const;
  // The text metrics of the pane font; false when they cannot be had.
  bool MeasurePaneFont(TEXTMETRICW& metrics) const;
  // What the window's frame (borders, title bar) adds to its client area's width and height.
  SIZE FrameSize() const;
  // Gives the search box the height its font needs at the window's DPI.
  void FitSearchBox(const TEXTMETRICW& metrics);
  // Makes the window's smallest width leave room for the whole tool bar, widening the window
  // when it is narrower; after anything that can change the bar's size.
  void KeepToolbarWhole();
  void WMCopyData(const COPYDATASTRUCT& data);
  void WMSysCommand(WPARAM command);
  void WMMoving(RECT& rect);
  // Opens the dictionaries `names` in order, the one named `sorted` with a sorted index when it
  // has none yet; one that fails is reported and left out. The names in use become those that
  // opened, unless none did.
  void OpenDictionaries(const std::vector<std::wstring>& names, const std::wstring& sorted);
  // Shows the entry that `text` looks up in the dictionary that leads it.
  void ShowLookupOf(const std::wstring& text);

  // Until the settings are read, and where reading them stops early, the fields hold the
  // settings' defaults, so that the values written back at the end are usable ones.
  TDictsInUse dicts_;
  TEntryPanes panes_{reMeaning, {&reTop1, &reTop2, &reBottom2, &reBottom1}};
  std::unique_ptr<TTextSearch> FTextSearch;
  std::unique_ptr<TLookupAnywhere> FLookupAnywhere;
  std::unique_ptr<TWordForms> FWordForms;
  // The dictionary's file name without ".dat", in UTF-16 from the chooser to the registry: the
  // first of FDictNames, the names of the dictionaries in use.
  std::wstring FDictName;
  std::vector<std::wstring> FDictNames;
  bool FFirstActivation = false;
  bool FDocking = BoolDefault(kDockingValue);
  int32_t FPixels = IntegerDefault(kPixelsValue);
  bool FReadHDD = BoolDefault(kReadHDDValue);
  bool FRefineText = BoolDefault(kRefineTextValue);
  bool FAllow = BoolDefault(kAllowValue);
  int32_t FHistory = IntegerDefault(kHistoryValue);
  bool FLookupCopied = BoolDefault(kLookupCopiedValue);

  // The window width, in pixels, that shows the tool bar's last button whole; 0 before the bar
  // has its buttons.
  int toolbarWindowWidth_ = 0;
  // The smallest window height, in pixels, with the bar and the previews at their heights for
  // the font; 0 until the font is applied.
  int smallestWindowHeight_ = 0;
  // The height of a line of the pane font, in pixels; 0 until the font is applied.
  int paneLineHeight_ = 0;
  TFontSpec font_{StringDefault(kFontValue), IntegerDefault(kFontSizeValue)};
  GdiObject paneFont_;
};

// The program's windows: the main window, the dictionary chooser (which lives as long as the
// program) and the options dialog while it is shown.
extern TfmMain* fmMain;
extern TfmChooseDict* fmChooseDict;
extern TfmOptions* fmOptions;

}  // namespace lexmora
