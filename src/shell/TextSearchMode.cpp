#include "shell/TextSearchMode.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "../resources/MainIds.h"
#include "base/Handle.h"
#include "morph/Morphology.h"
#include "shell/ShellControls.h"
#include "store/TextSearch.h"

namespace lexmora {

namespace {

constexpr int kImageFindInText = 5;
constexpr wchar_t kHeadwordCue[] = L"Look up a headword";
constexpr wchar_t kTextCue[] = L"Search inside entries";
constexpr wchar_t kNoMatches[] = L"no matches";
// Pixels at 96 DPI: the strip's room above and below the label's text, and the room it leaves
// at the window's right edge.
constexpr int kStripRightRoom = 4;

}  // namespace

// One word index build on a thread of its own. The thread reads only what the build took from
// the dictionary when it was made, and tells the window how far it got and when it ended by
// posting kBuildMessage (wParam 0: progress, 1: ended; lParam: the job's number). Ending the job
// stops the build and waits for its thread.
class TTextSearch::BuildJob {
 public:
  BuildJob(TADict& dict, HWND window, uint32_t number,
           std::function<void(int32_t, const std::atomic<bool>&)> step)
      : build_(dict),
        window_(window),
        number_(number),
        step_(std::move(step)),
        ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~BuildJob() { Stop(); }
  BuildJob(const BuildJob&) = delete;
  BuildJob& operator=(const BuildJob&) = delete;

  void Start() {
    thread_ = std::thread([this] { Run(); });
  }
  void Stop() noexcept {
    stop_ = true;
    if (thread_.joinable())
      thread_.join();
  }
  // After the end: gives `dict` what was built, then raises what the build raised.
  void Finish(TADict* dict) {
    Stop();
    if (dict != nullptr)
      build_.InstallInto(*dict);
    if (error_)
      std::rethrow_exception(error_);
  }
  // Waits up to `ms` for the build to end by itself; true when it has.
  bool WaitForEnd(DWORD ms) const noexcept {
    return ended_ && WaitForSingleObject(ended_.Get(), ms) == WAIT_OBJECT_0;
  }
  uint32_t Number() const noexcept { return number_; }
  int32_t Percent() const noexcept { return std::max(percent_.load(), 0); }

 private:
  void Run() noexcept {
    try {
      build_.Run([this](int32_t done, int32_t total) {
        const auto percent = static_cast<int32_t>(total > 0 ? int64_t{done} * 100 / total : 100);
        if (percent_.exchange(percent) != percent)
          PostMessageW(window_, kBuildMessage, 0, static_cast<LPARAM>(number_));
        if (step_)
          step_(percent, stop_);
        return !stop_;
      });
    } catch (...) {
      error_ = std::current_exception();
    }
    if (ended_)
      SetEvent(ended_.Get());
    PostMessageW(window_, kBuildMessage, 1, static_cast<LPARAM>(number_));
  }

