#include "base/Errors.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "base/Text.h"

namespace lexmora {

Exception::Exception(std::string message)
    : message_(std::move(message)), wideMessage_(ToWide(message_)) {}

Exception::Exception(std::wstring message)
    : message_(ToAnsi(message)), wideMessage_(std::move(message)) {}

std::wstring WideMessageOf(const std::exception& e) {
  if (const auto* ours = dynamic_cast<const Exception*>(&e))
    return ours->WideMessage();
  return ToWide(e.what());
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    out.assign(buf.data(), static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

std::string SysErrorMessage(uint32_t code) {
  char* text = nullptr;
  DWORD len = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out;
  if (len > 0 && text != nullptr)
    out.assign(text, len);
  if (text != nullptr)
    LocalFree(text);
  while (!out.empty() && (static_cast<unsigned char>(out.back()) <= ' ' || out.back() == '.')) {
    out.pop_back();
  }
  return out;
}

std::string EInOutError::TextFor(int32_t code) {
  switch (code) {
    case io_error::kFileNotFound:
      return "File not found";
    case io_error::kInvalidFilename:
      return "Invalid filename";
    case io_error::kTooManyOpenFiles:
      return "Too many open files";
    case io_error::kAccessDenied:
      return "File access denied";
    case io_error::kReadBeyondEnd:
      return "Read beyond end of file";
    case io_error::kDiskFull:
      return "Disk full";
    case io_error::kFileNotOpen:
      return "File not open";
    case io_error::kNotOpenForInput:
      return "File not open for input";
    case io_error::kNotOpenForOutput:
      return "File not open for output";
    default:
      return Format("I/O error %d", static_cast<int>(code));
  }
}

EInOutError::EInOutError(int32_t code, uint32_t systemCode)
    : Exception(TextFor(code)), code_(code), systemCode_(systemCode) {}

void RaiseLastError() {
  const DWORD code = GetLastError();
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL)
    throw EInOutError(io_error::kDiskFull, code);
  if (code == 0)
    throw EInOutError(io_error::kAccessDenied);
  throw EInOutError(static_cast<int32_t>(code), code);
}

std::string EInOutError::Reason() const {
  if (Message() != Format("I/O error %d", static_cast<int>(code_)))
    return Message();
  const std::string system = code_ > 0 ? SysErrorMessage(static_cast<uint32_t>(code_)) : "";
  return system.empty() ? Message() : system;
}

EFOpenError::EFOpenError(const std::string& fullPath, const std::string& systemText)
    : Exception(Format("Cannot open file \"%s\". %s", fullPath.c_str(), systemText.c_str())) {}

EFOpenError::EFOpenError(const std::wstring& fullPath, const std::string& systemText)
    : Exception(L"Cannot open file \"" + fullPath + L"\". " + ToWide(systemText)) {}

EListError::EListError(int32_t index)
    : Exception(Format("List index out of bounds (%d)", static_cast<int>(index))) {}

}  // namespace lexmora
