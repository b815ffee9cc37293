#include <gtest/gtest.h>

#include "TestFiles.h"
#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "store/WordIndexWriter.h"

namespace lexmora {
namespace {

using test::Bytes;

TEST(WordIndexWriter, AFailedOrAbandonedWriteLeavesTheEarlierFileAndNoOther) {
  test::TempDir dir;
  const std::string wix = dir.File("d.wix");
  const Bytes before = {9, 8, 7};
  test::WriteBytes(wix, before);
  const Bytes image(100, 0x42);
  for (const bool fail : {true, false}) {
    const std::string leftover = wix + ".99-99.tmp";  // as a killed write would leave it
    test::WriteBytes(leftover, {1, 2, 3});
    int pieces = 0;
    const auto third = [&](size_t) {
      if (++pieces < 3)
        return true;
      if (fail)
        throw EInOutError(io_error::kDiskFull);
      return false;
    };
    if (fail) {
      EXPECT_THROW(detail::WriteWordIndexFile(ToWide(wix), image, third, 16), EInOutError);
    } else {
      EXPECT_FALSE(detail::WriteWordIndexFile(ToWide(wix), image, third, 16));
    }
    EXPECT_EQ(pieces, 3) << "failed " << fail;
    EXPECT_EQ(test::ReadBytes(wix), before) << "failed " << fail;
    WIN32_FIND_DATAA found;
    FindHandle others(FindFirstFileA((wix + ".*.tmp").c_str(), &found));
    EXPECT_FALSE(others) << "failed " << fail << ", left behind: " << found.cFileName;
  }
  EXPECT_TRUE(detail::WriteWordIndexFile(ToWide(wix), image, nullptr, 16));
  EXPECT_EQ(test::ReadBytes(wix), image);
}

}  // namespace
}  // namespace lexmora
