#pragma once
// Internal to the store: a read-only view of the beginning of an open file.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "base/Handle.h"

namespace lexmora::detail {

class MappedView {
 public:
  MappedView() = default;
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;
  ~MappedView() { Reset(); }

  // Maps the first `size` bytes of `file` (open for reading) and returns true; on failure, or
  // for a size of 0, the view stays empty and false is returned, and the caller reads the file.
  bool Map(HANDLE file, int64_t size) noexcept {
    Reset();
    if (size <= 0)
      return false;
    KernelHandle mapping(CreateFileMappingA(file, nullptr, PAGE_READONLY,
                                            static_cast<DWORD>(static_cast<uint64_t>(size) >> 32),
                                            static_cast<DWORD>(size), nullptr));
    if (!mapping)
      return false;
    void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
    if (view == nullptr)
      return false;
    mapping_ = std::move(mapping);
    data_ = static_cast<const uint8_t*>(view);
    size_ = size;
    return true;
  }

  void Reset() noexcept {
    if (data_ != nullptr)
      UnmapViewOfFile(data_);
    data_ = nullptr;
    size_ = 0;
    mapping_.Reset();
  }

  // The mapped bytes. Reading them directly faults when the file has been cut shorter since it
  // was mapped; CopyOut does not.
  const uint8_t* Data() const noexcept { return data_; }
  // The number of bytes mapped; 0 when empty.
  int64_t Size() const noexcept { return size_; }

  // Copies `count` bytes from `offset` (which the caller keeps inside the view) and returns
  // true. Returns false when the pages cannot be read: the file has been cut shorter since it
  // was mapped (the system denies that to Windows programs while the view exists, but others
  // can do it) or the medium fails. `target` then holds an unknown part of the bytes, and the
  // view should be given up for reads through the file.
  bool CopyOut(void* target, int64_t offset, size_t count) const noexcept;

 private:
  KernelHandle mapping_;
  const uint8_t* data_ = nullptr;
  int64_t size_ = 0;
};

}  // namespace lexmora::detail
