#pragma once
// Counting the GDI objects a test leaves behind.
namespace lexmora::test {

// The number of GDI objects this process holds. Where GetGuiResources answers nothing (Wine
// does not implement it), the count is of the entries in use in the process's GDI handle
// table, which the process environment block points to.
int GdiObjectCount();

}  // namespace lexmora::test
