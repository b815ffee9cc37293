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

class TCreateIndexForm : public TForm {
 public:
  // Builds the window and its controls, hidden.
  TCreateIndexForm();

  TProgressBar pbProgress;
  TLabel lblProgress;
  TButton btnOK;
  std::string DataFileName;
  std::string IndexFileName;
  bool DoSort = false;

  // The activation handler: scans DataFileName, writes IndexFileName, then enables OK. File
  // errors propagate (they reach the application's handler; the window then stays open with OK
  // disabled until the system's close command).
  void RunBuild();
  // One progress report: steps the bar, shows the count and handles pending messages.
  void ShowProgress(int32_t entryCount);
  void ScanEntries(TIndexList& list, FILETIME& storedTime);
  void WriteIndexFile(const TIndexList& list, const FILETIME& storedTime);

 protected:
  void CreateParams(TFormParams& params) override;
};

// From now on, every index build of a TADict runs modally in a TCreateIndexForm.
void InstallIndexBuildWindow();

}  // namespace lexmora
