#pragma once
// Telling a word copied twice in a row (Ctrl+C pressed twice) from other changes of the
// clipboard: which texts count, and the timing of the two copies. Knows nothing of windows or of
// the clipboard itself.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexmora {

// The longest text that counts, in UTF-16 units: what the search box holds.
inline constexpr size_t kMaxCopiedLength = 50;
// The second copy follows the first within this time.
inline constexpr uint64_t kCopyTwiceMs = 500;
// Notices of the same text closer together than this are one copy: some programs write the
// clipboard twice for one copy, and nobody presses Ctrl+C twice this fast.
inline constexpr uint64_t kOneCopyMs = 50;

// What a copied text looks up: `text` without its format characters (invisible: bidirectional
// marks, soft hyphens, zero-width spaces, ...) and without the white space, punctuation, quotes
// and brackets of any script at its ends, as text copied from a page carries them.
std::wstring CleanCopiedText(std::wstring_view text);

// `text` cleaned (CleanCopiedText), when what remains is one line of 1 to kMaxCopiedLength
// units without control characters; otherwise nothing.
std::optional<std::wstring> ShortCopiedText(std::wstring_view text);

class CopyTwiceDetector {
 public:
  // The clipboard changed at `ms` (a steady clock in milliseconds) and now holds `text`; nothing
  // when it holds no text. Gives the text to look up when this is the second copy of the same
  // short text within kCopyTwiceMs of the first; a third copy starts a new pair.
  std::optional<std::wstring> Copied(std::optional<std::wstring_view> text, uint64_t ms);
  // The clipboard changed in a way that does not count (the program copied something itself):
  // no copy waits for its second.
  void Forget() noexcept;

 private:
  struct Copy {
    std::wstring text;
    uint64_t ms = 0;
  };
  std::optional<Copy> waiting_;  // the first copy of a pair
  std::optional<Copy> latest_;   // the latest notice, to join notices of one copy
};

}  // namespace lexmora
