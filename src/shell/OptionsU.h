#pragma once
// The options dialog: edits the settings the main window fills in before showing it and copies
// back on OK. It only shows and edits values; it reads and writes no settings itself.
#include <windows.h>

#include <string>

#include "base/Handle.h"
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

 private:
  // The picture at the top, drawn for the window's DPI.
  void ShowIcon();
  TImageList iconList_;
  Icon icon_;
};

}  // namespace lexmora
