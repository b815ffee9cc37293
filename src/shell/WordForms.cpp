#include "shell/WordForms.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "shell/ConstU.h"
#include "shell/ShellControls.h"
#include "store/WordSample.h"

namespace lexmora {

namespace {

// The most words asked of the speller for one misspelled text.
constexpr size_t kSpellerWords = 10;

// The names of a dictionary's languages, as they are kept when not chosen by the user.
KeptLanguages NamesOf(const DictLanguages& languages) {
  return {languages.headwords != nullptr ? languages.headwords->Name() : L"",
          languages.meanings != nullptr ? languages.meanings->Name() : L"", false};
}

}  // namespace

// Asks the speller on a thread of its own, one text at a time, since a suggestion takes up to a
// few hundred milliseconds; a newer question replaces one not yet taken up. Each answer is told
// to the window by posting kSuggestedMessage with the question's number.
class TWordForms::Suggester {
 public:
  explicit Suggester(HWND window) : window_(window), thread_([this] { Run(); }) {}
  ~Suggester() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    asked_.notify_all();
    thread_.join();
  }
  Suggester(const Suggester&) = delete;
  Suggester& operator=(const Suggester&) = delete;

  void Ask(MorphLanguage& language, const std::wstring& word, uint32_t request) {
    {
      std::lock_guard lock(mutex_);
      question_ = {&language, word, request};
    }
    asked_.notify_all();
  }
  // The words suggested for question `request`, once answered; raises what the speller raised.
  bool Take(uint32_t request, std::vector<std::wstring>& words) {
    std::lock_guard lock(mutex_);
    if (answered_ != request)
      return false;
    answered_ = 0;
    if (error_)
      std::rethrow_exception(std::exchange(error_, nullptr));
    words = std::move(answer_);
    return true;
  }

 private:
  struct Question {
    MorphLanguage* language = nullptr;
    std::wstring word;
    uint32_t request = 0;
  };

