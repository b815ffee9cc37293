#pragma once
// Word forms from Hunspell. A language is one Hunspell dictionary pair in the morphology folder
// (Morphology\ beside the program): <name>.aff and <name>.dic, named by the file name ("bg_BG"),
// with its table of irregular forms <name>.exc when there is one (IrregularForms.h). A user adds
// a language by dropping a pair into the folder.
//
// Threads: a Hunspell object answers one call at a time, so each language guards its own with a
// lock. Any thread may call any function here; calls on one language wait for each other, and
// the first call that needs a language not loaded yet loads it (0.1-1 s for a large one) while
// the others wait. A window's thread that must never wait loads the languages with
// Morphology::LoadInBackground and asks a language only once State() is Ready: State() never
// waits, and neither does a call on a Ready language while no other thread is inside one.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "morph/IrregularForms.h"

class Hunspell;

namespace lexmora {

enum class MorphState {
  NotLoaded,  // nothing read yet
  Ready,      // loaded: the calls answer
  Off,        // its files could not be used; OffReason() says why, the calls answer nothing
};

class MorphLanguage {
 public:
  // The language `name` of `folder` (ending in a backslash); reads nothing yet.
  MorphLanguage(std::wstring folder, std::wstring name);
  ~MorphLanguage();
  MorphLanguage(const MorphLanguage&) = delete;
  MorphLanguage& operator=(const MorphLanguage&) = delete;

  const std::wstring& Name() const { return name_; }
  // A value that changes when its data changes: of its name and of the size and last-write time
  // of each of its files (.aff, .dic, .exc; a missing one counts too). Reads no file and never
  // waits for the language's other calls.
  uint64_t DataStamp() const;

  // Reads the files and loads Hunspell, unless done before. Never raises: files that are
  // missing, empty, larger than the limits of PairCheck.h, cut short, not text of the declared
  // encoding, or that Hunspell cannot read, turn the language Off with the reason.
  void Load();
  // Without waiting.
  MorphState State() const { return state_.load(std::memory_order_acquire); }
  // Why the language is Off, as the user reads it (one sentence naming the file); empty when it
  // is not Off.
  std::wstring OffReason() const;
  // How long its Load took, in milliseconds; 0 before.
  double LoadMilliseconds() const;

  // The dictionary forms of a word form (Hunspell's stems, then those of the table of irregular
  // forms), in lower case, each once, in that order: "къщата" gives "къща", "went" gives "go",
  // "saw" gives "saw" and "see". The word is among them only when Hunspell gives it. None for
  // a word the dictionary's encoding cannot hold, longer than kMaxWordLength, or when Off.
  std::vector<std::wstring> Stems(const std::wstring& word);
  // Stems for a thread that must not wait: nothing when the language is not Ready, or when
  // another thread's call on it (a Suggest takes up to a few hundred milliseconds) does not end
  // within `wait`. Never loads.
  std::optional<std::vector<std::wstring>> StemsIfFree(const std::wstring& word,
                                                       std::chrono::milliseconds wait);
  // Whether Hunspell knows the word as it is spelled (a form, with Hunspell's own case rules).
  bool Knows(const std::wstring& word);
  // At most `max` words Hunspell suggests for a misspelled one, best first, each once. Takes
  // milliseconds to tens of milliseconds: not for every keystroke.
  std::vector<std::wstring> Suggest(const std::wstring& word, size_t max);

  static constexpr size_t kMaxWordLength = 100;

 private:
  void LoadLocked();
  std::vector<std::wstring> StemsLocked(const std::wstring& word);
  std::wstring LoadFiles();
  std::wstring CheckHunspellReadWords(const std::string& wordList);
  // The word in the dictionary's encoding; nothing when it cannot be asked about.
  bool Encode(const std::wstring& word, std::string& encoded) const;

  const std::wstring folder_;
  const std::wstring name_;
  std::timed_mutex mutex_;
  std::atomic<MorphState> state_{MorphState::NotLoaded};
  // Written before state_ leaves NotLoaded, read only after.
  std::wstring offReason_;
  double loadMilliseconds_ = 0;
  std::unique_ptr<Hunspell> hunspell_;
  unsigned codePage_ = 0;
  IrregularForms irregular_;
};

class Morphology {
 public:
  // The languages of `folder`: one for each file name that a .aff or a .dic has (a .dic without
  // its .aff is a language that is Off), in order of their names. None when the folder is
  // missing. Reads no file yet.
  explicit Morphology(std::wstring folder);
  // Waits for the loading thread, which stops after the language it is loading.
  ~Morphology();
  Morphology(const Morphology&) = delete;
  Morphology& operator=(const Morphology&) = delete;

  // Morphology\ in the program's folder.
  static std::wstring ProgramFolder();

  const std::vector<std::unique_ptr<MorphLanguage>>& Languages() const { return languages_; }
  // The language of that name, compared without case; null when there is none.
  MorphLanguage* Find(const std::wstring& name) const;

  // Loads every language on a thread of its own, one after the other, and calls `loaded` there
  // after each (it must not raise). A second call does nothing.
  void LoadInBackground(std::function<void(MorphLanguage&)> loaded);
  // Loads every language on the calling thread.
  void LoadAll();

 private:
  std::wstring folder_;
  std::vector<std::unique_ptr<MorphLanguage>> languages_;
  std::atomic<bool> stopping_{false};
  std::thread loader_;
};

// The share of a sample that a language must know to be taken as the sample's language.
inline constexpr double kFairShare = 0.3;

// Words to offer for a misspelled `word`: up to `max` of the language's suggestions, each followed
// by its dictionary forms, each word once, best first. Takes up to a few hundred milliseconds:
// for a thread that may wait.
std::vector<std::wstring> SpellingCandidates(MorphLanguage& language, const std::wstring& word,
                                             size_t max);

// The language of a sample of words (for example a few hundred headwords spread over a
// dictionary): the one whose Hunspell knows most of them, the first by name among equals; null,
// "none", when none knows kFairShare of them. Loads languages that are not loaded yet and
// passes over those that are Off.
MorphLanguage* DetectLanguage(Morphology& morphology, const std::vector<std::wstring>& sample);

}  // namespace lexmora
