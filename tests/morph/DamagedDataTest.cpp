// Damaged dictionary files switch their language off with a reason, and never crash, hang or
// give forms the sound files do not give.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

#include "MorphTestSupport.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "morph/Morphology.h"

namespace lexmora {
namespace {

using test::Joined;
using namespace std::string_literals;

struct Pair {
  std::string affix, words, forms;  // forms: the .exc, or empty for none
};

Pair ShippedPair(const std::wstring& name) {
  Pair pair{test::ReadShipped(name + L".aff"), test::ReadShipped(name + L".dic"), ""};
  if (name == L"en_US")
    pair.forms = test::ReadShipped(L"en_US.exc");
  return pair;
}

// Writes the pair's files that are not "missing" as <name>.aff, .dic, .exc.
void WritePair(const std::wstring& folder, const std::wstring& name, const Pair& pair) {
  const std::pair<const std::string*, const wchar_t*> files[] = {
      {&pair.affix, L".aff"}, {&pair.words, L".dic"}, {&pair.forms, L".exc"}};
  for (const auto& [bytes, extension] : files) {
    const std::wstring path = folder + name + extension;
    DeleteFileW(path.c_str());
    if (*bytes != "missing" && !(extension == std::wstring(L".exc") && bytes->empty()))
      test::WriteText(path, *bytes);
  }
}

std::string CutAtLine(const std::string& text, size_t line) {
  size_t end = 0;
  for (size_t i = 0; i < line; ++i)
    end = text.find('\n', end) + 1;
  return text.substr(0, end);
}

struct DamageCase {
  const char* what;
  std::function<void(Pair&)> damage;
  std::wstring reason;  // the whole reason, or its end after "..."
};

TEST(DamagedDataTest, DamagedFilesSwitchTheLanguageOffWithAReason) {
  const Pair sound = ShippedPair(L"en_US");
  const std::vector<DamageCase> cases = {
      {"no .aff", [](Pair& p) { p.affix = "missing"; }, L"en_US.aff is missing."},
      {"no .dic", [](Pair& p) { p.words = "missing"; }, L"en_US.dic is missing."},
      {"empty .aff", [](Pair& p) { p.affix.clear(); }, L"en_US.aff is empty."},
      {"empty .dic", [](Pair& p) { p.words.clear(); }, L"en_US.dic is empty."},
      {".aff cut in a line", [](Pair& p) { p.affix.resize(p.affix.size() - 3); },
       L"en_US.aff ends in the middle of a line: it was cut short."},
      {".aff cut in a table", [](Pair& p) { p.affix = CutAtLine(p.affix, 100); },
       L"...SFX P announces 3 lines, but the file ends after 1."},
      {".dic cut at a line", [](Pair& p) { p.words = CutAtLine(p.words, 40000); },
       L"en_US.dic holds 39999 words where its first line announces 79013: it was cut short."},
      {".exc cut in a line", [](Pair& p) { p.forms.resize(p.forms.size() / 2); },
       L"en_US.exc ends in the middle of a line: it was cut short."},
      {"binary .dic",
       [](Pair& p) {
         p.words =
             "79013\n\x7f"
             "ELF\x02\x01\x01\x00\x00\n"s;
       },
       L"en_US.dic is damaged on line 2: it holds a control character, which no text has."},
      {"not UTF-8", [](Pair& p) { p.words.replace(8, 2, "\xC0\xAF"); },
       L"en_US.dic is damaged on line 2: it is not text in its encoding (code page 65001)."},
      {"table without a count",
       [](Pair& p) { p.affix.replace(p.affix.find("SFX N Y 3"), 9, "SFX N Y x"); },
       L"...SFX N gives no count of its lines."},
      {"huge count in a table",
       [](Pair& p) { p.affix.replace(p.affix.find("SFX N Y 3"), 9, "SFX N Y 999999999"); },
       L"...SFX N announces 999999999 lines, but the file ends after 161."},
      {"huge word count", [](Pair& p) { p.words.replace(0, 5, "2000000000"); },
       L"en_US.dic holds 79013 words where its first line announces 2000000000: it was cut short."},
      {"no word count", [](Pair& p) { p.words.replace(0, 5, "words"); },
       L"en_US.dic does not start with its number of words."},
      {"unknown encoding", [](Pair& p) { p.affix = "SET EBCDIC\n" + p.affix; },
       L"en_US.aff declares the encoding \"EBCDIC\", which cannot be read here."},
      {"words Hunspell never takes alone",
       [](Pair& p) {
         p.affix = "SET UTF-8\nFORBIDDENWORD X\n";
         p.words = "2\nfoo/X\nbar/X\n";
       },
       L"Hunspell knows none of the first words of en_US.dic."},
  };
  test::TempDir dir;
  const std::wstring folder = ToWide(dir.Path());
  for (const DamageCase& c : cases) {
    Pair pair = sound;
    c.damage(pair);
    WritePair(folder, L"en_US", pair);
    MorphLanguage language(folder, L"en_US");
    EXPECT_TRUE(language.Stems(L"boxes").empty()) << c.what;
    EXPECT_EQ(language.State(), MorphState::Off) << c.what;
    const std::wstring reason = language.OffReason();
    if (c.reason.rfind(L"...", 0) == 0) {
      EXPECT_TRUE(reason.size() >= c.reason.size() - 3 &&
                  reason.compare(reason.size() - (c.reason.size() - 3), std::wstring::npos,
                                 c.reason, 3) == 0)
          << c.what << ": " << ToUtf8(reason);
    } else {
      EXPECT_EQ(ToUtf8(reason), ToUtf8(c.reason)) << c.what;
    }
  }
}

TEST(DamagedDataTest, HugeWordListIsNotRead) {
  test::TempDir dir;
  const std::wstring folder = ToWide(dir.Path());
  WritePair(folder, L"en_US", ShippedPair(L"en_US"));
  FileHandle file(CreateFileW((folder + L"en_US.dic").c_str(), GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file);
  LARGE_INTEGER end;
  end.QuadPart = (64 << 20) + 1;
  ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get()));
  file.Reset();
  MorphLanguage language(folder, L"en_US");
  language.Load();
  EXPECT_EQ(ToUtf8(language.OffReason()), "en_US.dic is larger than 64 MiB.");
}

// Damaged copies of the shipped files, made at random with a fixed seed. A copy may still load;
// then it answers without a crash, and a copy cut short gives no stem the sound files do not.
// LEXMORA_MORPH_FUZZ_ROUNDS sets the number of rounds (scripts/stress.sh runs many more).
TEST(DamagedDataTest, RandomlyDamagedCopies) {
  const char* roundsText = std::getenv("LEXMORA_MORPH_FUZZ_ROUNDS");
  const int rounds = roundsText ? std::atoi(roundsText) : 24;
  const std::vector<std::wstring> names = {L"en_US", L"bg_BG"};
  const std::vector<std::vector<std::wstring>> probes = {
      {L"boxes", L"went", L"children", L"houses", L"better", L"walked", L"cities"},
      {L"къщата", L"четох", L"градовете", L"книги", L"хубава", L"пиша"}};
  Morphology shipped(test::ShippedMorphology());
  test::TempDir dir;
  const std::wstring folder = ToWide(dir.Path());
  std::mt19937 random(20240601);
  const auto below = [&](size_t n) { return n == 0 ? 0 : random() % n; };
  int off = 0;
  for (int round = 0; round < rounds; ++round) {
    const size_t which = static_cast<size_t>(round) % names.size();
    Pair pair = ShippedPair(names[which]);
    std::string* file[] = {&pair.affix, &pair.words, &pair.forms};
    std::string& bytes = *file[below(pair.forms.empty() ? 2 : 3)];
    const int kind = static_cast<int>(below(6));
    const size_t at = below(bytes.size());
    const size_t length = 1 + below(std::min<size_t>(4096, bytes.size() - at));
    switch (kind) {
      case 0:  // cut anywhere
        bytes.resize(at);
        break;
      case 1:  // cut after a line
        bytes.resize(bytes.find('\n', at) + 1);
        break;
      case 2:  // bytes overwritten
        for (size_t i = 0; i < 1 + below(16); ++i)
          bytes[below(bytes.size())] = static_cast<char>(random());
        break;
      case 3: {  // garbage put in
        std::string garbage(length, '\0');
        for (char& c : garbage)
          c = static_cast<char>(random());
        bytes.insert(at, garbage);
        break;
      }
      case 4:  // a stretch taken out
        bytes.erase(at, length);
        break;
      default:  // a stretch written twice
        bytes.insert(below(bytes.size()), bytes.substr(at, length));
        break;
    }
    const std::string damage = "round " + std::to_string(round) + ", kind " + std::to_string(kind) +
                               " at " + std::to_string(at);
    WritePair(folder, names[which], pair);
    MorphLanguage language(folder, names[which]);
    language.Load();
    if (language.State() == MorphState::Off) {
      ++off;
      EXPECT_EQ(language.OffReason().rfind(names[which] + L".", 0), 0u)
          << damage << ": " << ToUtf8(language.OffReason());
      continue;
    }
    ASSERT_EQ(language.State(), MorphState::Ready) << damage;
    for (const std::wstring& word : probes[which]) {
      const std::vector<std::wstring> stems = language.Stems(word);
      language.Knows(word);
      if (kind > 1)
        continue;
      const std::vector<std::wstring> sound = shipped.Find(names[which])->Stems(word);
      for (const std::wstring& stem : stems) {
        EXPECT_NE(std::find(sound.begin(), sound.end(), stem), sound.end())
            << damage << ": " << ToUtf8(word) << " gives " << Joined(stems) << ", sound "
            << Joined(sound);
      }
    }
    language.Suggest(probes[which][0] + L"x", 3);
  }
  EXPECT_GT(off, 0);
}

}  // namespace
}  // namespace lexmora
