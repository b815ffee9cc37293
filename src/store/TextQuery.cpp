#include "store/TextQuery.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "morph/Morphology.h"
#include "store/EntryParts.h"

namespace lexmora::detail {

namespace {

bool IsQuote(wchar_t c) {
  switch (c) {
    case L'"':
    case 0x201C:  // “
    case 0x201D:  // ”
    case 0x201E:  // „
    case 0x00AB:  // «
    case 0x00BB:  // »
      return true;
    default:
      return false;
  }
}

// An entry among the matches, with the PostingFlags that rank it.
struct Hit {
  int32_t entry;
  uint8_t flags;
};

// The entries of the words at `places`, ascending, each once with the flags of all of them.
std::vector<Hit> UnionOf(const WordIndex& index, const std::vector<uint32_t>& places) {
  std::vector<Hit> hits;
  size_t total = 0;
  for (uint32_t place : places)
    total += index.PostingsAt(place).Count();
  hits.reserve(total);
  for (uint32_t place : places) {
    index.PostingsAt(place).ForEach([&](int32_t entry, uint8_t flags) {
      hits.push_back({entry, flags});
      return true;
    });
  }
  if (places.size() < 2)
    return hits;
  std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.entry < b.entry; });
  size_t kept = 0;
  for (size_t k = 0; k < hits.size(); ++k) {
    if (kept > 0 && hits[kept - 1].entry == hits[k].entry) {
      hits[kept - 1].flags |= hits[k].flags;
    } else {
      hits[kept++] = hits[k];
    }
  }
  hits.resize(kept);
  return hits;
}

// Keeps those of `hits` that a word at `places` is in too, with the flags both words have there.
void KeepThoseAlsoOf(const WordIndex& index, const std::vector<uint32_t>& places,
                     std::vector<Hit>& hits) {
  constexpr uint8_t kFound = 0x80;
  std::vector<uint8_t> found(hits.size(), 0);
  for (uint32_t place : places) {
    size_t i = 0;
    index.PostingsAt(place).ForEach([&](int32_t entry, uint8_t flags) {
      while (i < hits.size() && hits[i].entry < entry)
        ++i;
      if (i == hits.size())
        return false;
      if (hits[i].entry == entry)
        found[i] |= static_cast<uint8_t>(kFound | flags);
      return true;
    });
  }
  size_t kept = 0;
  for (size_t k = 0; k < hits.size(); ++k) {
    if ((found[k] & kFound) != 0)
      hits[kept++] = {hits[k].entry, static_cast<uint8_t>(hits[k].flags & found[k])};
  }
  hits.resize(kept);
}

// Whether a sense of an entry holds just the query words: as many words as they are, each a
// word that one of them matches, and each of them matched.
class WholeSenseCheck {
 public:
  WholeSenseCheck(const WordIndex& index, const WordRules& rules,
                  const std::vector<std::vector<uint32_t>>& matched)
      : rules_(rules), matched_(matched.size()) {
    for (size_t k = 0; k < matched.size(); ++k) {
      for (uint32_t place : matched[k])
        matched_[k].insert(index.WordAt(place));
    }
  }

  bool InText(std::wstring_view text) {
    bool whole = false;
    ForEachPart(rules_, text.data(), text.size(), word_, sense_, aside_,
                [&](PartKind kind, const PartWords& part) {
                  if (!whole && kind == PartKind::Sense && part.Size() == matched_.size())
                    whole = HoldsAll(part);
                });
    return whole;
  }

 private:
  bool HoldsAll(const PartWords& part) const {
    std::vector<bool> covered(matched_.size(), false);
    for (size_t w = 0; w < part.Size(); ++w) {
      bool any = false;
      for (size_t k = 0; k < matched_.size(); ++k) {
        if (matched_[k].count(part.Word(w)) != 0) {
          covered[k] = true;
          any = true;
        }
      }
      if (!any)
        return false;
    }
    return std::find(covered.begin(), covered.end(), false) == covered.end();
  }