  WordIndexBuild build_;
  const HWND window_;
  const uint32_t number_;
  const std::function<void(int32_t, const std::atomic<bool>&)> step_;
  std::atomic<bool> stop_{false};
  std::atomic<int32_t> percent_{-1};
  std::exception_ptr error_;
  const KernelHandle ended_;  // set when Run ends
  std::thread thread_;
};

TTextSearch::TTextSearch(TTextSearchHost& host) noexcept : host_(host) {}

TTextSearch::~TTextSearch() = default;

void TTextSearch::CreateControls(TToolBar& bar) {
  tbtnFindInText =
      &bar.AddButton(IDC_TBTNFINDINTEXT, kImageFindInText, "Search inside entries (Ctrl+F)", true);
  tbtnFindInText->OnClick = [this] { SetActive(tbtnFindInText->Down()); };
  lblMatches.Create(host_.HostWindow(), 0, 0, 0, 0);
  SetWindowLongPtrW(lblMatches.Handle(), GWLP_ID, IDC_LBLMATCHES);
  SetWindowLongPtrW(lblMatches.Handle(), GWL_STYLE,
                    GetWindowLongPtrW(lblMatches.Handle(), GWL_STYLE) | SS_ENDELLIPSIS);
  ShowWindow(lblMatches.Handle(), SW_HIDE);
  SetCue();
}

int TTextSearch::StripHeight() const {
  const HWND label = lblMatches.Handle();
  if (label == nullptr || !active_)
    return 0;
  return lblMatches.TextHeight() + host_.WindowScale(kStripPadding);
}

void TTextSearch::PlaceStrip(int top, int width) {
  const HWND label = lblMatches.Handle();
  if (label == nullptr)
    return;
  if (!active_) {
    ShowWindow(label, SW_HIDE);
    return;
  }
  const int textHeight = lblMatches.TextHeight();
  const int height = StripHeight();
  // The count's text starts under the search text, whose edit box lies in the search box on
  // the tool bar.
  const int left = SearchTextLeft(host_.SearchBox(), host_.HostWindow());
  lblMatches.SetBounds(left, top + (height - textHeight) / 2,
                       std::max(0, width - left - host_.WindowScale(kStripRightRoom)), textHeight);
  ShowWindow(label, SW_SHOWNA);
}

void TTextSearch::SetActive(bool active) {
  KillTimer(host_.HostWindow(), kPauseTimer);
  paused_ = false;
  active_ = active;
  tbtnFindInText->SetDown(active);
  host_.StripChanged();
  SetCue();
  matches_.clear();
  matchDicts_.clear();
  position_ = -1;
  pending_ = false;
  SetStatus(L"");
  if (active) {
    // An empty search box searches for nothing and leaves the entry shown in place.
    if (!host_.SearchBox().Text().empty())
      SearchNow();
  } else {
    host_.LookUpSearchText();
  }
}

void TTextSearch::TextChanged() {
  if (active_)
    paused_ = SetTimer(host_.HostWindow(), kPauseTimer, pauseMs_, nullptr) != 0;
}

void TTextSearch::SearchNow() {
  KillTimer(host_.HostWindow(), kPauseTimer);
  paused_ = false;
  if (!active_ || host_.Dictionary() == nullptr)
    return;
  query_ = host_.SearchBox().Text();
  matches_.clear();
  matchDicts_.clear();
  position_ = -1;
  if (query_.empty()) {
    SetStatus(L"");
    host_.ClearPanes();
    return;
  }
  if (job_) {
    pending_ = true;
    return;
  }
  const size_t count = host_.DictionaryCount();
  for (size_t k = 0; k < count; ++k) {
    if (!WordIndexReady(*host_.DictionaryAt(k))) {
      StartBuild(k);
      return;
    }
  }
  // The words typed are asked for their forms on this thread, which must not wait for a
  // meanings' language to load (on its own thread, at start): until each has, the search waits as
  // for a pause in typing.
  for (size_t k = 0; k < count; ++k) {
    if (const MorphLanguage* language = host_.DictionaryAt(k)->Languages().meanings;
        language != nullptr && language->State() == MorphState::NotLoaded) {
      paused_ = SetTimer(host_.HostWindow(), kPauseTimer, pauseMs_, nullptr) != 0;
      return;
    }
  }
  for (size_t k = 0; k < count; ++k) {
    const std::vector<int32_t> found = FindInText(*host_.DictionaryAt(k), query_, INT32_MAX);
    matches_.insert(matches_.end(), found.begin(), found.end());
    matchDicts_.insert(matchDicts_.end(), found.size(), k);
  }
  if (matches_.empty()) {
    SetStatus(kNoMatches);
    host_.ClearPanes();
    return;
  }
  ShowMatch(0);
}

void TTextSearch::Step(int delta) {
  if (!active_ || position_ < 0)
    return;
  const int64_t next = int64_t{position_} + delta;
  if (next >= 0 && next < static_cast<int64_t>(matches_.size()))
    ShowMatch(static_cast<int32_t>(next));
}

bool TTextSearch::ShowMatchOf(int32_t entry) {
  if (position_ < 0)
    return false;
  // The matches come most relevant first, not in entry order; the previews are those of the
  // dictionary shown.
  const size_t shown = matchDicts_[static_cast<size_t>(position_)];
  for (size_t k = 0; k < matches_.size(); ++k) {
    if (matches_[k] == entry && matchDicts_[k] == shown) {
      ShowMatch(static_cast<int32_t>(k));
      return true;
    }
  }
  return false;
}

void TTextSearch::WindowClosing() {
  if (job_ && job_->Percent() == 100)
    job_->WaitForEnd(kClosingWriteMs);
  StopBuild();
}

void TTextSearch::DictionaryChanged() {
  StopBuild();
  matches_.clear();
  position_ = -1;
  pending_ = false;
  SetStatus(L"");
}

bool TTextSearch::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (msg == WM_TIMER && wParam == kPauseTimer) {
    SearchNow();
    return true;
  }
  if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == lblMatches.Handle() &&
      lblMatches.Handle() != nullptr) {
    result = StripTextColors(reinterpret_cast<HDC>(wParam));
    return true;
  }
  if (msg != kBuildMessage)
    return false;
  // A message of a build stopped since is late and means nothing.
  if (job_ && job_->Number() == static_cast<uint32_t>(lParam)) {
    if (wParam == 0) {
      BuildProgress(*job_);
    } else {
      BuildEnded();
    }
  }
  return true;
}

