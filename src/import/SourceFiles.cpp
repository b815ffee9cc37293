#include "import/SourceFiles.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <limits>

#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "import/Import.h"

namespace lexmora::import {

namespace {

// gzip header flags.
constexpr uint8_t kFlagHeaderCrc = 0x02;
constexpr uint8_t kFlagExtra = 0x04;
constexpr uint8_t kFlagName = 0x08;
constexpr uint8_t kFlagComment = 0x10;
constexpr uint8_t kFlagsReserved = 0xE0;

// The most that the end of a deflate stream after the last dictzip chunk can take: an empty
// stored block (5 bytes) or fixed block (2 bytes), with a margin.
constexpr uint64_t kMaxClosingBlockBytes = 16;

// Sources larger than this cannot give a dictionary file under 2 GiB.
constexpr int64_t kMaxSourceBytes = int64_t{4} << 30;

uint32_t Le16(std::string_view b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
uint32_t Le32(std::string_view b, size_t at) {
  return Le16(b, at) | Le16(b, at + 2) << 16;
}

[[noreturn]] void Fail(const std::wstring& path, const std::string& why) {
  throw EImportError(PathText(path) + ": " + why);
}

// The dictzip table of a gzip extra field: chunk length and compressed chunk sizes.
struct ChunkTable {
  bool present = false;
  uint32_t chunkLength = 0;
  std::vector<uint32_t> sizes;
};

ChunkTable ReadChunkTable(std::string_view extra, const std::wstring& path) {
  ChunkTable table;
  size_t at = 0;
  while (at + 4 <= extra.size()) {
    const uint32_t length = Le16(extra, at + 2);
    if (at + 4 + length > extra.size())
      Fail(path, "the gzip header's extra field is inconsistent");
    if (extra[at] == 'R' && extra[at + 1] == 'A') {
      std::string_view field = extra.substr(at + 4, length);
      if (field.size() < 6)
        Fail(path, "the dictzip chunk table is too short");
      const uint32_t version = Le16(field, 0);
      if (version != 1)
        Fail(path,
             Format("the dictzip chunk table has version %u; only version 1 is known", version));
      table.present = true;
      table.chunkLength = Le16(field, 2);
      const uint32_t count = Le16(field, 4);
      if (field.size() < 6 + 2 * size_t{count})
        Fail(path, Format("the dictzip chunk table announces %u chunks but holds fewer", count));
      for (uint32_t i = 0; i < count; ++i)
        table.sizes.push_back(Le16(field, 6 + 2 * size_t{i}));
    }
    at += 4 + length;
  }
  if (at != extra.size())
    Fail(path, "the gzip header's extra field is inconsistent");
  return table;
}

// Owns a zlib inflate stream.
class Inflater {
 public:
  Inflater() {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK)
      throw EImportError("zlib could not be initialised");
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream& Stream() { return stream_; }

 private:
  z_stream stream_{};
};

// Inflates one member's deflate data starting at `at`; appends to `out` and returns the number
// of compressed bytes it took.
size_t InflateMember(std::string_view bytes, size_t at, std::string& out,
                     const std::wstring& path) {
  Inflater inflater;
  z_stream& z = inflater.Stream();
  const size_t start = at;
  constexpr size_t kStep = 1 << 20;
  for (;;) {
    const size_t inputLeft = bytes.size() - at;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + at));
    z.avail_in = static_cast<uInt>(std::min<size_t>(inputLeft, 1u << 30));
    const size_t before = out.size();
    if (before + kStep > static_cast<size_t>(kMaxSourceBytes))
      Fail(path, "the decompressed data is larger than 4 GiB");
    out.resize(before + kStep);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + before);
    z.avail_out = static_cast<uInt>(kStep);
    const int rc = inflate(&z, Z_NO_FLUSH);
    const size_t consumed = reinterpret_cast<const char*>(z.next_in) - (bytes.data() + at);
    at += consumed;
    out.resize(before + (kStep - z.avail_out));
    if (rc == Z_STREAM_END)
      return at - start;
    if (rc == Z_DATA_ERROR)
      Fail(path, Format("the compressed data is damaged at byte %llu (%s)",
                        static_cast<unsigned long long>(at), z.msg ? z.msg : "invalid data"));
    if (rc == Z_MEM_ERROR)
      Fail(path, "not enough memory to decompress");
    if (rc == Z_BUF_ERROR || (rc == Z_OK && at == bytes.size() && z.avail_out != 0))
      Fail(path, "the file is truncated: its compressed data ends early");
    if (rc != Z_OK)
      Fail(path, Format("zlib reported error %d", rc));
  }
}

}  // namespace

