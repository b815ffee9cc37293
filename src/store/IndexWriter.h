#pragma once
// Internal to the store: the index writer with a hook that tests use to make a write fail
// part-way, as a full disk would.
#include <cstddef>
#include <functional>
#include <string>

#include "store/ADictU.h"

namespace lexmora::detail {

// Offsets written per write call: large enough that the count of calls (each a round trip
// under some hosts) does not weigh on the build.
constexpr size_t kWriteBlockRecords = 262144;

// Called before each block of offsets is written, with the number of offsets written so far.
using IndexWriteHook = std::function<void(size_t offsetsWritten)>;

void WriteIndexFile(const std::wstring& indexFileName, const TIndexList& list,
                    const FILETIME& storedTime, const IndexWriteHook& beforeBlock);

}  // namespace lexmora::detail
