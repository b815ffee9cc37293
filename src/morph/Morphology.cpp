#include "morph/Morphology.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <hunspell.hxx>
#include <map>

#include "base/FileIO.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "morph/DictEncoding.h"
#include "morph/PairCheck.h"

namespace lexmora {

namespace {

std::wstring LowerCase(std::wstring text) {
  if (!text.empty())
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

void AddOnce(std::vector<std::wstring>& words, std::wstring word) {
  if (!word.empty() && std::find(words.begin(), words.end(), word) == words.end())
    words.push_back(std::move(word));
}

// A path as Hunspell opens it on Windows whatever letters it holds: absolute, in the long form
// "\\?\C:\..." (or "\\?\UNC\server\..."), in UTF-8.
std::string LongUtf8Path(const std::wstring& path) {
  std::wstring full = ExpandFileName(path);
  if (full.rfind(L"\\\\?\\", 0) != 0) {
    if (full.rfind(L"\\\\", 0) == 0)
      full = L"\\\\?\\UNC\\" + full.substr(2);
    else
      full = L"\\\\?\\" + full;
  }
  return ToUtf8(full);
}

// Up to `count` words of a word list, its first lines after the count: the text before the
// flags (a slash not after a backslash) or a blank.
std::vector<std::string> FirstWordsOf(const std::string& wordList, size_t count) {
  std::vector<std::string> words;
  size_t pos = wordList.find('\n');
  while (pos != std::string::npos && words.size() < count) {
    const size_t start = pos + 1;
    pos = wordList.find('\n', start);
    const std::string line =
        wordList.substr(start, (pos == std::string::npos ? wordList.size() : pos) - start);
    const size_t end = line.find_first_of("/ \t\r\\");
    if (!line.empty() && end != 0 && (end == std::string::npos || line[end] != '\\'))
      words.push_back(line.substr(0, end));
  }
  return words;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

MorphLanguage::MorphLanguage(std::wstring folder, std::wstring name)
    : folder_(std::move(folder)), name_(std::move(name)) {}

MorphLanguage::~MorphLanguage() = default;

void MorphLanguage::Load() {
  std::lock_guard lock(mutex_);
  LoadLocked();
}

std::wstring MorphLanguage::OffReason() const {
  return State() == MorphState::Off ? offReason_ : std::wstring();
}

double MorphLanguage::LoadMilliseconds() const {
  return State() == MorphState::NotLoaded ? 0 : loadMilliseconds_;
}

void MorphLanguage::LoadLocked() {
  if (State() != MorphState::NotLoaded)
    return;
  const auto start = std::chrono::steady_clock::now();
  std::wstring problem;
  try {
    problem = LoadFiles();
  } catch (const std::exception& e) {
    problem = name_ + L" could not be loaded: " + FromUtf8(e.what()) + L".";
  }
  if (!problem.empty()) {
    hunspell_.reset();
    irregular_ = IrregularForms();
    offReason_ = std::move(problem);
  }
  loadMilliseconds_ = MillisecondsSince(start);
  state_.store(offReason_.empty() ? MorphState::Ready : MorphState::Off, std::memory_order_release);
}

std::wstring MorphLanguage::LoadFiles() {
  const std::wstring affixPath = folder_ + name_ + L".aff";
  const std::wstring wordListPath = folder_ + name_ + L".dic";
  const std::wstring formsPath = folder_ + name_ + L".exc";
  std::wstring problem;
  {
    const FileText affix = ReadFileText(affixPath, kMaxAffixFileBytes);
    if (!affix.problem.empty())
      return affix.problem;
    const std::string encoding = DeclaredEncoding(affix.bytes);
    codePage_ = CodePageOfEncoding(encoding);
    if (codePage_ == 0) {
      return name_ + L".aff declares the encoding \"" + FromUtf8(encoding) +
             L"\", which cannot be read here.";
    }
    problem = CheckText(name_ + L".aff", affix.bytes, codePage_);
    if (problem.empty())
      problem = CheckAffixTables(name_ + L".aff", affix.bytes);
    if (!problem.empty())
      return problem;
  }
  const FileText wordList = ReadFileText(wordListPath, kMaxWordListBytes);
  if (!wordList.problem.empty())
    return wordList.problem;
  problem = CheckText(name_ + L".dic", wordList.bytes, codePage_);
  if (problem.empty())
    problem = CheckWordList(name_ + L".dic", wordList.bytes);
  if (!problem.empty())
    return problem;
  if (FileExists(formsPath)) {
    const FileText forms = ReadFileText(formsPath, kMaxIrregularFormsBytes);
    if (!forms.problem.empty())
      return forms.problem;
    problem = CheckText(name_ + L".exc", forms.bytes, CP_UTF8);
    if (!problem.empty())
      return problem;
    irregular_ = IrregularForms::FromText(forms.bytes);
  }
  hunspell_ = std::make_unique<Hunspell>(LongUtf8Path(affixPath).c_str(),
                                         LongUtf8Path(wordListPath).c_str());
  return CheckHunspellReadWords(wordList.bytes);
}

// Hunspell reports no failure to read its files; a dictionary that knows none of the first
// words of its own list was not read.
std::wstring MorphLanguage::CheckHunspellReadWords(const std::string& wordList) {
  const std::vector<std::string> words = FirstWordsOf(wordList, 50);
  for (const std::string& word : words) {
    if (hunspell_->spell(word))
      return std::wstring();
  }
  return L"Hunspell knows none of the first words of " + name_ + L".dic.";
}

bool MorphLanguage::Encode(const std::wstring& word, std::string& encoded) const {
  if (State() != MorphState::Ready || word.empty() || word.size() > kMaxWordLength)
    return false;
  std::optional<std::string> bytes = ToCodePage(word, codePage_);
  if (!bytes)
    return false;
  encoded = std::move(*bytes);
  return true;
}

uint64_t MorphLanguage::DataStamp() const {
  // FNV-1a over the name's units and each file's attributes.
  uint64_t stamp = 14695981039346656037ull;
  const auto mix = [&stamp](const void* data, size_t size) {
    for (size_t k = 0; k < size; ++k) {
      stamp ^= static_cast<const uint8_t*>(data)[k];
      stamp *= 1099511628211ull;
    }
  };
  mix(name_.data(), name_.size() * sizeof(wchar_t));
  for (const wchar_t* extension : {L".aff", L".dic", L".exc"}) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW((folder_ + name_ + extension).c_str(), GetFileExInfoStandard,
                              &info)) {
      info = {};
    }
    const uint32_t parts[] = {info.nFileSizeLow, info.nFileSizeHigh,
                              info.ftLastWriteTime.dwLowDateTime,
                              info.ftLastWriteTime.dwHighDateTime};
    mix(parts, sizeof parts);
  }
  return stamp;
}

std::vector<std::wstring> MorphLanguage::Stems(const std::wstring& word) {
  std::lock_guard lock(mutex_);
  LoadLocked();
  return StemsLocked(word);
}

std::optional<std::vector<std::wstring>> MorphLanguage::StemsIfFree(
    const std::wstring& word, std::chrono::milliseconds wait) {
  if (State() != MorphState::Ready)
    return std::nullopt;
  std::unique_lock lock(mutex_, wait);
  if (!lock.owns_lock())
    return std::nullopt;
  return StemsLocked(word);
}

std::vector<std::wstring> MorphLanguage::StemsLocked(const std::wstring& word) {
  std::vector<std::wstring> stems;
  std::string encoded;
  if (!Encode(word, encoded))
    return stems;
  for (const std::string& stem : hunspell_->stem(encoded))
    AddOnce(stems, LowerCase(FromCodePage(stem, codePage_)));
  for (const std::wstring& base : irregular_.BasesOf(LowerCase(word)))
    AddOnce(stems, base);
  return stems;
}

bool MorphLanguage::Knows(const std::wstring& word) {
  std::lock_guard lock(mutex_);
  LoadLocked();
  std::string encoded;
  return Encode(word, encoded) && hunspell_->spell(encoded);
}

std::vector<std::wstring> MorphLanguage::Suggest(const std::wstring& word, size_t max) {
  std::lock_guard lock(mutex_);
  LoadLocked();
  std::vector<std::wstring> suggestions;
  std::string encoded;
  if (max == 0 || !Encode(word, encoded))
    return suggestions;
  for (const std::string& suggestion : hunspell_->suggest(encoded)) {
    AddOnce(suggestions, FromCodePage(suggestion, codePage_));
    if (suggestions.size() == max)
      break;
  }
  return suggestions;
}

std::vector<std::wstring> SpellingCandidates(MorphLanguage& language, const std::wstring& word,
                                             size_t max) {
  std::vector<std::wstring> candidates;
  for (const std::wstring& suggestion : language.Suggest(word, max)) {
    AddOnce(candidates, LowerCase(suggestion));
    for (std::wstring& stem : language.Stems(suggestion))
      AddOnce(candidates, std::move(stem));
  }
  return candidates;
}

Morphology::Morphology(std::wstring folder) : folder_(std::move(folder)) {
  if (!folder_.empty() && folder_.back() != L'\\' && folder_.back() != L'/')
    folder_ += L'\\';
  // Names compared without case, as the file system does, each listed under its first spelling.
  std::map<std::wstring, std::wstring> names;
  for (const wchar_t* pattern : {L"*.aff", L"*.dic"}) {
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW((folder_ + pattern).c_str(), &found));
    if (!find)
      continue;
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        continue;
      const std::wstring file = found.cFileName;
      const size_t dot = file.size() - 4;
      // The pattern also matches longer extensions in their short names ("x.affix").
      if (file.size() <= 4 || LowerCase(file.substr(dot)) != std::wstring(pattern + 1))
        continue;
      names.emplace(LowerCase(file.substr(0, dot)), file.substr(0, dot));
    } while (FindNextFileW(find.Get(), &found));
  }
  for (const auto& [key, name] : names)
    languages_.push_back(std::make_unique<MorphLanguage>(folder_, name));
}