std::string PathText(const std::wstring& path) {
  return ToUtf8(path);
}

std::string SystemText(uint32_t code) {
  return ToUtf8(ToWide(SysErrorMessage(code)));
}

bool PathExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring AsciiLower(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z')
      c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

FileHandle OpenSourceFile(const std::wstring& path, int64_t& size) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file)
    throw EImportError("Cannot open \"" + PathText(path) + "\": " + SystemText(GetLastError()));
  LARGE_INTEGER length;
  if (!GetFileSizeEx(file.Get(), &length))
    Fail(path, "cannot get its size: " + SystemText(GetLastError()));
  if (length.QuadPart > kMaxSourceBytes)
    Fail(path, "the file is larger than 4 GiB");
  size = length.QuadPart;
  return file;
}

std::string ReadWholeFile(const std::wstring& path) {
  int64_t size = 0;
  FileHandle file = OpenSourceFile(path, size);
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const auto want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr))
      Fail(path, "cannot read it: " + SystemText(GetLastError()));
    if (got == 0)
      Fail(path, "the file became shorter while it was read");
    done += got;
  }
  return bytes;
}

std::string Gunzip(std::string_view bytes, const std::wstring& path) {
  std::string out;
  size_t at = 0;
  do {
    const size_t memberStart = at;
    if (bytes.size() - at < 2 || static_cast<uint8_t>(bytes[at]) != 0x1F ||
        static_cast<uint8_t>(bytes[at + 1]) != 0x8B)
      Fail(path, at == 0 ? "not a gzip or dictzip file"
                         : "unexpected data after the end of the compressed data");
    if (bytes.size() - at < 18)
      Fail(path, at == 0 ? "the file is too short for a gzip file"
                         : "the file is truncated: its last gzip member is incomplete");
    if (bytes[at + 2] != 8)
      Fail(path, "unknown gzip compression method");
    const auto flags = static_cast<uint8_t>(bytes[at + 3]);
    if (flags & kFlagsReserved)
      Fail(path, "the gzip header has reserved flags set");
    at += 10;
    ChunkTable table;
    auto need = [&](size_t n) {
      if (bytes.size() - at < n)
        Fail(path, "the file is truncated: its gzip header is incomplete");
    };
    if (flags & kFlagExtra) {
      need(2);
      const uint32_t extraLength = Le16(bytes, at);
      at += 2;
      need(extraLength);
      table = ReadChunkTable(bytes.substr(at, extraLength), path);
      at += extraLength;
    }
    for (uint8_t flag : {kFlagName, kFlagComment}) {
      if (flags & flag) {
        const size_t end = bytes.find('\0', at);
        if (end == std::string_view::npos)
          Fail(path, "the file is truncated: its gzip header is incomplete");
        at = end + 1;
      }
    }
    if (flags & kFlagHeaderCrc) {
      need(2);
      const uint32_t expected = Le16(bytes, at);
      const uint32_t actual =
          crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + memberStart), at - memberStart) &
          0xFFFF;
      if (expected != actual)
        Fail(path, "the gzip header's checksum does not match");
      at += 2;
    }

    const size_t outStart = out.size();
    const size_t compressed = InflateMember(bytes, at, out, path);
    at += compressed;
    if (bytes.size() - at < 8)
      Fail(path, "the file is truncated: its gzip trailer is missing");
    const size_t length = out.size() - outStart;
    uLong crc = crc32(0, nullptr, 0);
    for (size_t done = 0; done < length;) {
      const auto step = static_cast<uInt>(std::min<size_t>(length - done, 1u << 30));
      crc = crc32(crc, reinterpret_cast<const Bytef*>(out.data() + outStart + done), step);
      done += step;
    }
    if (Le32(bytes, at) != static_cast<uint32_t>(crc))
      Fail(path, "the data does not match its CRC-32 checksum: the file is damaged");
    if (Le32(bytes, at + 4) != static_cast<uint32_t>(length))
      Fail(path, "the data does not match its recorded length: the file is damaged");
    at += 8;

    if (table.present) {
      uint64_t sum = 0;
      for (uint32_t s : table.sizes)
        sum += s;
      const uint64_t chunks = table.sizes.size();
      const bool lengthFits = table.chunkLength > 0 && length <= chunks * table.chunkLength &&
                              (chunks == 0 || length > (chunks - 1) * table.chunkLength);
      // The chunks may be followed by the stream's closing block (an empty final block of a few
      // bytes), which the table does not count.
      if (sum > compressed || compressed - sum > kMaxClosingBlockBytes || !lengthFits)
        Fail(path,
             Format("the dictzip chunk table (%llu chunks of %u bytes, %llu compressed "
                    "bytes) does not match the data (%llu bytes from %llu compressed)",
                    static_cast<unsigned long long>(chunks), table.chunkLength,
                    static_cast<unsigned long long>(sum), static_cast<unsigned long long>(length),
                    static_cast<unsigned long long>(compressed)));
    }
  } while (at < bytes.size());
  return out;
}

