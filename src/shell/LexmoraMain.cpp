// The program's entry: the single-instance guard, the two long-lived windows (the main window and
// the dictionary chooser) and the message loop. The options dialog is made each time it is shown.
#include <cxxabi.h>
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <typeinfo>

#include "base/Errors.h"
#include "base/Reporter.h"
#include "base/Text.h"
#include "shell/ChooseU.h"
#include "shell/ConstU.h"
#include "shell/IndexProgressWindow.h"
#include "shell/MainU.h"
#include "shell/SingleInstance.h"
#include "ui/Application.h"

namespace lexmora {
namespace {

constexpr char kStartupErrorCaption[] = "Application Error";

// The class name of an exception without its namespace, such as "ERegistryException".
std::string ClassName(const std::exception& e) {
  const char* mangled = typeid(e).name();
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
  std::string name = status == 0 && demangled ? demangled.get() : mangled;
  if (size_t colons = name.rfind("::"); colons != std::string::npos)
    name.erase(0, colons + 2);
  return name;
}

void ReportStartupError(const std::exception& e) {
  const std::wstring text =
      ToWide("Exception " + ClassName(e) + " in module Lexmora.exe.\r\n") + WideMessageOf(e);
  CurrentReporter().ShowWideMessage(nullptr, text, ToWide(kStartupErrorCaption),
                                    MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

// Takes the single-copy lock into `lock` where the guard applies; the caller keeps it until the
// process is about to end.
int RunProgram(std::optional<SingleCopyLock>& lock) {
  if (MultipleInstancesForbidden()) {
    lock.emplace();
    // Handed over to the running copy, or given up on it: end without a window.
    if (lock->Result() != SingleCopyLock::Start::Run)
      return 0;
  }

  TApplication& app = Application();
  app.Initialize();
  InstallIndexBuildWindow();
  fmMain = &app.CreateForm<TfmMain>();
  fmChooseDict = &app.CreateForm<TfmChooseDict>();
  app.Run();
  // The window has closed: a start from now on waits for this copy to end.
  if (lock)
    lock->Closing();
  return 0;
}

}  // namespace
}  // namespace lexmora

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace lexmora;
  int exitCode = 0;
  // Released as the process ends, after the windows: their destruction writes the settings and
  // may finish a word index.
  std::optional<SingleCopyLock> lock;
  try {
    exitCode = RunProgram(lock);
  } catch (const std::exception& e) {
    ReportStartupError(e);
    exitCode = 1;
  } catch (...) {
    ReportStartupError(std::runtime_error("Unknown exception"));
    exitCode = 1;
  }
  // Program end: the windows are destroyed (the main window saves the settings), then the lock
  // goes.
  Application().DestroyForms();
  fmMain = nullptr;
  fmChooseDict = nullptr;
  return exitCode;
}