  void Run() noexcept {
    std::unique_lock lock(mutex_);
    for (;;) {
      asked_.wait(lock, [this] { return stopping_ || question_.language != nullptr; });
      if (stopping_)
        return;
      const Question question = std::exchange(question_, Question{});
      lock.unlock();
      std::vector<std::wstring> words;
      std::exception_ptr error;
      try {
        words = SpellingCandidates(*question.language, question.word, kSpellerWords);
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      answer_ = std::move(words);
      error_ = error;
      answered_ = question.request;
      PostMessageW(window_, kSuggestedMessage, 0, static_cast<LPARAM>(question.request));
    }
  }

  const HWND window_;
  std::mutex mutex_;
  std::condition_variable asked_;
  bool stopping_ = false;
  Question question_;
  uint32_t answered_ = 0;
  std::vector<std::wstring> answer_;
  std::exception_ptr error_;
  std::thread thread_;
};

TWordForms::TWordForms(TWordFormsHost& host, std::wstring morphologyFolder)
    : host_(host), morphology_(std::make_unique<Morphology>(std::move(morphologyFolder))) {}

// The threads end first, then the languages they use.
TWordForms::~TWordForms() {
  suggester_.reset();
  morphology_.reset();
}

void TWordForms::CreateControls(int id) {
  lnkForms.Create(host_.HostWindow(), id);
  lnkForms.OnLinkClick = [this](int link) { LinkClicked(link); };
}

void TWordForms::StartLoading() {
  const HWND window = host_.HostWindow();
  suggester_ = std::make_unique<Suggester>(window);
  morphology_->LoadInBackground(
      [window](MorphLanguage&) { PostMessageW(window, kLoadedMessage, 0, 0); });
}

int32_t TWordForms::LookUp(const std::wstring& typed) {
  TADict* dict = host_.LeadDictionary();
  KillTimer(host_.HostWindow(), kSuggestTimer);
  ++request_;
  typed_ = typed;
  lookup_ = dict != nullptr ? LookUpWord(*dict, typed) : WordLookup{};
  SetLine(LineOfForms(typed, lookup_, lookup_.entry));
  if (lookup_.formsPending)
    SetTimer(host_.HostWindow(), kSuggestTimer, kRetryMs, nullptr);
  else if (lookup_.lost)
    SetTimer(host_.HostWindow(), kSuggestTimer, kSuggestPauseMs, nullptr);
  return lookup_.entry;
}

void TWordForms::SuggestNow() {
  if (lookup_.lost && typed_ == host_.SearchText())
    Suggest();
}

void TWordForms::EntryShown(int32_t entry) {
  if (!lookup_.forms.empty())
    SetLine(LineOfForms(typed_, lookup_, entry));
}

void TWordForms::ClearLine() {
  KillTimer(host_.HostWindow(), kSuggestTimer);
  ++request_;
  lookup_ = WordLookup{};
  SetLine(FormsLine{});
}

std::wstring TWordForms::LanguageStampOf(const TADict& dict) const {
  std::vector<std::wstring> names;
  for (const auto& language : morphology_->Languages())
    names.push_back(language->Name());
  return LanguageStamp(dict.DataFilePath(), names);
}

void TWordForms::DictionaryOpened() {
  std::vector<size_t> unknown;
  for (size_t k = 0; k < host_.DictionaryCount(); ++k) {
    TADict& dict = *host_.DictionaryAt(k);
    if (const std::optional<KeptLanguages> kept = ReadKeptLanguages(
            kSettingsRoot, kSettingsKey, host_.DictionaryNameAt(k), LanguageStampOf(dict))) {
      UseLanguages(dict, *kept);
    } else {
      unknown.push_back(k);
    }
  }
  known_ = unknown.empty();
  if (known_ || !AllLoaded())
    return;
  // Found on this thread, from languages that are all loaded: a few tens of milliseconds, once
  // for each dictionary.
  for (size_t k : unknown) {
    TADict& dict = *host_.DictionaryAt(k);
    const KeptLanguages detected = NamesOf(DetectDictLanguages(dict, *morphology_));
    UseLanguages(dict, detected);
    KeepLanguages(kSettingsRoot, kSettingsKey, host_.DictionaryNameAt(k), detected,
                  LanguageStampOf(dict));
  }
  known_ = true;
}

void TWordForms::DictionaryClosing() {
  ClearLine();
  for (size_t k = 0; k < host_.DictionaryCount(); ++k)
    host_.DictionaryAt(k)->SetLanguages({});
  known_ = false;
}

KeptLanguages TWordForms::DictionaryLanguages() {
  const TADict* dict = host_.LeadDictionary();
  if (dict == nullptr)
    return {};
  return NamesOf(dict->Languages());
}

void TWordForms::ChooseLanguages(const std::wstring& headwords, const std::wstring& meanings) {
  TADict* dict = host_.LeadDictionary();
  for (size_t k = 0; dict != nullptr && k < host_.DictionaryCount(); ++k) {
    if (host_.DictionaryAt(k) != dict)
      continue;
    const KeptLanguages chosen{headwords, meanings, true};
    KeepLanguages(kSettingsRoot, kSettingsKey, host_.DictionaryNameAt(k), chosen,
                  LanguageStampOf(*dict));
    UseLanguages(*dict, chosen);
    LookUpAgain();
    return;
  }
}

std::vector<LanguageOffer> TWordForms::OfferedLanguages() const {
  std::vector<LanguageOffer> offered;
  for (const auto& language : morphology_->Languages()) {
    const MorphState state = language->State();
    offered.push_back({language->Name(),
                       state == MorphState::Off         ? language->OffReason()
                       : state == MorphState::NotLoaded ? language->Name() + L" is still loading."
                                                        : std::wstring(),
                       state == MorphState::Off});
  }
  return offered;
}

void TWordForms::UseLanguages(TADict& dict, const KeptLanguages& languages) {
  dict.SetLanguages({languages.headwords.empty() ? nullptr : morphology_->Find(languages.headwords),
                     languages.meanings.empty() ? nullptr : morphology_->Find(languages.meanings)});
}

bool TWordForms::AllLoaded() const {
  const auto& languages = morphology_->Languages();
  return std::none_of(languages.begin(), languages.end(), [](const auto& language) {
    return language->State() == MorphState::NotLoaded;
  });
}

void TWordForms::LanguageLoaded() {
  if (!known_ && AllLoaded())
    DictionaryOpened();
  if (known_)
    LookUpAgain();
}

// The search text looked up again, now that the forms may answer where they did not.
void TWordForms::LookUpAgain() {
  const std::wstring text = host_.SearchText();
  if (host_.LeadDictionary() == nullptr || !host_.LookingUpHeadwords() || text.empty())
    return;
  const int32_t before = lookup_.entry;
  const bool sameText = text == typed_;
  // An entry already on screen stays as it is, scrolled where the user left it.
  if (const int32_t entry = LookUp(text); entry != before || !sameText)
    host_.ShowEntry(entry);
}

void TWordForms::SetLine(FormsLine line) {
  const bool came = line_.markup.empty() != line.markup.empty();
  line_ = std::move(line);
  lnkForms.SetMarkup(line_.markup);
  if (came)
    host_.StripChanged();
}

void TWordForms::LinkClicked(int link) {
  if (link < 0 || static_cast<size_t>(link) >= line_.links.size())
    return;
  const int32_t entry = line_.links[static_cast<size_t>(link)];
  host_.ShowEntry(entry);
  EntryShown(entry);
}

void TWordForms::Suggest() {
  TADict* dict = host_.LeadDictionary();
  if (dict == nullptr)
    return;
  MorphLanguage* language = dict->Languages().headwords;
  if (language != nullptr && language->State() == MorphState::Ready && suggester_) {
    suggester_->Ask(*language, typed_, ++request_);
    return;
  }
  SetLine(LineOfSuggestions(SuggestHeadwords(*dict, typed_, {})));
}

void TWordForms::SuggestionsArrived(uint32_t request) {
  std::vector<std::wstring> words;
  if (request != request_ || !suggester_ || !suggester_->Take(request, words))
    return;
  TADict* dict = host_.LeadDictionary();
  if (dict != nullptr && typed_ == host_.SearchText() && host_.LookingUpHeadwords())
    SetLine(LineOfSuggestions(SuggestHeadwords(*dict, typed_, words)));
}

int TWordForms::StripHeight() const {
  if (line_.markup.empty() || lnkForms.Handle() == nullptr)
    return 0;
  return lnkForms.TextHeight() + host_.WindowScale(kStripPadding);
}

void TWordForms::PlaceStrip(int left, int top, int width) {
  const int height = StripHeight();
  if (height == 0 || !host_.LookingUpHeadwords()) {
    ShowWindow(lnkForms.Handle(), SW_HIDE);
    return;
  }
  const int padding = host_.WindowScale(kStripPadding);
  lnkForms.SetBounds(left, top + padding / 2, std::max(0, width - left), height - padding);
  ShowWindow(lnkForms.Handle(), SW_SHOWNA);
}

bool TWordForms::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_CTLCOLORSTATIC: {
      if (reinterpret_cast<HWND>(lParam) != lnkForms.Handle() || lnkForms.Handle() == nullptr)
        return false;
      result = StripTextColors(reinterpret_cast<HDC>(wParam));
      return true;
    }
    case WM_TIMER:
      if (wParam != kSuggestTimer)
        return false;
      KillTimer(host_.HostWindow(), kSuggestTimer);
      if (lookup_.formsPending) {
        LookUpAgain();
      } else if (lookup_.lost && typed_ == host_.SearchText()) {
        Suggest();
      }
      return true;
    case kLoadedMessage:
      ++loadsTaken_;
      LanguageLoaded();
      return true;
    case kLanguagesMessage: {
      const size_t count = std::min<size_t>(morphology_->Languages().size(), 0xFFFF);
      result = MAKELRESULT(std::min(loadsTaken_, count), count);
      return true;
    }
    case kSuggestedMessage:
      SuggestionsArrived(static_cast<uint32_t>(lParam));
      return true;
    default:
      return false;
  }
}

}  // namespace lexmora
