// The parts of an entry that rank the matches of a search inside the entries, as real entries
// write them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "base/Text.h"
#include "store/EntryParts.h"

namespace lexmora {
namespace {

// The parts of `text` as "H:words", "S:words" and "A:words", in the order they are reported.
std::vector<std::string> PartsOf(const detail::WordRules& rules, const std::wstring& text) {
  std::vector<std::string> parts;
  std::wstring word;
  detail::PartWords sense, aside;
  detail::ForEachPart(rules, text.data(), text.size(), word, sense, aside,
                      [&](detail::PartKind kind, const detail::PartWords& part) {
                        std::string shown = kind == detail::PartKind::Headword ? "H:"
                                            : kind == detail::PartKind::Sense  ? "S:"
                                                                               : "A:";
                        for (size_t k = 0; k < part.Size(); ++k) {
                          if (k > 0)
                            shown += ' ';
                          shown += ToUtf8(part.Word(k));
                          // The texts here are in lower case: a word stands where it is.
                          EXPECT_EQ(ToUtf8(text.substr(part.Start(k), part.Length(k))),
                                    ToUtf8(part.Word(k)));
                        }
                        parts.push_back(shown);
                      });
  return parts;
}

TEST(EntryParts, SensesStandBetweenSeparatorsAndAsidesApart) {
  test::TempDir dir;
  test::WriteBytes(dir.File("p.dat"), test::DictBytes({L"x"}, L"Title\r\n"));
  TADict dict(dir.File("p.dat"), dir.File("p.ind"), false, false, false);
  const detail::WordRules rules = detail::MakeWordRules(dict);
  const struct {
    std::wstring text;
    std::vector<std::string> parts;
  } cases[] = {
      {L"house, home\r\nкъща, дом; жилище", {"H:house home", "S:къща", "S:дом", "S:жилище"}},
      {L"home\r\n/həʊm/ <n>\r\n1. дом 2. родина\r\nwhere one lives",
       {"H:home", "S:həʊm n", "A:1", "S:дом", "A:2", "S:родина", "S:where one lives"}},
      {L"mode\r\n4. мода 2.\r\n3.", {"H:mode", "A:4", "S:мода", "A:2", "A:3"}},
      {L"give up\r\nотказвам (се от), предавам се",
       {"H:give up", "A:се от", "S:отказвам", "S:предавам се"}},
      {L"x\r\nдом (сграда) голям", {"H:x", "A:сграда", "S:дом голям"}},
      {L"x\r\n(a (b) c), d", {"H:x", "A:a b c", "S:d"}},
      {L"x\r\nверсия 2.0, нова", {"H:x", "S:версия 2 0", "S:нова"}},
      {L"x\r\nb\r\n(c", {"H:x", "S:b", "A:c"}},  // a parenthesis left open ends with its line
      {L"x\r\n,,;\r\n\r\n  y  ", {"H:x", "S:y"}},
      {L"one, two; three", {"H:one two three"}},  // the headword's line is not split
      {L"", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PartsOf(rules, c.text), c.parts) << ToUtf8(c.text);
}

}  // namespace
}  // namespace lexmora
