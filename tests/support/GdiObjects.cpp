#include "GdiObjects.h"

#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>

namespace lexmora::test {

namespace {

// One entry of the GDI handle table; a type of 0 marks a free entry.
struct GdiHandleEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userData;
};
static_assert(sizeof(GdiHandleEntry) == 24);
static_assert(sizeof(void*) == 8, "the table's place in the PEB is that of 64-bit processes");

constexpr size_t kPebGdiHandleTable = 0xF8;
constexpr size_t kGdiHandleTableEntries = 0x10000;

int CountTableEntries() {
  PROCESS_BASIC_INFORMATION info{};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info,
                                nullptr) != 0) {
    return -1;
  }
  const auto* peb = reinterpret_cast<const std::byte*>(info.PebBaseAddress);
  const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + kPebGdiHandleTable);
  if (table == nullptr)
    return -1;
  int used = 0;
  for (size_t i = 0; i < kGdiHandleTableEntries; ++i) {
    if (table[i].type != 0)
      ++used;
  }
  return used;
}

}  // namespace

int GdiObjectCount() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  return reported != 0 ? static_cast<int>(reported) : CountTableEntries();
}

}  // namespace lexmora::test
