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
constexpr wchar_t kNoLanguage[] = L"none";
constexpr wchar_t kOffMark[] = L" (off)";

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
                           Binding{lblHeadwordForms, IDC_OPT_LBLHEADWORDFORMS},
                           Binding{cbHeadwordForms, IDC_OPT_CBHEADWORDFORMS},
                           Binding{lblHeadwordState, IDC_OPT_LBLHEADWORDSTATE},
                           Binding{lblMeaningForms, IDC_OPT_LBLMEANINGFORMS},
                           Binding{cbMeaningForms, IDC_OPT_CBMEANINGFORMS},
                           Binding{lblMeaningState, IDC_OPT_LBLMEANINGSTATE},
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
  cbHeadwordForms.OnChange = [this] { ShowLanguageState(cbHeadwordForms, lblHeadwordState); };
  cbMeaningForms.OnChange = [this] { ShowLanguageState(cbMeaningForms, lblMeaningState); };
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

void TfmOptions::ShowFormsLanguages(const std::vector<LanguageOffer>& languages,
                                    const std::wstring& headwords, const std::wstring& meanings,
                                    bool enabled) {
  formsLanguages_ = languages;
  const struct {
    TComboBox& list;
    TLabel& state;
    const std::wstring& selected;
  } parts[] = {{cbHeadwordForms, lblHeadwordState, headwords},
               {cbMeaningForms, lblMeaningState, meanings}};
  for (const auto& part : parts) {
    SendMessageW(part.list.Handle(), CB_RESETCONTENT, 0, 0);
    part.list.AddItem(kNoLanguage);
    int32_t selected = 0;
    for (size_t k = 0; k < languages.size(); ++k) {
      part.list.AddItem(languages[k].name + (languages[k].off ? kOffMark : L""));
      if (languages[k].name == part.selected)
        selected = static_cast<int32_t>(k + 1);
    }
    SendMessageW(part.list.Handle(), CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    part.list.SetEnabled(enabled);
    ShowLanguageState(part.list, part.state);
  }
}

std::wstring TfmOptions::SelectedLanguage(const TComboBox& list) const {
  const int32_t index = list.ItemIndex();
  if (index <= 0 || static_cast<size_t>(index) > formsLanguages_.size())
    return std::wstring();
  return formsLanguages_[static_cast<size_t>(index - 1)].name;
}

void TfmOptions::ShowLanguageState(const TComboBox& list, TLabel& state) {
  const int32_t index = list.ItemIndex();
  state.SetText(index <= 0 || static_cast<size_t>(index) > formsLanguages_.size()
                    ? std::wstring()
                    : formsLanguages_[static_cast<size_t>(index - 1)].state);
}

std::wstring TfmOptions::HeadwordFormsLanguage() const {
  return SelectedLanguage(cbHeadwordForms);
}

std::wstring TfmOptions::MeaningFormsLanguage() const {
  return SelectedLanguage(cbMeaningForms);
}

}  // namespace lexmora
