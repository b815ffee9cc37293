#include "shell/OptionsU.h"

#include "../resources/ImageIds.h"
#include "../resources/OptionsIds.h"
#include "base/Errors.h"
#include "shell/DrawnImages.h"
#include "ui/Application.h"

namespace lexmora {

namespace {

constexpr char kHotKeyFree[] = "Ctrl+Alt+L brings Lexmora to the front";
constexpr char kHotKeyHeld[] = "Ctrl+Alt+L is in use by another program";

}  // namespace

TfmOptions::TfmOptions() {
  CreateFromLayout(IDD_OPTIONS);
  struct Binding {
    TControl& control;
    int id;
  };
  for (const Binding& b : {Binding{pnlTop, IDC_OPT_PNLTOP},
                           Binding{imgIcon, IDC_OPT_IMGICON},
                           Binding{lblOptions, IDC_OPT_LBLOPTIONS},
                           Binding{lblInfo, IDC_OPT_LBLINFO},
                           Binding{bvlTop, IDC_OPT_BVLTOP},
                           Binding{chbAllow, IDC_OPT_CHBALLOW},
                           Binding{chbReadHDD, IDC_OPT_CHBREADHDD},
                           Binding{chbDocking, IDC_OPT_CHBDOCKING},
                           Binding{edtPixels, IDC_OPT_EDTPIXELS},
                           Binding{udPixels, IDC_OPT_UDPIXELS},
                           Binding{lblPixels, IDC_OPT_LBLPIXELS},
                           Binding{lblHistory, IDC_OPT_LBLHISTORY},
                           Binding{edtItems, IDC_OPT_EDTITEMS},
                           Binding{udItems, IDC_OPT_UDITEMS},
                           Binding{lblItems, IDC_OPT_LBLITEMS},
                           Binding{chbRefineText, IDC_OPT_CHBREFINETEXT},
                           Binding{chbLookupCopied, IDC_OPT_CHBLOOKUPCOPIED},
                           Binding{lblHotKey, IDC_OPT_LBLHOTKEY},
                           Binding{lblFont, IDC_OPT_LBLFONT},
                           Binding{lblFontInfo, IDC_OPT_LBLFONTINFO},
                           Binding{btnChangeFont, IDC_OPT_BTNCHANGEFONT},
                           Binding{bvlBottom, IDC_OPT_BVLBOTTOM},
                           Binding{pnlBottom, IDC_OPT_PNLBOTTOM},
                           Binding{btnOK, IDC_OPT_BTNOK},
                           Binding{btnCancel, IDC_OPT_BTNCANCEL}}) {
    b.control.Attach(Item(b.id));
  }

  pnlTop.SetColor(COLOR_WINDOW);
  TFontSpec bold = DescribeFont(Font());
  bold.weight = FW_BOLD;
  lblOptions.SetOwnedFont(CreateFontFromSpec(bold));
  // Labels without a designed width take the width of their text.
  for (TLabel* label : {&lblOptions, &lblInfo, &lblPixels, &lblHistory, &lblItems, &lblFont}) {
    label->AutoSize = true;
    label->AdjustSize();
  }

  ShowIcon();

  udPixels.Associate(edtPixels);
  udPixels.SetRange(2, 70);
  udPixels.SetPosition(2);
  udItems.Associate(edtItems);
  udItems.SetRange(2, 100);
  udItems.SetPosition(2);

  btnOK.ModalResult = mrOk;
  btnCancel.ModalResult = mrCancel;
  SetDefaultButton(&btnOK);
  SetCancelButton(&btnCancel);

  OnShow = [this] { TntFormShow(); };
  OnDpiChange = [this](int) { ShowIcon(); };
  btnChangeFont.OnClick = [this] { btnChangeFontClick(); };
}

void TfmOptions::ShowIcon() {
  LoadDrawnImages(iconList_, ImageForDpi(kOptionsIcons, Dpi()));
  if (iconList_.Count() == 0)
    return;
  // The control shows the new icon before the old one goes.
  Icon icon(ImageList_GetIcon(iconList_.Handle(), 0, ILD_TRANSPARENT));
  imgIcon.SetIcon(icon.Get());
  icon_ = std::move(icon);
}

void TfmOptions::TntFormShow() {
  UpdateFontLabel();
}

void TfmOptions::btnChangeFontClick() {
  dlgFont.Execute(Handle());
  UpdateFontLabel();
}

void TfmOptions::ShowHotKeyState(bool available) {
  lblHotKey.SetCaption(available ? kHotKeyFree : kHotKeyHeld);
}

void TfmOptions::UpdateFontLabel() {
  lblFontInfo.SetCaption(Format("%s, %d", dlgFont.Font.name.c_str(), dlgFont.Font.size));
}

}  // namespace lexmora
