// Copies out of a mapped view that survive the file being cut shorter under the view.
//
// A read of a mapped page that lies past the file's current end raises an access violation
// (or an in-page error) instead of returning fewer bytes. The copy is a single `rep movsb` with
// a marker in r8; a vectored handler recognises a fault of that instruction, marked so, reading
// the bytes still to copy, clears the marker and resumes the instruction with nothing left to
// copy. The state of the copy lives in the registers, so a copy costs no thread-local storage.
#include "store/MappedView.h"

#if !defined(__x86_64__)
#error "The guarded copy is written for x86-64."
#endif

namespace lexmora::detail {

namespace {

constexpr DWORD64 kCopyMarker = 0x4C65786D6F726163;  // in r8 while a guarded copy runs

LONG CALLBACK ViewFaultHandler(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  CONTEXT& context = *info->ContextRecord;
  if (context.R8 != kCopyMarker ||
      (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION &&
       record.ExceptionCode != EXCEPTION_IN_PAGE_ERROR) ||
      record.NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  // The instruction is `rep movsb`, and the fault is in the bytes it has still to read: rsi and
  // rcx span them.
  const auto* instruction = static_cast<const uint8_t*>(record.ExceptionAddress);
  const ULONG_PTR address = record.ExceptionInformation[1];
  if (instruction[0] != 0xF3 || instruction[1] != 0xA4 || address < context.Rsi ||
      address - context.Rsi >= context.Rcx) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  context.R8 = 0;   // the copy failed
  context.Rcx = 0;  // nothing left to copy
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

bool MappedView::CopyOut(void* target, int64_t offset, size_t count) const noexcept {
  // Installed once, for the life of the process; it passes on every fault it does not own.
  static const PVOID handler = AddVectoredExceptionHandler(1, ViewFaultHandler);
  if (handler == nullptr || data_ == nullptr)
    return false;
  void* to = target;
  const void* from = data_ + offset;
  size_t left = count;
  DWORD64 marker = kCopyMarker;
  asm volatile(
      "mov %[marker], %%r8\n\t"
      "rep movsb\n\t"
      "mov %%r8, %[marker]"
      : "+D"(to), "+S"(from), "+c"(left), [marker] "+r"(marker)
      :
      : "r8", "memory");
  return marker == kCopyMarker;
}

}  // namespace lexmora::detail
