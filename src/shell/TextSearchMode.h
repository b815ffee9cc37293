#pragma once
// Searching inside the entries from the main window. The search box has two modes: looking up
// headwords (the default) and searching inside the entries, switched by Ctrl+F and the tool
// button, which stays down in the second mode. There, typing searches after a short pause; the
// large pane shows a match with the matched words highlighted, the previews show the matches
// before and after it, F3 and Shift+F3 step through the matches, and a label in a strip below the
// tool bar counts them ("12 of 340", "no matches"). A dictionary without a word index gets one
// built on a thread of its own, the label showing the progress, while the window stays usable.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/ToolBar.h"

namespace lexmora {

class TfmMain;

class TTextSearch {
 public:
  // The window's timer and message that the search uses; the window hands them to
  // HandleMessage.
  static constexpr UINT_PTR kPauseTimer = 0x5E4C;
  static constexpr UINT kBuildMessage = WM_APP + 0x5E4;
  // How long typing must pause before the search runs.
  static constexpr UINT kPauseMs = 300;

  explicit TTextSearch(TfmMain& form);
  ~TTextSearch();
  TTextSearch(const TTextSearch&) = delete;
  TTextSearch& operator=(const TTextSearch&) = delete;

  // Adds the mode's button to the bar (where the window wants it) and the label to the window.
  void CreateControls(TToolBar& bar);
  // While the mode is on, places the label in a strip of the window's client area from `top`
  // across `width`, its text starting under the search text; while it is off, hides the label.
  // Returns the height the strip takes: 0 while the mode is off.
  int Layout(int top, int width);
  // The height of the strip: 0 while the mode is off.
  int StripHeight() const;

  bool Active() const noexcept { return active_; }
  // Switches the search box to searching inside the entries or back to headword lookup.
  void SetActive(bool active);
  // The search text changed: search once typing pauses.
  void TextChanged();
  // Searches for the search text now.
  void SearchNow();
  // Shows the match `delta` places on (F3: 1, Shift+F3: -1), when there is one.
  void Step(int delta);
  // Shows the match that is entry `entry`, when it is one; a preview holding it was clicked.
  // False when it is none (the previews still show the entry's neighbours in the dictionary).
  bool ShowMatchOf(int32_t entry);
  // The window let go of its dictionary: stops a word index build for it and forgets its
  // matches.
  void DictionaryChanged();
  // The window closes for good. A build that has read every entry writes its file, which spares
  // the next session the whole build, for up to kClosingWriteMs before it is stopped; one still
  // reading entries is stopped at once.
  void WindowClosing();
  static constexpr DWORD kClosingWriteMs = 10000;
  // The timer and the build's messages; true when the message was the search's.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  TToolButton* tbtnFindInText = nullptr;
  TLabel lblMatches;
  // Called on a build's thread at each of its progress steps, with the percentage of the
  // entries read (100 once every entry is read, through the writing of the file) and its stop
  // flag, when set before the build starts: tests hold a build there.
  std::function<void(int32_t percent, const std::atomic<bool>& stopping)> BuildStep;

  // What is shown, for the window and tests.
  const std::vector<int32_t>& Matches() const noexcept { return matches_; }
  // The place among the matches of the entry shown; -1 when none is shown.
  int32_t Position() const noexcept { return position_; }
  bool Building() const noexcept { return job_ != nullptr; }
  // A search is due: typing has not paused yet, or a build is under way.
  bool Waiting() const noexcept { return paused_ || job_ != nullptr; }

 private:
  class BuildJob;
  // The height of a line of the label's font.
  int LabelTextHeight() const;
  void StartBuild();
  void BuildProgress(const BuildJob& job);
  void BuildEnded();
  void StopBuild();
  void ShowMatch(int32_t position);
  void ClearPanes();
  void SetStatus(const std::wstring& text);
  void SetCue();

  TfmMain& form_;
  bool active_ = false;
  // A search waits for the build to end.
  bool pending_ = false;
  // The pause timer runs.
  bool paused_ = false;
  std::wstring query_;
  std::vector<int32_t> matches_;
  int32_t position_ = -1;
  std::unique_ptr<BuildJob> job_;
  uint32_t jobNumber_ = 0;
};

}  // namespace lexmora
