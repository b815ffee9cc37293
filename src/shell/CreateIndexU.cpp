#include "shell/CreateIndexU.h"

#include "base/Errors.h"
#include "ui/Application.h"

namespace lexmora {

namespace {

constexpr char kProgressFormat[] = "Creating index file : %d entries processed";
constexpr char kDoneText[] = "Index file created. Click OK to continue...";
// NONCLIENTMETRICSA without the padded-border member, the size every Windows version accepts.
constexpr UINT kNonClientMetricsSize = 340;

class IndexBuildWindowHost : public IndexBuildHost {
 public:
  void BuildIndex(const IndexBuildRequest& request) override {
    FormPtr<TCreateIndexForm> form = MakeForm<TCreateIndexForm>();
    form->DataFileName = request.dataFileName;
    form->IndexFileName = request.indexFileName;
    form->DoSort = request.doSort;
    form->ShowModal();  // the result does not matter: OK and a close request both end the build
  }
};

}  // namespace

TCreateIndexForm::TCreateIndexForm() {
  borderStyle_ = TBorderStyle::Dialog;
  stayOnTop_ = true;
  CreateEmpty();

  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = kNonClientMetricsSize;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) {
    GdiObject font(CreateFontIndirectA(&metrics.lfMessageFont));
    if (font)
      SetFont(std::move(font));
  }
  SetPosition(TPosition::MainFormCenter);
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT

  pbProgress.Create(Handle(), 0, 0, 0, 0);
  lblProgress.Create(Handle(), 0, 0, 13, 13);
  btnOK.Create(Handle(), "OK", 0, 0, 75, 25);

  SetBounds(0, 0, 400, 100);
  pbProgress.SetStep(1);
  RECT client = ClientRect();
  const int cw = client.right, ch = client.bottom;
  const int barLeft = (cw - 380) / 2, barTop = (ch - 20) / 2;
  pbProgress.SetBounds(barLeft, barTop, 380, 20);
  lblProgress.SetBounds(barLeft, barTop - 20, 13, 13);
  lblProgress.AutoSize = true;
  lblProgress.AdjustSize();
  btnOK.SetBounds((cw - 75) / 2, barTop + 20 + 7, 75, 25);

  btnOK.ModalResult = mrOk;
  btnOK.SetEnabled(false);
  SendMessageW(btnOK.Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  SetDefaultButton(&btnOK);
  OnActivate = [this] { RunBuild(); };
}

void TCreateIndexForm::CreateParams(TFormParams& params) {
  TForm::CreateParams(params);
  params.style &= ~static_cast<DWORD>(WS_CAPTION);
}

void TCreateIndexForm::RunBuild() {
  lblProgress.SetCaption(Format(kProgressFormat, 0));
  Repaint();
  {
    TIndexList list;
    FILETIME storedTime{};
    ScanEntries(list, storedTime);
    WriteIndexFile(list, storedTime);
  }
  lblProgress.SetCaption(kDoneText);
  SetCursor(nullptr);
  btnOK.SetEnabled(true);
}

void TCreateIndexForm::ShowProgress(int32_t entryCount) {
  pbProgress.StepIt();
  lblProgress.SetCaption(Format(kProgressFormat, entryCount));
  Application().ProcessMessages();
}

void TCreateIndexForm::ScanEntries(TIndexList& list, FILETIME& storedTime) {
  // A sorted build of a large dictionary can take seconds between two progress reports; the
  // keep-alive lets the window repaint and take input in between.
  lexmora::ScanEntries(
      DataFileName, DoSort, list, storedTime, [this](int32_t count) { ShowProgress(count); },
      [] { Application().ProcessMessages(); });
}

void TCreateIndexForm::WriteIndexFile(const TIndexList& list, const FILETIME& storedTime) {
  lexmora::WriteIndexFile(IndexFileName, list, storedTime);
}

void InstallIndexBuildWindow() {
  static IndexBuildWindowHost host;
  SetIndexBuildHost(&host);
}

}  // namespace lexmora
