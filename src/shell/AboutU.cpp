#include "shell/AboutU.h"

#include <shellapi.h>

#include "../resources/ImageIds.h"
#include "../resources/MainIds.h"
#include "base/Text.h"
#include "shell/AppVersion.h"
#include "shell/DrawnImages.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace lexmora {

TfmAbout* fmAbout = nullptr;

namespace {

constexpr COLORREF kLinkColor = RGB(0, 0, 255);

ShellOpener& CurrentShellOpener() {
  static ShellOpener opener;
  return opener;
}

// The label's design text with its first "%s" replaced by `value`; other characters, "%"
// included, are kept as they are.
std::string FormatOneString(const std::string& format, const std::string& value) {
  std::string result = format;
  if (size_t at = result.find("%s"); at != std::string::npos)
    result.replace(at, 2, value);
  return result;
}

}  // namespace

void ShellOpen(const std::wstring& file) {
  if (const ShellOpener& opener = CurrentShellOpener()) {
    opener(file);
    return;
  }
  ShellExecuteW(nullptr, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

ShellOpener SetShellOpener(ShellOpener opener) {
  ShellOpener previous = std::move(CurrentShellOpener());
  CurrentShellOpener() = std::move(opener);
  return previous;
}

TfmAbout::TfmAbout() {
  CreateFromLayout(IDD_ABOUT);
  struct Binding {
    TControl& control;
    int id;
  };
  for (const Binding& b :
       {Binding{imgIcon, IDC_ABOUT_IMGICON}, Binding{lblAppName, IDC_ABOUT_LBLAPPNAME},
        Binding{lblVersion, IDC_ABOUT_LBLVERSION}, Binding{lblSlogan, IDC_ABOUT_LBLSLOGAN},
        Binding{lblMail, IDC_ABOUT_LBLMAIL}, Binding{lblEmail, IDC_ABOUT_LBLEMAIL},
        Binding{lblWeb, IDC_ABOUT_LBLWEB}, Binding{lblWebpage, IDC_ABOUT_LBLWEBPAGE},
        Binding{lblCredit, IDC_ABOUT_LBLCREDIT},
        Binding{lblCreditWebpage, IDC_ABOUT_LBLCREDITWEBPAGE}, Binding{bvlLine, IDC_ABOUT_BVLLINE},
        Binding{lblCopy, IDC_ABOUT_LBLCOPY}, Binding{btnOK, IDC_ABOUT_BTNOK}}) {
    b.control.Attach(Item(b.id));
  }

  // Every label but the credit line takes the size of its text.
  for (TLabel* label :
       {&lblAppName, &lblVersion, &lblSlogan, &lblMail, static_cast<TLabel*>(&lblEmail), &lblWeb,
        static_cast<TLabel*>(&lblWebpage), static_cast<TLabel*>(&lblCreditWebpage), &lblCopy}) {
    label->AutoSize = true;
    label->AdjustSize();
  }

  MakeDpiResources();

  btnOK.ModalResult = mrOk;
  SetDefaultButton(&btnOK);
  SetCancelButton(&btnOK);
  SetActiveControl(&btnOK);

  for (TLinkLabel* link : {&lblEmail, &lblWebpage, &lblCreditWebpage}) {
    link->OnMouseEnter = [this](TLinkLabel& sender) { lblWebpageMouseEnter(sender); };
    link->OnMouseLeave = [this](TLinkLabel& sender) { lblWebpageMouseLeave(sender); };
  }
  lblEmail.OnClick = [this](TLinkLabel& sender) { lblEmailClick(sender); };
  lblWebpage.OnClick = [this](TLinkLabel& sender) { lblWebpageClick(sender); };
  lblCreditWebpage.OnClick = [this](TLinkLabel& sender) { lblWebpageClick(sender); };

  OnDpiChange = [this](int) { MakeDpiResources(); };
  OnCreate = [this] { FormCreate(); };
  DoCreate();
}

void TfmAbout::MakeDpiResources() {
  LOGFONTW lf{};
  GetObjectW(Font(), sizeof(lf), &lf);
  lf.lfUnderline = TRUE;
  GdiObject underlined(CreateFontIndirectW(&lf));
  // A hovered link shows the underlined font: it takes the new one before the old one goes.
  for (TLinkLabel* link : {&lblEmail, &lblWebpage, &lblCreditWebpage}) {
    if (link->Font() == static_cast<HFONT>(underlined_.Get()))
      link->SetFont(static_cast<HFONT>(underlined.Get()));
  }
  underlined_ = std::move(underlined);
  LoadDrawnImages(logo_, ImageForDpi(kAboutLogos, Dpi()));
  InvalidateRect(imgIcon.Handle(), nullptr, TRUE);
}

void TfmAbout::FormCreate() {
  TAppInfo info;
  GetAppInfo(info);
  lblAppName.SetOwnedFont(CreateFontFromSpec({"Arial", 20, FW_BOLD}, Dpi()));
  lblAppName.SetCaption(info.ProductName);
  lblVersion.SetCaption(FormatOneString(lblVersion.Caption(), info.FileVersion));
  // A long product name in the large font would run under the version: the version then goes
  // just below the name instead.
  RECT name = lblAppName.BoundsRect(), version = lblVersion.BoundsRect(), overlap;
  if (IntersectRect(&overlap, &name, &version)) {
    lblVersion.SetBounds(version.left, name.bottom, version.right - version.left,
                         version.bottom - version.top);
  }
}

void TfmAbout::lblWebpageMouseEnter(TLinkLabel& sender) {
  sender.SetFont(static_cast<HFONT>(underlined_.Get()));
}

void TfmAbout::lblWebpageMouseLeave(TLinkLabel& sender) {
  sender.SetFont(Font());
}

void TfmAbout::lblWebpageClick(TLinkLabel& sender) {
  ShellOpen(ToWide(sender.Caption()));
}

void TfmAbout::lblEmailClick(TLinkLabel& sender) {
  ShellOpen(ToWide("mailto:" + sender.Caption()));
}

void TfmAbout::DrawLogo(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
  if (logo_.Count() > 0)
    ImageList_Draw(logo_.Handle(), 0, item.hDC, 0, 0, ILD_TRANSPARENT);
}

LRESULT TfmAbout::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r = ClientRect();
      FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_WINDOW));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      auto* control = reinterpret_cast<HWND>(lParam);
      const bool link = control == lblEmail.Handle() || control == lblWebpage.Handle() ||
                        control == lblCreditWebpage.Handle();
      SetTextColor(dc, link ? kLinkColor : GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem == imgIcon.Handle()) {
        DrawLogo(*item);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return TForm::WndProc(msg, wParam, lParam);
}

}  // namespace lexmora
