// The size limit of the dictionary file, counted while the sources are read.
#include <gtest/gtest.h>

#include <functional>

#include "ImportTestSupport.h"
#include "TestFiles.h"
#include "base/Text.h"

namespace lexmora::test {
namespace {

std::string Numbered(const char* prefix, int i) {
  char name[16];
  std::snprintf(name, sizeof name, "%s%03d", prefix, i);
  return name;
}

// Sources whose entries repeat one long text are refused as soon as the entries read pass the
// limit, before the sources have been read whole; nothing is written.
TEST(OutputLimit, SourcesRepeatingOneLongTextAreRefusedAsSoonAsTheyPassIt) {
  const std::string text(2000, 'x');
  // The file starts with a byte-order mark and the CR LF after its title: 6 bytes. An entry of
  // a four-letter headword and the text is 4 + 2 + 2000 units and its separator: 4014 bytes;
  // a synonym's repeats the headword it stands for: 4026 bytes.
  const struct {
    const char* name;
    std::function<std::string(const TempDir&)> write;
    int64_t limit, refusedAt;
  } cases[] = {
      {"dictd: 100 headwords at one definition",
       [&](const TempDir& dir) {
         std::string index;
         for (int i = 0; i < 100; ++i)
           index += Numbered("w", i) + "\tA\t" + Base64Number(text.size()) + "\n";
         WriteFile(dir.File("d.index"), index);
         WriteFile(dir.File("d.dict"), text);
         return dir.File("d.index");
       },
       6 + 4014 * 10 + 1, 6 + 4014 * 11},
      {"StarDict: 100 synonyms of one entry",
       [&](const TempDir& dir) {
         StarDictSource source;
         source.sameTypeSequence = "m";
         source.entries = {{"base", text}};
         for (int i = 0; i < 100; ++i)
           source.synonyms.emplace_back(Numbered("s", i), 0);
         return WriteStarDict(dir.File("d"), source);
       },
       6 + 4014 + 4026 * 10 + 1, 6 + 4014 + 4026 * 11},
      {"tab-separated: 100 lines",
       [&](const TempDir& dir) {
         std::string lines;
         for (int i = 0; i < 100; ++i)
           lines += Numbered("w", i) + "\t" + text + "\n";
         WriteFile(dir.File("d.txt"), lines);
         return dir.File("d.txt");
       },
       6 + 4014 * 10 + 1, 6 + 4014 * 11},
  };
  for (const auto& c : cases) {
    TempDir dir;
    import::ImportOptions options;
    options.sources = {ToWide(c.write(dir))};
    options.output = ToWide(dir.File("out.dat"));
    options.maxOutputBytes = c.limit;
    const std::vector<std::string> before = FilesIn(dir.Path());
    try {
      import::ImportDictionary(options);
      ADD_FAILURE() << c.name << ": not refused";
    } catch (const import::EImportError& e) {
      EXPECT_EQ(std::string(e.what()),
                Format("The dictionary would be at least %lld bytes; dictionary files must be "
                       "smaller than %lld bytes. Import fewer sources into one file.",
                       static_cast<long long>(c.refusedAt), static_cast<long long>(c.limit)))
          << c.name;
    }
    EXPECT_EQ(FilesIn(dir.Path()), before) << c.name;
  }
}

}  // namespace
}  // namespace lexmora::test
