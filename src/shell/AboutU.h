#pragma once
// The about box: the program's name and version from its own version resource, and the makers'
// addresses as links that the shell opens.
#include <windows.h>

#include <functional>
#include <string>

#include "base/Handle.h"
#include "shell/ShellControls.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/ToolBar.h"

namespace lexmora {

class TfmAbout : public TForm {
 public:
  TfmAbout();

  TImage imgIcon;
  TLabel lblAppName, lblVersion, lblSlogan, lblMail;
  TLinkLabel lblEmail;
  TLabel lblWeb;
  TLinkLabel lblWebpage;
  TLabel lblCredit;
  TLinkLabel lblCreditWebpage;
  TWindowBevel bvlLine;
  TLabel lblCopy;
  TButton btnOK;

  void FormCreate();
  void lblWebpageMouseEnter(TLinkLabel& sender);
  void lblWebpageMouseLeave(TLinkLabel& sender);
  void lblWebpageClick(TLinkLabel& sender);
  void lblEmailClick(TLinkLabel& sender);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // The logo and the underlined link font at the window's DPI.
  void MakeDpiResources();
  void DrawLogo(const DRAWITEMSTRUCT& item);

  TImageList logo_;
  GdiObject underlined_;
};

// The about box while it is shown, otherwise null.
extern TfmAbout* fmAbout;

// Hands a file name or address to the shell (ShellExecuteW with no owner, the default verb,
// SW_SHOWNORMAL). The result is not examined. Tests replace the opener to see what is opened.
void ShellOpen(const std::wstring& file);
using ShellOpener = std::function<void(const std::wstring& file)>;
// Installs `opener` (an empty function restores the shell) and returns the previous one.
ShellOpener SetShellOpener(ShellOpener opener);

}  // namespace lexmora
