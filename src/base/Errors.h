#pragma once
// The program's exception classes. what() is exactly the text the user sees, in the system
// code page; WideMessage() is the same text in UTF-16, exact where it quotes a name the code page
// cannot spell.
#include <cstdint>
#include <exception>
#include <string>

namespace lexmora {

class Exception : public std::exception {
 public:
  // A message in the system code page.
  explicit Exception(std::string message);
  // A message that may quote names the system code page cannot spell.
  explicit Exception(std::wstring message);
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }
  const std::wstring& WideMessage() const noexcept { return wideMessage_; }

 private:
  std::string message_;
  std::wstring wideMessage_;
};

// The text of any exception in UTF-16: the exact message of ours, what() of others.
std::wstring WideMessageOf(const std::exception& e);

// The runtime's I/O error codes that the program raises itself. The system's error codes are
// raised as they are; those without a text here show as "I/O error %d".
namespace io_error {
constexpr int32_t kFileNotFound = 2;
constexpr int32_t kInvalidFilename = 3;
constexpr int32_t kTooManyOpenFiles = 4;
constexpr int32_t kAccessDenied = 5;
constexpr int32_t kReadBeyondEnd = 100;
constexpr int32_t kDiskFull = 101;
constexpr int32_t kFileNotOpen = 103;
constexpr int32_t kNotOpenForInput = 104;
constexpr int32_t kNotOpenForOutput = 105;
constexpr int32_t kNegativeSeek = 131;
}  // namespace io_error

// A failed file operation, carrying the runtime's I/O error code (io_error::kFileNotFound "File
// not found", kReadBeyondEnd "Read beyond end of file", kDiskFull "Disk full", other codes
// "I/O error %d", ...) and, when it was raised for a failed system call, the system's error code.
class EInOutError : public Exception {
 public:
  explicit EInOutError(int32_t code, uint32_t systemCode = 0);
  int32_t ErrorCode() const noexcept { return code_; }
  // The system's error code it was raised for (see RaiseLastError); 0 when none.
  uint32_t SystemCode() const noexcept { return systemCode_; }
  static std::string TextFor(int32_t code);
  // What went wrong, in words: the runtime's text where it has one of its own ("File not
  // found", "Disk full", ...), the system's text for other codes (a sharing violation, ...).
  std::string Reason() const;

 private:
  int32_t code_;
  uint32_t systemCode_;
};

// Raises EInOutError for the calling thread's last system error: a full disk as kDiskFull, no
// error at all as kAccessDenied, any other error under its own code.
[[noreturn]] void RaiseLastError();

// A file stream that could not be opened: "Cannot open file "<full path>". <system text>".
class EFOpenError : public Exception {
 public:
  EFOpenError(const std::string& fullPath, const std::string& systemText);
  EFOpenError(const std::wstring& fullPath, const std::string& systemText);
};

// Registry failures: "Failed to set data for '%s'", "Failed to get data for '%s'",
// "Invalid data type for '%s'".
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// "List index out of bounds (%d)".
class EListError : public Exception {
 public:
  explicit EListError(int32_t index);
};

// A stream that could not be loaded, such as a document a rich-text pane refused.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// Ends the current operation without a message, where its failure has already been reported.
// The application's handler shows nothing for it.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The system's text for a Windows error code, without trailing blanks, line breaks and dots.
std::string SysErrorMessage(uint32_t code);

}  // namespace lexmora
