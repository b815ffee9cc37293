#pragma once
// The options dialog: edits the settings the main window fills in before showing it and copies
// back on OK. It only shows and edits values; it reads and writes no settings itself.
#include <windows.h>

#include <string>
#include <vector>

#include "base/Handle.h"
#include "shell/KeptLanguages.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/ToolBar.h"

namespace lexmora {

class TfmOptions : public TForm {
 public:
  TfmOptions();

  TPanel pnlTop;
  TImage imgIcon;
  TLabel lblOptions, lblInfo;
  TBevel bvlTop;
  TCheckBox chbAllow, chbReadHDD, chbDocking;
  TEdit edtPixels;
  TUpDown udPixels;  // 2 to 70
  TLabel lblPixels, lblHistory;
  TEdit edtItems;
  TUpDown udItems;  // 2 to 100
  TLabel lblItems;
  TCheckBox chbRefineText;
  TCheckBox chbLookupCopied;
  TLabel lblHotKey;
  TLabel lblFont, lblFontInfo;
  TLabel lblHeadwordForms, lblHeadwordState, lblMeaningForms, lblMeaningState;
  // The languages of the word forms of the open dictionary's headwords and meanings.
  TComboBox cbHeadwordForms, cbMeaningForms;
  TButton btnChangeFont;
  TBevel bvlBottom;
  TPanel pnlBottom;
  TButton btnOK, btnCancel;
  // The font the main window fills in and reads back (name and size in points).
  TFontDialog dlgFont;

  void TntFormShow();
  void btnChangeFontClick();
  void UpdateFontLabel();
  // Tells what the global hotkey does, or, when it is not available, that another program
  // holds it.
  void ShowHotKeyState(bool available);

  // Fills both lists of languages: "none", then each language (one that is off marked so), with
  // the named ones selected (empty: none); below each list, why its language cannot be used.
  // Without an open dictionary (`enabled` false) the lists are disabled.
  void ShowFormsLanguages(const std::vector<LanguageOffer>& languages,
                          const std::wstring& headwords, const std::wstring& meanings,
                          bool enabled);
  // The languages selected; empty for none.
  std::wstring HeadwordFormsLanguage() const;
  std::wstring MeaningFormsLanguage() const;

 private:
  // The picture at the top, drawn for the window's DPI.
  void ShowIcon();
  // The language selected in `list`, and what `state` says of it.
  std::wstring SelectedLanguage(const TComboBox& list) const;
  void ShowLanguageState(const TComboBox& list, TLabel& state);
  std::vector<LanguageOffer> formsLanguages_;
  TImageList iconList_;
  Icon icon_;
};

}  // namespace lexmora
