#pragma once
// Searching inside the entries from the main window. The search box has two modes: looking up
// headwords (the default) and searching inside the entries, switched by Ctrl+F and the tool
// button, which stays down in the second mode. There, typing searches after a short pause; the
// large pane shows a match with the matched words highlighted, the previews show the matches
// before and after it, F3 and Shift+F3 step through the matches, and a label in a strip below the
// tool bar counts them ("12 of 340", "no matches"). With several dictionaries in use the matches
// come dictionary by dictionary, each in its own order, and the previews of a match are its
// neighbouring matches in its dictionary. A dictionary without a word index gets one built on a
// thread of its own, the label showing the progress, while the window stays usable.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/ARtfDisplayU.h"
#include "shell/EntryPanes.h"
#include "store/ADictU.h"
#include "ui/Controls.h"
#include "ui/ToolBar.h"

namespace lexmora {

// What searching inside the entries needs from the window it serves.
class TTextSearchHost {
 public:
  // The window that holds the search box: the label's parent, and the window that gets the
  // search's timer and build messages (and hands them to TTextSearch::HandleMessage).
  virtual HWND HostWindow() const = 0;
  // A measure designed at 96 DPI, at the window's DPI.
  virtual int WindowScale(int designed) const = 0;
  // The search box, whose text is searched for.
  virtual TComboBox& SearchBox() = 0;
  // The open dictionary; null while none is open.
  virtual TADict* Dictionary() = 0;
  // Shows `entry` in the large pane with `marks` highlighted, and `previews` in the previews.
  virtual void ShowEntries(int32_t entry, const std::vector<RtfMark>& marks,
                           const PreviewEntries& previews) = 0;
  // The dictionaries in use, in order, the first being Dictionary(): a window with one
  // dictionary need not tell them.
  virtual size_t DictionaryCount() { return Dictionary() != nullptr ? 1 : 0; }
  virtual TADict* DictionaryAt(size_t k) { return k == 0 ? Dictionary() : nullptr; }
  // As ShowEntries, for an entry (and previews) of dictionary k, which a window with several in
  // use shows under its heading.
  virtual void ShowEntriesOf(size_t /*k*/, int32_t entry, const std::vector<RtfMark>& marks,
                             const PreviewEntries& previews) {
    ShowEntries(entry, marks, previews);
  }
  // Empties the panes: they show nothing and lead nowhere.
  virtual void ClearPanes() = 0;
  // The strip below the tool bar came or went: the window makes room for it.
  virtual void StripChanged() = 0;
  // Headword lookup again: the panes show what the search text looks up.
  virtual void LookUpSearchText() = 0;

 protected:
  ~TTextSearchHost() = default;
};

class TTextSearch {
 public:
  // The window's timer and message that the search uses; the window hands them to
  // HandleMessage.
  static constexpr UINT_PTR kPauseTimer = 0x5E4C;
  static constexpr UINT kBuildMessage = WM_APP + 0x5E4;
  // How long typing must pause before the search runs, unless set otherwise (SetPause).
  static constexpr UINT kPauseMs = 300;

  explicit TTextSearch(TTextSearchHost& host) noexcept;
  ~TTextSearch();
  TTextSearch(const TTextSearch&) = delete;
  TTextSearch& operator=(const TTextSearch&) = delete;

  // Adds the mode's button to the bar (where the window wants it) and the label to the window.
  void CreateControls(TToolBar& bar);
  // While the mode is on, places the label in the strip of the window's client area that starts
  // at `top` and spans `width` (StripHeight high), its text starting under the search text;
  // while it is off, hides the label.
  void PlaceStrip(int top, int width);
  // The height of the strip: 0 while the mode is off.
  int StripHeight() const;
  // How long typing must pause before the search runs.
  void SetPause(UINT ms) noexcept { pauseMs_ = ms; }

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
  // The timer, the build's messages and the label's colours; true when the message was the
  // search's, with `result` its result.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  TToolButton* tbtnFindInText = nullptr;
  TLabel lblMatches;
  // Called on a build's thread at each of its progress steps, with the percentage of the
  // entries read (100 once every entry is read, through the writing of the file) and its stop
  // flag, when set before the build starts: tests hold a build there.
  std::function<void(int32_t percent, const std::atomic<bool>& stopping)> BuildStep;

  // What is shown, for the window and tests: the entries matched, and the place among the
  // dictionaries in use of the dictionary of each.
  const std::vector<int32_t>& Matches() const noexcept { return matches_; }
  const std::vector<size_t>& MatchDictionaries() const noexcept { return matchDicts_; }
  // The place among the matches of the entry shown; -1 when none is shown.
  int32_t Position() const noexcept { return position_; }
  bool Building() const noexcept { return job_ != nullptr; }
  // A search is due: typing has not paused yet, or a build is under way.
  bool Waiting() const noexcept { return paused_ || job_ != nullptr; }

 private:
  class BuildJob;
  // The height of a line of the label's font.
  // Builds the word index of dictionary k.
  void StartBuild(size_t k);
  void BuildProgress(const BuildJob& job);
  void BuildEnded();
  void StopBuild();
  void ShowMatch(int32_t position);
  void SetStatus(const std::wstring& text);
  void SetCue();

  TTextSearchHost& host_;
  UINT pauseMs_ = kPauseMs;
  bool active_ = false;
  // A search waits for the build to end.
  bool pending_ = false;
  // The pause timer runs.
  bool paused_ = false;
  std::wstring query_;
  std::vector<int32_t> matches_;
  std::vector<size_t> matchDicts_;
  // The dictionary whose word index is being built.
  size_t buildDict_ = 0;
  int32_t position_ = -1;
  std::unique_ptr<BuildJob> job_;
  uint32_t jobNumber_ = 0;
};

}  // namespace lexmora
