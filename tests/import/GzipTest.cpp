// gzip and dictzip files as the importer reads them: intact ones whole, damaged ones refused.
#include <gtest/gtest.h>

#include "ImportTestSupport.h"
#include "import/Import.h"
#include "import/SourceFiles.h"

namespace lexmora::test {
namespace {

std::string SampleText(size_t bytes) {
  std::string text;
  for (int i = 0; text.size() < bytes; ++i)
    text += "line " + std::to_string(i * 7919 % 10007) + " of the sample\n";
  text.resize(bytes);
  return text;
}

TEST(Gunzip, ReadsWholeFiles) {
  const std::string text = SampleText(5000);
  size_t chunks = 0;
  const std::string dictzip = Dictzip(text, 1000, &chunks);
  ASSERT_EQ(chunks, 5u);
  struct Case {
    const char* name;
    std::string file;
    std::string wanted;
  };
  const Case cases[] = {
      {"gzip", Gzip(text), text},
      {"gzip with a file name", Gzip(text, "sample.txt"), text},
      {"empty gzip", Gzip(""), ""},
      {"dictzip of five chunks", dictzip, text},
      {"dictzip of one short chunk", Dictzip("short", 1000), "short"},
      {"dictzip closed after its last chunk", Dictzip(text, 1000, nullptr, true), text},
      {"two members", Gzip("first ") + Gzip("second"), "first second"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(import::Gunzip(c.file, L"f.gz"), c.wanted) << c.name;
}

TEST(Gunzip, RefusesDamagedFiles) {
  const std::string text = SampleText(5000);
  const std::string dictzip = Dictzip(text, 1000);
  const size_t tableAt =
      10 + 2 + 4 + 6;  // chunk sizes after header, XLEN, "RA" LEN, VER CHLEN CHCNT
  auto changed = [](std::string s, size_t at, char value) {
    s[at] = value;
    return s;
  };
  struct Case {
    const char* name;
    std::string file;
    std::string wanted;  // after "f.dz: "
  };
  const Case cases[] = {
      {"cut in the data", dictzip.substr(0, dictzip.size() / 2),
       "the file is truncated: its compressed data ends early"},
      {"cut in the trailer", dictzip.substr(0, dictzip.size() - 3),
       "the file is truncated: its gzip trailer is missing"},
      {"cut in the header", dictzip.substr(0, 20),
       "the file is truncated: its gzip header is incomplete"},
      {"too short", dictzip.substr(0, 8), "the file is too short for a gzip file"},
      {"not gzip", std::string(40, 'x'), "not a gzip or dictzip file"},
      {"checksum",
       changed(dictzip, dictzip.size() - 8, static_cast<char>(dictzip[dictzip.size() - 8] ^ 1)),
       "the data does not match its CRC-32 checksum: the file is damaged"},
      {"length",
       changed(dictzip, dictzip.size() - 4, static_cast<char>(dictzip[dictzip.size() - 4] ^ 1)),
       "the data does not match its recorded length: the file is damaged"},
      {"chunk table", changed(dictzip, tableAt, static_cast<char>(dictzip[tableAt] + 1)),
       "the dictzip chunk table (5 chunks of 1000 bytes, "},
      {"chunk table short of the data",
       changed(dictzip, tableAt + 1, static_cast<char>(dictzip[tableAt + 1] - 1)),
       "the dictzip chunk table (5 chunks of 1000 bytes, "},
      {"chunk length", changed(dictzip, 10 + 2 + 4 + 2, static_cast<char>(0x10)),
       "the dictzip chunk table (5 chunks of 784 bytes, "},
      {"data after the end", dictzip + "garbage",
       "unexpected data after the end of the compressed data"},
  };
  for (const Case& c : cases) {
    try {
      import::Gunzip(c.file, L"f.dz");
      ADD_FAILURE() << c.name << ": no error";
    } catch (const import::EImportError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, 6 + c.wanted.size()), "f.dz: " + c.wanted)
          << c.name;
    }
  }
}

}  // namespace
}  // namespace lexmora::test
