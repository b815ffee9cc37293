// The tool bar and its image list under a real display.
#include <gtest/gtest.h>
#include <windows.h>

#include "GdiObjects.h"
#include "TestLayout.h"
#include "base/Errors.h"
#include "ui/ToolBar.h"

namespace lexmora {
namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(TImageList, AddingAStripResourceLeavesNoGdiObjectBehind) {
  // The count must see a single bitmap, or the rows below could not fail.
  const int empty = test::GdiObjectCount();
  HBITMAP probe = CreateBitmap(4, 4, 1, 32, nullptr);
  ASSERT_EQ(test::GdiObjectCount(), empty + 1) << "the GDI object count does not see a bitmap";
  DeleteObject(probe);

  const struct {
    const char* name;
    bool created;
    int bitmapId;
    bool throws;
    int images;
  } cases[] = {
      {"a created list takes the strip's images", true, IDB_TESTSTRIP, false, 6},
      {"a list never created refuses them", false, IDB_TESTSTRIP, true, 0},
      {"a missing resource adds nothing", true, IDB_TESTSTRIP + 1, false, 0},
  };
  for (const auto& c : cases) {
    const int before = test::GdiObjectCount();
    {
      TImageList list;
      if (c.created)
        list.Create(16, 16);
      bool threw = false;
      try {
        list.AddStripResource(c.bitmapId, kMagenta);
      } catch (const Exception&) {
        threw = true;
      }
      EXPECT_EQ(threw, c.throws) << c.name;
      EXPECT_EQ(list.Count(), c.images) << c.name;
    }
    EXPECT_EQ(test::GdiObjectCount(), before) << c.name << ": GDI objects left behind";
  }
}

}  // namespace
}  // namespace lexmora