  const WordRules& rules_;
  std::vector<std::unordered_set<std::wstring_view>> matched_;
  std::wstring word_;
  PartWords sense_, aside_;
};

}  // namespace

std::vector<QueryWord> ParseQuery(const WordRules& rules, const std::wstring& query) {
  std::vector<QueryWord> words;
  std::unordered_set<std::wstring> seen;
  std::wstring word;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i <= query.size(); ++i) {
    if (i < query.size() && !IsQuote(query[i]))
      continue;
    ForEachWord(
        rules, query.data() + start, i - start, word,
        [&](size_t at, size_t length, const std::wstring& w) {
          if (seen.insert(w + (quoted ? L'"' : L' ')).second) {
            words.push_back({w, SpellingOf(rules, query.data() + start, at, length), quoted});
          }
        });
    quoted = !quoted;
    start = i + 1;
  }
  return words;
}

std::vector<uint32_t> MatchedPlaces(const WordIndex& index, const WordRules& rules,
                                    const QueryWord& word, MorphLanguage* language) {
  std::vector<std::wstring> lemmas = {word.word};
  if (!word.exact && language != nullptr) {
    for (const std::wstring& stem : language->Stems(word.spelling)) {
      std::wstring lemma = FoldedWord(rules, stem);
      if (std::find(lemmas.begin(), lemmas.end(), lemma) == lemmas.end())
        lemmas.push_back(std::move(lemma));
    }
  }
  std::vector<uint32_t> places;
  for (size_t k = 0; k < lemmas.size(); ++k) {
    if (const std::optional<uint32_t> place = index.PlaceOf(lemmas[k]))
      places.push_back(*place);
    if (!word.exact) {
      const std::vector<uint32_t> forms = index.FormsOf(lemmas[k]);
      places.insert(places.end(), forms.begin(), forms.end());
    }
  }
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  return places;
}

std::vector<int32_t> RankedEntries(const WordIndex& index, const WordRules& rules,
                                   const std::vector<std::vector<uint32_t>>& matched,
                                   const EntryTextReader& text, size_t limit) {
  if (limit == 0)
    return {};
  // The rarest word first: the entries only get fewer from there.
  std::vector<std::pair<size_t, size_t>> byCount;  // (entries, query word)
  for (size_t k = 0; k < matched.size(); ++k) {
    size_t count = 0;
    for (uint32_t place : matched[k])
      count += index.PostingsAt(place).Count();
    if (count == 0)
      return {};
    byCount.emplace_back(count, k);
  }
  if (byCount.empty())
    return {};
  std::sort(byCount.begin(), byCount.end());
  std::vector<Hit> hits = UnionOf(index, matched[byCount[0].second]);
  for (size_t k = 1; k < byCount.size() && !hits.empty(); ++k)
    KeepThoseAlsoOf(index, matched[byCount[k].second], hits);

  const bool oneWord = matched.size() == 1;
  const bool senseOfSeveral = !oneWord && matched.size() <= kShortSenseWords;
  std::optional<WholeSenseCheck> check;
  std::vector<uint8_t> group(hits.size(), 3);
  size_t inFirst = 0;
  for (size_t k = 0; k < hits.size(); ++k) {
    const uint8_t flags = hits[k].flags;
    bool whole = oneWord && (flags & kAloneAsSense) != 0;
    // Once the first group fills the limit, the rest cannot be shown.
    if (senseOfSeveral && (flags & kInShortSense) != 0 && inFirst < limit) {
      if (!check)
        check.emplace(index, rules, matched);
      whole = check->InText(text(hits[k].entry));
    }
    if (whole) {
      group[k] = 1;
      ++inFirst;
    } else if ((flags & kInHeadword) != 0) {
      group[k] = 2;
    }
  }
  std::vector<int32_t> ranked;
  ranked.reserve(std::min(limit, hits.size()));
  for (uint8_t g = 1; g <= 3; ++g) {
    for (size_t k = 0; k < hits.size() && ranked.size() < limit; ++k) {
      if (group[k] == g)
        ranked.push_back(hits[k].entry);
    }
  }
  return ranked;
}

}  // namespace lexmora::detail
