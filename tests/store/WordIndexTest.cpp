#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "base/Text.h"
#include "store/TextQuery.h"
#include "store/WordIndex.h"
#include "store/WordIndexBuilder.h"

namespace lexmora {
namespace {

using Entries = std::vector<int32_t>;
using Postings = std::map<std::wstring, Entries>;

// The bytes of a word index holding `postings`, collected entry by entry as a build does.
std::vector<uint8_t> ImageOf(const Postings& postings, int32_t entryCount) {
  std::map<int32_t, std::vector<std::wstring>> wordsOf;
  for (const auto& [word, entries] : postings) {
    for (int32_t entry : entries)
      wordsOf[entry].push_back(word);
  }
  detail::PostingCollector collector;
  for (const auto& [entry, words] : wordsOf) {
    for (const std::wstring& word : words) {
      collector.Add(word, entry);
      collector.Add(word, entry);  // a word met twice in one entry
    }
  }
  detail::WordIndexHeader header;
  header.entryCount = entryCount;
  return *collector.Image(header, {}, [] { return true; });
}

Entries ListOf(const detail::PostingList& list) {
  Entries entries;
  list.ForEach([&](int32_t entry, uint8_t) {
    entries.push_back(entry);
    return true;
  });
  return entries;
}

// Every posting list reads back as it was collected, whatever the distances between its entries
// (one to five 7-bit groups each).
TEST(WordIndex, PostingListsReadBackAsCollected) {
  const int32_t count = INT32_MAX;
  const Postings postings = {
      {L"a", {0}},
      {L"ab", {0, 1, 2, 127, 128, 255, 16383, 16384, 16385}},
      {L"b", {126, 127, 1 << 21, (1 << 21) + 1, 1 << 28, INT32_MAX - 1}},
      {L"\u043A\u044A\u0449\u0430", {5, 40000}},
      {L"z", {INT32_MAX - 1}},
  };
  const auto index = detail::WordIndex::FromImage(ImageOf(postings, count));
  ASSERT_TRUE(index);
  EXPECT_EQ(index->Header().wordCount, postings.size());
  for (const auto& [word, entries] : postings) {
    const std::optional<detail::PostingList> list = index->PostingsOf(word);
    ASSERT_TRUE(list) << ToUtf8(word);
    EXPECT_EQ(list->Count(), entries.size()) << ToUtf8(word);
    EXPECT_EQ(ListOf(*list), entries) << ToUtf8(word);
  }
  for (const wchar_t* absent : {L"", L"aa", L"c", L"\u043A"})
    EXPECT_FALSE(index->PostingsOf(absent)) << ToUtf8(absent);

  const struct {
    std::vector<std::wstring> words;
    int32_t limit;
    Entries want;
  } queries[] = {
      {{L"ab", L"a"}, 10, {0}},
      {{L"ab", L"b"}, 10, {127}},
      {{L"b", L"z"}, 10, {INT32_MAX - 1}},
      {{L"ab"}, 3, {0, 1, 2}},
      {{L"ab", L"ab"}, 4, {0, 1, 2, 127}},
      {{L"ab", L"c"}, 10, {}},
      {{L"ab"}, 0, {}},
      {{}, 10, {}},
  };
  for (const auto& q : queries) {
    std::string what;
    for (const std::wstring& w : q.words)
      what += ToUtf8(w) + " ";
    std::vector<std::vector<uint32_t>> matched;
    for (const std::wstring& w : q.words) {
      matched.emplace_back();
      if (const std::optional<uint32_t> place = index->PlaceOf(w))
        matched.back().push_back(*place);
    }
    // Postings without flags rank nothing: no entry text is needed, the order is the entries'.
    const detail::EntryTextReader noText = [](int32_t entry) {
      ADD_FAILURE() << "entry " << entry << " read";
      return std::wstring_view();
    };
    EXPECT_EQ(detail::RankedEntries(*index, detail::WordRules{}, matched, noText,
                                    static_cast<size_t>(q.limit)),
              q.want)
        << what << "limit " << q.limit;
  }
}

// Tables out of order under checksums that match: refused all the same.
TEST(WordIndex, TablesOutOfOrderAreRefused) {
  const std::vector<uint8_t> sound =
      ImageOf({{L"alpha", {0, 2}}, {L"beta", {0, 1}}, {L"delta", {2}}, {L"gamma", {1, 2}}}, 3);
  std::vector<uint8_t> unordered = sound;
  const size_t poolAt =
      detail::LayoutOf(*detail::ParseHeader(sound.data(), sound.size()), sound.size())->pool;
  std::swap(unordered[poolAt], unordered[poolAt + 10]);  // "alpha" becomes "blpha"...
  auto header = detail::ParseHeader(unordered.data(), unordered.size());
  ASSERT_TRUE(header);
  ASSERT_EQ(header->wordCount, 4u);
  header->bodyChecksum = detail::Checksum(unordered.data() + detail::kHeaderSize,
                                          unordered.size() - detail::kHeaderSize);
  const std::vector<uint8_t> head = detail::HeaderBytes(*header);
  std::copy(head.begin(), head.end(), unordered.begin());
  EXPECT_TRUE(detail::WordIndex::FromImage(sound));
  EXPECT_FALSE(detail::WordIndex::FromImage(unordered));
}

// The bytes of `image` with its checksums made right again, as a damaged index could have them.
std::vector<uint8_t> Resealed(std::vector<uint8_t> image) {
  const auto header = detail::ParseHeader(image.data(), image.size());
  if (!header)
    return image;
  detail::WordIndexHeader fixed = *header;
  fixed.bodyChecksum =
      detail::Checksum(image.data() + detail::kHeaderSize, image.size() - detail::kHeaderSize);
  const std::vector<uint8_t> head = detail::HeaderBytes(fixed);
  std::copy(head.begin(), head.end(), image.begin());
  return image;
}

// Where each word stands in an entry (the flags of every time it was met there) and the words of
// each dictionary form read back as they were collected; tables of forms that name no word, or
// whose dictionary forms are out of order, are refused.
TEST(WordIndex, FlagsAndFormsReadBackAsCollected) {
  detail::PostingCollector collector;
  collector.Add(L"\u0434\u043E\u043C", 0, detail::kAloneAsSense);  // дом
  collector.Add(L"\u0434\u043E\u043C", 0, detail::kInHeadword);
  const uint32_t doma = collector.Add(L"\u0434\u043E\u043C\u0430", 1, detail::kInShortSense);
  const uint32_t domove =
      collector.Add(L"\u0434\u043E\u043C\u043E\u0432\u0435", 1, detail::kAloneAsSense);
  collector.Add(L"\u0434\u043E\u043C", 2, 0);
  const uint32_t house = collector.Add(L"\u043A\u044A\u0449\u0430", 2, detail::kInShortSense);
  collector.Add(L"\u043A\u044A\u0449\u0430", 2, detail::kAloneAsSense);
  // Dictionary forms: "дом" of "дома" and "домове" (one link twice), "бъда" of "къща".
  const detail::FormLinks forms = {{L"\u0434\u043E\u043C", L"\u0431\u044A\u0434\u0430"},
                                   {{0, doma}, {0, domove}, {0, doma}, {1, house}}};
  detail::WordIndexHeader header;
  header.entryCount = 3;
  const std::vector<uint8_t> image = *collector.Image(header, forms, [] { return true; });
  const auto index = detail::WordIndex::FromImage(image);
  ASSERT_TRUE(index);

  using Posting = std::pair<int32_t, int>;
  const auto postingsOf = [&](const wchar_t* word) {
    std::vector<Posting> got;
    index->PostingsOf(word)->ForEach([&](int32_t entry, uint8_t flags) {
      got.emplace_back(entry, flags);
      return true;
    });
    return got;
  };
  EXPECT_EQ(postingsOf(L"\u0434\u043E\u043C"),
            (std::vector<Posting>{{0, detail::kAloneAsSense | detail::kInHeadword}, {2, 0}}));
  EXPECT_EQ(postingsOf(L"\u043A\u044A\u0449\u0430"),
            (std::vector<Posting>{{2, detail::kInShortSense | detail::kAloneAsSense}}));

  // The word table is in order: дом, дома, домове, къща.
  EXPECT_EQ(index->FormsOf(L"\u0434\u043E\u043C"), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(index->FormsOf(L"\u0431\u044A\u0434\u0430"), (std::vector<uint32_t>{3}));
  EXPECT_EQ(index->WordAt(3), L"\u043A\u044A\u0449\u0430");
  for (const wchar_t* none : {L"", L"\u0434\u043E\u043C\u0430", L"\u043A\u044A\u0449\u0430"})
    EXPECT_TRUE(index->FormsOf(none).empty()) << ToUtf8(none);

  const detail::WordIndexLayout layout =
      *detail::LayoutOf(*detail::ParseHeader(image.data(), image.size()), image.size());
  std::vector<uint8_t> noSuchWord = image;
  detail::StoreAt(noSuchWord.data() + layout.forms, 0, uint32_t{4});  // past the last word
  std::vector<uint8_t> unordered = image;
  // "бъда", "дом" become "дъда", "бом".
  std::swap(unordered[layout.lemmaPool], unordered[layout.lemmaPool + 8]);
  EXPECT_TRUE(detail::WordIndex::FromImage(Resealed(image)));
  EXPECT_FALSE(detail::WordIndex::FromImage(Resealed(noSuchWord)));
  EXPECT_FALSE(detail::WordIndex::FromImage(Resealed(unordered)));
}

}  // namespace
}  // namespace lexmora
