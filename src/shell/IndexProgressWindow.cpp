#include "shell/IndexProgressWindow.h"

#include <commctrl.h>

#include "base/Errors.h"
#include "ui/Application.h"
#include "ui/Cursors.h"
#include "ui/Dpi.h"

namespace lexmora {

namespace {

constexpr char kProgressFormat[] = "Creating index file : %d entries processed";
constexpr char kDoneText[] = "Index file created. Click OK to continue...";
constexpr char kFailedText[] = "Index file could not be created. Click OK to continue...";
// NONCLIENTMETRICSA without the padded-border member, the size every Windows version accepts.
constexpr UINT kNonClientMetricsSize = 340;
// The layout, in pixels at 96 DPI: outer size, progress bar, gaps, OK button.
constexpr int kWidth = 400, kHeight = 100;
constexpr int kBarWidth = 380, kBarHeight = 20;
constexpr int kLabelAbove = 20, kLabelSize = 13, kButtonBelow = 7;
constexpr int kButtonWidth = 75, kButtonHeight = 25;

class IndexBuildWindowHost : public IndexBuildHost {
 public:
  void BuildIndex(const IndexBuildRequest& request) override {
    FormPtr<TCreateIndexForm> form = MakeForm<TCreateIndexForm>();
    form->DataFileName = request.dataFileName;
    form->IndexFileName = request.indexFileName;
    form->DoSort = request.doSort;
    form->ShowModal();  // the result does not matter: OK and a close request both end the build
    if (!form->Built())
      throw EAbort();  // the build's error has been reported
  }
};

}  // namespace

ProgressLayout PlaceProgressParts(int clientWidth, int clientHeight, int dpi) {
  const auto scale = [dpi](int designed) { return ScaleToDpi(designed, dpi); };
  const int barWidth = scale(kBarWidth), barHeight = scale(kBarHeight);
  const int buttonWidth = scale(kButtonWidth), buttonHeight = scale(kButtonHeight);
  const int barLeft = (clientWidth - barWidth) / 2, barTop = (clientHeight - barHeight) / 2;
  const int buttonLeft = (clientWidth - buttonWidth) / 2;
  const int buttonTop = barTop + barHeight + scale(kButtonBelow);
  return {{barLeft, barTop, barLeft + barWidth, barTop + barHeight},
          {barLeft, barTop - scale(kLabelAbove)},
          {buttonLeft, buttonTop, buttonLeft + buttonWidth, buttonTop + buttonHeight}};
}

TCreateIndexForm::TCreateIndexForm() {
  borderStyle_ = TBorderStyle::Dialog;
  stayOnTop_ = true;
  CreateEmpty();

  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = kNonClientMetricsSize;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) {
    // The system gives its metrics at the screen's DPI; the window may be on another display.
    metrics.lfMessageFont.lfHeight = ScaleDpi(metrics.lfMessageFont.lfHeight, ScreenDpi(), Dpi());
    GdiObject font(CreateFontIndirectA(&metrics.lfMessageFont));
    if (font)
      SetFont(std::move(font));
  }
  SetPosition(TPosition::MainFormCenter);
  SetCursor(WaitCursor());

  const int labelSize = Scale(kLabelSize);
  pbProgress.Create(Handle(), 0, 0, 0, 0);
  lblProgress.Create(Handle(), 0, 0, labelSize, labelSize);
  btnOK.Create(Handle(), "OK", 0, 0, Scale(kButtonWidth), Scale(kButtonHeight));

  SetBounds(0, 0, Scale(kWidth), Scale(kHeight));
  pbProgress.SetStep(1);
  const RECT client = ClientRect();
  const ProgressLayout layout = PlaceProgressParts(client.right, client.bottom, Dpi());
  const auto place = [](TControl& control, const RECT& r) {
    control.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  };
  place(pbProgress, layout.bar);
  lblProgress.SetBounds(layout.labelAt.x, layout.labelAt.y, labelSize, labelSize);
  lblProgress.AutoSize = true;
  lblProgress.AdjustSize();
  place(btnOK, layout.button);

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
  built_ = false;
  lblProgress.SetCaption(Format(kProgressFormat, 0));
  Repaint();
  try {
    TIndexList list;
    FILETIME storedTime{};
    ScanEntries(list, storedTime);
    WriteIndexFile(list, storedTime);
  } catch (...) {
    ShowFinished(kFailedText);
    throw;
  }
  built_ = true;
  // A small file makes few reports, or none, and leaves the bar short of its end: the build is
  // done, and the bar says so.
  SendMessageW(pbProgress.Handle(), PBM_SETPOS, static_cast<WPARAM>(pbProgress.Max()), 0);
  ShowFinished(kDoneText);
}

void TCreateIndexForm::ShowFinished(const char* text) {
  lblProgress.SetCaption(text);
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