void TTextSearch::StartBuild(size_t k) {
  buildDict_ = k;
  job_ = std::make_unique<BuildJob>(*host_.DictionaryAt(k), host_.HostWindow(), ++jobNumber_,
                                    BuildStep);
  pending_ = true;
  BuildProgress(*job_);
  job_->Start();
}

void TTextSearch::BuildProgress(const BuildJob& job) {
  if (active_)
    SetStatus(L"indexing " + std::to_wstring(job.Percent()) + L"%");
}

void TTextSearch::BuildEnded() {
  std::unique_ptr<BuildJob> job = std::move(job_);
  const bool search = pending_ && active_;
  pending_ = false;
  SetStatus(L"");
  TADict* dict = host_.DictionaryAt(buildDict_);
  std::exception_ptr failure;
  try {
    job->Finish(dict);
  } catch (...) {
    failure = std::current_exception();
  }
  // After a failed write the index built serves this dictionary all the same, and the search
  // runs before the failure is reported. After a failed read there is no index, and the search
  // waits for the next change of the text rather than starting another build at once.
  if (search && (!failure || (dict != nullptr && WordIndexReady(*dict))))
    SearchNow();
  if (failure)
    std::rethrow_exception(failure);
}

void TTextSearch::StopBuild() {
  job_.reset();
}

void TTextSearch::ShowMatch(int32_t position) {
  const size_t k = matchDicts_[static_cast<size_t>(position)];
  TADict* dict = host_.DictionaryAt(k);
  if (dict == nullptr)
    return;
  position_ = position;
  const int32_t entry = matches_[static_cast<size_t>(position)];
  std::vector<RtfMark> marks;
  for (const TextSpan& span : MatchingWords(*dict, dict->ReadEntry(entry, -1), query_))
    marks.push_back({span.start, span.length});
  // Previews beyond the first or last match of the dictionary name no entry and show the tail
  // alone.
  const int offsets[kPreviewPaneCount] = {-2, -1, 1, 2};
  PreviewEntries previews{};
  for (size_t p = 0; p < kPreviewPaneCount; ++p) {
    const int64_t at = int64_t{position} + offsets[p];
    const bool sameDict = at >= 0 && at < static_cast<int64_t>(matches_.size()) &&
                          matchDicts_[static_cast<size_t>(at)] == k;
    previews[p] = sameDict ? matches_[static_cast<size_t>(at)] : kNoEntry;
  }
  host_.ShowEntriesOf(k, entry, marks, previews);
  SetStatus(std::to_wstring(position + 1) + L" of " + std::to_wstring(matches_.size()));
}

void TTextSearch::SetStatus(const std::wstring& text) {
  if (lblMatches.Text() != text)
    lblMatches.SetText(text);
}

void TTextSearch::SetCue() {
  HWND edit = EditOf(host_.SearchBox());
  if (edit == nullptr)
    return;
  SendMessageW(edit, EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(active_ ? kTextCue : kHeadwordCue));
  // Setting the cue does not draw it: an empty box would go on showing the other mode's cue.
  InvalidateRect(edit, nullptr, TRUE);
}

}  // namespace lexmora
