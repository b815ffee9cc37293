// Copies out of a mapped view that survive the file being cut shorter under the view.
//
// A read of a mapped page that lies past the file's current end raises an access violation
// (or an in-page error) instead of returning fewer bytes. The copy is a single `rep movsb`; a
// vectored handler recognises a fault of exactly that instruction on the guarded bytes, marks
// the copy as failed and resumes the instruction with nothing left to copy.
#include "store/MappedView.h"

#if !defined(__x86_64__)
#error "The guarded copy is written for x86-64."
#endif

namespace lexmora::detail {

namespace {

struct CopyGuard {
  const uint8_t* begin;
  const uint8_t* end;
  const void* instruction;  // the address of the copying instruction
  bool faulted;
};

// The copy in progress on this thread, if any.
thread_local CopyGuard* activeGuard = nullptr;

LONG CALLBACK ViewFaultHandler(EXCEPTION_POINTERS* info) {
  CopyGuard* guard = activeGuard;
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  if (guard == nullptr || record.ExceptionAddress != guard->instruction ||
      (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION &&
       record.ExceptionCode != EXCEPTION_IN_PAGE_ERROR) ||
      record.NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const auto* address = reinterpret_cast<const uint8_t*>(record.ExceptionInformation[1]);
  if (address < guard->begin || address >= guard->end)
    return EXCEPTION_CONTINUE_SEARCH;
  guard->faulted = true;
  info->ContextRecord->Rcx = 0;  // the count of `rep movsb`: nothing left to copy
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

bool MappedView::CopyOut(void* target, int64_t offset, size_t count) const noexcept {
  // Installed once, for the life of the process; it passes on every fault it does not own.
  static const PVOID handler = AddVectoredExceptionHandler(1, ViewFaultHandler);
  if (handler == nullptr || data_ == nullptr)
    return false;
  const uint8_t* source = data_ + offset;
  CopyGuard guard{source, source + count, nullptr, false};
  activeGuard = &guard;
  void* to = target;
  const void* from = source;
  size_t left = count;
  asm volatile(
      "lea 1f(%%rip), %%rax\n\t"
      "mov %%rax, %[instruction]\n"
      "1:\trep movsb"
      : "+D"(to), "+S"(from), "+c"(left), [instruction] "=m"(guard.instruction)
      :
      : "rax", "memory");
  activeGuard = nullptr;
  return !guard.faulted;
}

}  // namespace lexmora::detail
