// Searching inside the entries through the word index, which each open dictionary keeps once a
// search has needed it.
#include "store/TextSearch.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "store/TextQuery.h"
#include "store/WordIndex.h"
#include "store/WordIndexBuilder.h"
#include "store/WordIndexWriter.h"
#include "store/WordRules.h"

namespace lexmora {

namespace {

// The words of the last query and the places in the word index of the words each matches, kept
// for showing that query's matches one after the other.
struct Expansion {
  std::wstring query;
  const detail::WordIndex* index = nullptr;
  MorphLanguage* language = nullptr;
  std::vector<std::vector<uint32_t>> matched;
};

// What the text search keeps with an open dictionary: its word rules (made once, as letter
// conversion is fixed for the dictionary's life), the checksum of its entry order, its word
// index once read or built, and the words of its last query.
class TextSearchState : public TADictCompanion {
 public:
  explicit TextSearchState(const TADict& dict) : rules(detail::MakeWordRules(dict)) {}

  // Taken from the dictionary's own offsets, and again whenever its order may have changed (an
  // index on disk that another copy of the program rebuilt), never from its index file by name:
  // that file may hold another order than the one the dictionary reads, or be gone.
  uint64_t OrderChecksum(TADict& dict) {
    const uint64_t stamp = dict.OrderStamp();
    if (!orderChecksum || stamp != orderStamp) {
      orderChecksum = detail::EntryOrderChecksum(dict.EntryOffsets());
      orderStamp = stamp;
    }
    return *orderChecksum;
  }

  // Takes `built` (or none) as the word index, and forgets the last query's words, which name
  // places in the index before it.
  void SetIndex(std::unique_ptr<detail::WordIndex> built) {
    index = std::move(built);
    last = Expansion{};
  }

  detail::WordRules rules;
  std::unique_ptr<detail::WordIndex> index;  // set through SetIndex
  Expansion last;

 private:
  std::optional<uint64_t> orderChecksum;
  uint64_t orderStamp = 0;
};

TextSearchState& StateOf(TADict& dict) {
  std::unique_ptr<TADictCompanion>& companion = dict.Companion();
  if (!companion)
    companion = std::make_unique<TextSearchState>(dict);
  auto* state = dynamic_cast<TextSearchState*>(companion.get());
  if (state == nullptr)
    throw Exception("The dictionary holds another part's data");
  return *state;
}

// The dictionary file's last-write time, as the index check reads it.
FILETIME DataTime(const std::wstring& dataFileName) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(dataFileName.c_str(), GetFileExInfoStandard, &info))
    RaiseLastError();
  return info.ftLastWriteTime;
}

// True when `index` was built from `dict`'s files as they are, under its rules and with the forms
// of `language` as its files are.
bool BuiltFor(const detail::WordIndex& index, TADict& dict, TextSearchState& state,
              const MorphLanguage* language) {
  const detail::WordIndexHeader& header = index.Header();
  const FILETIME time = DataTime(dict.DataFilePath());
  return header.rulesFingerprint == detail::WordIndexFingerprint(state.rules, language) &&
         header.entryCount == dict.EntryCount() && CompareFileTime(&header.dataTime, &time) == 0 &&
         header.orderChecksum == state.OrderChecksum(dict);
}

// The reason a word index file could not be written, in words.
std::wstring ReasonOf(const std::wstring& fileName, const EInOutError& e) {
  const DWORD attributes = GetFileAttributesW(fileName.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return L"a folder has that name";
  return ToWide(e.Reason());
}

// The language of the dictionary's meanings, as its holder set it; none until then.
MorphLanguage* MeaningsLanguage(const TADict& dict) {
  return dict.Languages().meanings;
}

// The places of the words that each word of `query` matches, for the index at hand (kept from
// the last call with the same query).
const Expansion& Expand(TextSearchState& state, const std::wstring& query,
                        MorphLanguage* language) {
  Expansion& last = state.last;
  if (last.index == state.index.get() && last.language == language && last.query == query) {
    return last;
  }
  last = Expansion{query, state.index.get(), language, {}};
  for (const detail::QueryWord& word : detail::ParseQuery(state.rules, query))
    last.matched.push_back(detail::MatchedPlaces(*state.index, state.rules, word, language));
  return last;
}

// How much of an entry is read first to rank it; the rest only when that holds no separator.
constexpr int32_t kRankingChars = 1000;

}  // namespace

EWordIndexNotSaved::EWordIndexNotSaved(const std::wstring& fullPath, const std::wstring& reason)
    : Exception(L"The word index \"" + fullPath + L"\" cannot be saved: " + reason +
                L".\r\nSearching inside entries still works, but the word index cannot be kept "
                L"and is built again each time the dictionary is opened.") {}

struct WordIndexBuild::Work {
  std::wstring dataFileName;
  std::wstring indexFileName;
  TIndexList offsets;  // the dictionary's entry order when the build was made
  detail::WordRules rules;
  MorphLanguage* language;
  std::unique_ptr<detail::WordIndex> built;
};

std::wstring WordIndexFileName(const std::wstring& dataFileName) {
  const size_t dot = dataFileName.size() >= 4 ? dataFileName.size() - 4 : std::wstring::npos;
  if (dot != std::wstring::npos && _wcsicmp(dataFileName.c_str() + dot, L".dat") == 0)
    return dataFileName.substr(0, dot) + L".wix";
  return dataFileName + L".wix";
}

