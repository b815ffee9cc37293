#pragma once
// The index progress window: a small modal window without a title bar that builds a dictionary's
// index inside its activation, shows the entries found so far, and waits for OK.
#include <windows.h>

#include <cstdint>
#include <string>

#include "store/ADictU.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace lexmora {

// Where the window's parts lie in its client area, `dpi` the window's: the bar centred, the label
// above the bar at its left edge, and OK centred below the bar.
struct ProgressLayout {
  RECT bar;
  POINT labelAt;
  RECT button;
};
ProgressLayout PlaceProgressParts(int clientWidth, int clientHeight, int dpi);

class TCreateIndexForm : public TForm {
 public:
  // Builds the window and its controls, hidden.
  TCreateIndexForm();

  TProgressBar pbProgress;
  TLabel lblProgress;
  TButton btnOK;
  std::wstring DataFileName;
  std::wstring IndexFileName;
  bool DoSort = false;

  // The activation handler: scans DataFileName, writes IndexFileName, then fills the bar and
  // enables OK. When the
  // build fails the window says so and enables OK all the same, and the error propagates to the
  // application's handler, which reports it over the window.
  void RunBuild();
  // Whether the last build ran to its end.
  bool Built() const noexcept { return built_; }
  // One progress report: steps the bar, shows the count and handles pending messages.
  void ShowProgress(int32_t entryCount);
  void ScanEntries(TIndexList& list, FILETIME& storedTime);
  void WriteIndexFile(const TIndexList& list, const FILETIME& storedTime);

 protected:
  void CreateParams(TFormParams& params) override;

 private:
  // The state of a finished build: its text, the normal pointer, and OK to close the window.
  void ShowFinished(const char* text);
  bool built_ = false;
};

// From now on, every index build of a TADict runs modally in a TCreateIndexForm. A failed build
// is reported while the window is open; once it is closed, the build raises EAbort, so that the
// dictionary is not opened.
void InstallIndexBuildWindow();

}  // namespace lexmora
