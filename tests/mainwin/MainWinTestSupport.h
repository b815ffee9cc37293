#pragma once
// What the main-window tests share: a clean settings key, a small dictionary beside the test
// program, recorders for errors and message boxes, and running code inside a modal loop.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Reporter.h"
#include "shell/ChooseU.h"
#include "shell/MainU.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/RichEdit.h"

namespace lexmora::test {

// Records message boxes and beeps instead of showing or sounding them.
class RecordingReporter : public Reporter {
 public:
  int ShowMessage(HWND, const std::string& text, const std::string& caption, UINT style) override {
    messages.push_back({text, caption, style});
    return IDOK;
  }
  void Beep(UINT) override {}
  struct Message {
    std::string text, caption;
    UINT style;
  };
  std::vector<Message> messages;
};

// Deletes the settings key, HKEY_CURRENT_USER\SOFTWARE\Lexmora, and the machine-wide one of
// earlier copies now and when the object goes.
class CleanSettings {
 public:
  CleanSettings() { Delete(); }
  ~CleanSettings() { Delete(); }
  CleanSettings(const CleanSettings&) = delete;
  CleanSettings& operator=(const CleanSettings&) = delete;
  static void Delete() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Lexmora");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Lexmora");
  }
};

// A value of the settings key, its type and data; nothing when it is missing.
std::optional<std::pair<DWORD, std::vector<BYTE>>> Stored(const std::string& name);
// A DWORD of the settings key; kNotStored when it is missing or not a DWORD.
inline constexpr DWORD kNotStored = 0xDEADBEEF;
DWORD StoredDword(const std::string& name);

// The default character format of a rich-text pane: the font it was given, name and points.
TFontSpec PaneFontOf(const TRichEdit& pane);
bool Topmost(HWND hwnd);

// Writes values into the settings key, creating it.
void StoreDword(const std::string& name, DWORD value);
void StoreString(const std::string& name, const std::string& value);
void StoreRaw(const std::string& name, DWORD type, const std::vector<BYTE>& data);

// Dictionaries in <test program folder>\Dictionaries\, removed with their index and word index
// files (and the
// folder, when it was made here) when the object goes.
class TestDictionaries {
 public:
  TestDictionaries();
  ~TestDictionaries();
  TestDictionaries(const TestDictionaries&) = delete;
  TestDictionaries& operator=(const TestDictionaries&) = delete;
  // <name>.dat: a short preamble, then each entry introduced by the separator U+00B7.
  void Add(const std::string& name, const std::vector<std::wstring>& entries);
  // A folder named <name>.dat, which the chooser lists but no dictionary can be opened from.
  void AddFolder(const std::string& name);
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  bool madeFolder_ = false;
  std::vector<std::string> names_;
};

// Runs `action` once from the message loop shortly after the call, for instance inside the modal
// loop of a dialog that the code under test is about to show.
void RunSoon(std::function<void()> action);

// Handles the waiting messages, a few times over, so that posted follow-ups run too.
void Pump();

// A pane's text with its paragraph breaks as "\n" and no break at the end.
std::wstring PaneText(const TControl& pane);
// The edit field of the main window's search box.
HWND SearchEdit(const TfmMain& form);
// Types `keys` into the search box as characters through the message loop.
void Type(const TfmMain& form, const std::wstring& keys);
// Selects `name` in the shown chooser and confirms it.
void Choose(const std::wstring& name);
// Chooses `name` once the chooser is up in its modal loop.
void ChooseWhenShown(const std::wstring& name);

// Makes the window as narrow as it lets itself be made; returns its width then.
int ShrinkToSmallestWidth(HWND window);
// Makes the window as low as it lets itself be made; returns its height then.
int ShrinkToSmallestHeight(HWND window);
// The tool bar's buttons that do not lie wholly within its client area: "index: left-right".
std::vector<std::string> ButtonsCutOff(HWND bar);

// The pixels that `window` shows now, row by row, as 0x00RRGGBB.
std::vector<uint32_t> ShownPixels(HWND window);
// Whether `window` shows what it paints afresh: false when a change has not been drawn.
bool ShowsItsLatestPaint(HWND window);

// A fixture for tests of the main window: a clean settings key, the test dictionaries, message
// boxes and errors recorded, and the chooser the program keeps forgotten afterwards.
class MainWindowFixture : public ::testing::Test {
 protected:
  void TearDown() override { fmChooseDict = nullptr; }
  // A main window, shown; its first activation has run.
  FormPtr<TfmMain> ShowMain() {
    FormPtr<TfmMain> form = MakeForm<TfmMain>();
    form->Show();
    Pump();
    return form;
  }

  CleanSettings settings;
  TestDictionaries dictionaries;
  RecordingReporter reporter;
  ScopedReporter scopedReporter{reporter};
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[this](const std::exception& e) { errors.push_back(e.what()); }};
  FormPtr<TfmChooseDict> chooser;
};

}  // namespace lexmora::test