std::string ReadSourceData(const std::wstring& path) {
  std::string bytes = ReadWholeFile(path);
  const std::wstring lower = AsciiLower(path);
  if (lower.ends_with(L".gz") || lower.ends_with(L".dz"))
    return Gunzip(bytes, path);
  return bytes;
}

bool AppendUtf8(std::string_view text, std::wstring& out) {
  // Never more code units than bytes: the room is made once and written through a pointer.
  const size_t start = out.size();
  out.resize(start + text.size());
  wchar_t* w = out.data() + start;
  const auto* p = reinterpret_cast<const uint8_t*>(text.data());
  const uint8_t* end = p + text.size();
  bool valid = true;
  while (p < end) {
    const uint8_t b = *p;
    if (b < 0x80) {
      *w++ = static_cast<wchar_t>(b);
      ++p;
      continue;
    }
    int extra;
    uint32_t value;
    uint32_t minimum;
    if ((b & 0xE0) == 0xC0) {
      extra = 1, value = b & 0x1F, minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, value = b & 0x0F, minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, value = b & 0x07, minimum = 0x10000;
    } else {
      valid = false;
      break;
    }
    if (end - p <= extra) {
      valid = false;
      break;
    }
    for (int i = 1; i <= extra && valid; ++i) {
      valid = (p[i] & 0xC0) == 0x80;
      value = value << 6 | (p[i] & 0x3F);
    }
    if (!valid || value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
      valid = false;
      break;
    }
    if (value >= 0x10000) {
      value -= 0x10000;
      *w++ = static_cast<wchar_t>(0xD800 + (value >> 10));
      *w++ = static_cast<wchar_t>(0xDC00 + (value & 0x3FF));
    } else {
      *w++ = static_cast<wchar_t>(value);
    }
    p += extra + 1;
  }
  out.resize(static_cast<size_t>(w - out.data()));
  return valid;
}

std::wstring DecodeUtf8(std::string_view text, const std::string& where) {
  std::wstring out;
  if (!AppendUtf8(text, out))
    throw EImportError(where + " is not valid UTF-8");
  return out;
}

}  // namespace lexmora::import