std::string WordIndexFileName(const std::string& dataFileName) {
  return ToAnsi(WordIndexFileName(ToWide(dataFileName)));
}

bool WordIndexReady(TADict& dict, MorphLanguage* language) {
  TextSearchState& state = StateOf(dict);
  // An index from before the entry order changed would count one entry and show another.
  if (state.index && !BuiltFor(*state.index, dict, state, language))
    state.SetIndex(nullptr);
  if (!state.index) {
    state.SetIndex(detail::LoadWordIndex(
        WordIndexFileName(dict.DataFilePath()), DataTime(dict.DataFilePath()), dict.EntryCount(),
        state.OrderChecksum(dict), detail::WordIndexFingerprint(state.rules, language)));
  }
  return state.index != nullptr;
}

bool WordIndexReady(TADict& dict) {
  return WordIndexReady(dict, MeaningsLanguage(dict));
}

std::vector<int32_t> FindInText(TADict& dict, const std::wstring& query, int32_t limit,
                                MorphLanguage* language) {
  TextSearchState& state = StateOf(dict);
  if (limit <= 0 || detail::ParseQuery(state.rules, query).empty())
    return {};
  if (!WordIndexReady(dict, language)) {
    WordIndexBuild build(dict, language);
    try {
      build.Run(nullptr);
    } catch (...) {
      build.InstallInto(dict);
      throw;
    }
    build.InstallInto(dict);
  }
  const Expansion& expansion = Expand(state, query, language);
  const int32_t count = dict.EntryCount();
  std::wstring text;
  const detail::EntryTextReader read = [&](int32_t entry) {
    dict.ReadSearchText(entry, kRankingChars, count, text);
    if (text.size() == kRankingChars)
      dict.ReadSearchText(entry, -1, count, text);
    return std::wstring_view(text);
  };
  return detail::RankedEntries(*state.index, state.rules, expansion.matched, read,
                               static_cast<size_t>(limit));
}

std::vector<int32_t> FindInText(TADict& dict, const std::wstring& query, int32_t limit) {
  return FindInText(dict, query, limit, MeaningsLanguage(dict));
}

std::vector<TextSpan> MatchingWords(TADict& dict, const std::wstring& text,
                                    const std::wstring& query, MorphLanguage* language) {
  TextSearchState& state = StateOf(dict);
  const detail::WordRules& rules = state.rules;
  std::unordered_set<std::wstring_view> wanted;
  std::vector<std::wstring> written;
  if (WordIndexReady(dict, language)) {
    for (const std::vector<uint32_t>& places : Expand(state, query, language).matched) {
      for (uint32_t place : places)
        wanted.insert(state.index->WordAt(place));
    }
  } else {
    for (detail::QueryWord& word : detail::ParseQuery(rules, query))
      written.push_back(std::move(word.word));
    wanted.insert(written.begin(), written.end());
  }
  std::vector<TextSpan> spans;
  if (wanted.empty())
    return spans;
  std::wstring word;
  detail::ForEachWord(rules, text.data(), text.size(), word,
                      [&](size_t start, size_t length, const std::wstring& w) {
                        if (wanted.count(w) != 0)
                          spans.push_back({start, length});
                      });
  return spans;
}

std::vector<TextSpan> MatchingWords(TADict& dict, const std::wstring& text,
                                    const std::wstring& query) {
  return MatchingWords(dict, text, query, MeaningsLanguage(dict));
}

WordIndexBuild::WordIndexBuild(TADict& dict) : WordIndexBuild(dict, MeaningsLanguage(dict)) {}

WordIndexBuild::WordIndexBuild(TADict& dict, MorphLanguage* language)
    : work_(std::make_unique<Work>(Work{dict.DataFilePath(), dict.IndexFilePath(),
                                        dict.EntryOffsets(), StateOf(dict).rules, language,
                                        nullptr})) {}

WordIndexBuild::~WordIndexBuild() = default;

bool WordIndexBuild::Run(const Progress& progress) {
  const auto total = static_cast<int32_t>(work_->offsets.size());
  // Once every entry is read, the build goes on only while `progress` agrees to all done.
  const auto goOn = [&] { return !progress || progress(total, total); };
  std::optional<std::vector<uint8_t>> image = detail::BuildWordIndexImage(
      work_->dataFileName, work_->offsets, work_->rules, work_->language, progress);
  if (!image || !goOn())
    return false;
  std::unique_ptr<detail::WordIndex> built = detail::WordIndex::FromImage(std::move(*image));
  if (!built)
    throw Exception("The word index just built does not read back");
  if (!goOn())
    return false;
  // Kept before the file is written, so that a failed write leaves the index usable.
  work_->built = std::move(built);
  const std::wstring fileName = WordIndexFileName(work_->dataFileName);
  bool written = false;
  try {
    written =
        detail::WriteWordIndexFile(fileName, work_->built->Image(), [&](size_t) { return goOn(); });
  } catch (const EInOutError& e) {
    throw EWordIndexNotSaved(ExpandFileName(fileName), ReasonOf(fileName, e));
  }
  if (!written)
    work_->built.reset();
  return written;
}

void WordIndexBuild::InstallInto(TADict& dict) {
  if (!work_->built || dict.DataFilePath() != work_->dataFileName ||
      dict.IndexFilePath() != work_->indexFileName) {
    return;
  }
  TextSearchState& state = StateOf(dict);
  if (BuiltFor(*work_->built, dict, state, work_->language))
    state.SetIndex(std::move(work_->built));
}

}  // namespace lexmora