Morphology::~Morphology() {
  stopping_ = true;
  if (loader_.joinable())
    loader_.join();
}

std::wstring Morphology::ProgramFolder() {
  return ProgramFolderW() + L"Morphology\\";
}

MorphLanguage* Morphology::Find(const std::wstring& name) const {
  for (const auto& language : languages_) {
    if (LowerCase(language->Name()) == LowerCase(name))
      return language.get();
  }
  return nullptr;
}

void Morphology::LoadInBackground(std::function<void(MorphLanguage&)> loaded) {
  if (loader_.joinable())
    return;
  loader_ = std::thread([this, loaded = std::move(loaded)]() noexcept {
    for (const auto& language : languages_) {
      if (stopping_)
        return;
      language->Load();
      if (loaded)
        loaded(*language);
    }
  });
}

void Morphology::LoadAll() {
  for (const auto& language : languages_)
    language->Load();
}

MorphLanguage* DetectLanguage(Morphology& morphology, const std::vector<std::wstring>& sample) {
  MorphLanguage* best = nullptr;
  size_t bestKnown = 0;
  for (const auto& language : morphology.Languages()) {
    language->Load();
    if (language->State() != MorphState::Ready)
      continue;
    size_t known = 0;
    for (const std::wstring& word : sample)
      known += language->Knows(word) ? 1 : 0;
    if (known > bestKnown) {
      best = language.get();
      bestKnown = known;
    }
  }
  return bestKnown > 0 && static_cast<double>(bestKnown) >= kFairShare * sample.size() ? best
                                                                                       : nullptr;
}

}  // namespace lexmora
