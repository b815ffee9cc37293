#include "ImportTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "TestFiles.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "store/ADictU.h"

namespace lexmora::test {

namespace {

void PutLe16(std::string& s, uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8 & 0xFF));
}
void PutLe32(std::string& s, uint32_t v) {
  PutLe16(s, v & 0xFFFF);
  PutLe16(s, v >> 16);
}
void PutBe32(std::string& s, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    s.push_back(static_cast<char>(v >> shift & 0xFF));
}

std::string Deflate(const std::string& data, int windowBits) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  std::string out(deflateBound(&z, data.size()) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END)
    throw std::runtime_error("deflate failed");
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

}  // namespace

void WriteFile(const std::string& path, const std::string& bytes) {
  WriteBytes(path, Bytes(bytes.begin(), bytes.end()));
}

std::string ReadFile(const std::string& path) {
  const Bytes bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string Gzip(const std::string& data, const std::string& name) {
  std::string out = {'\x1F', '\x8B', 8, static_cast<char>(name.empty() ? 0 : 0x08), 0, 0, 0,
                     0,      0,      3};
  if (!name.empty())
    out += name + '\0';
  out += Deflate(data, -MAX_WBITS);
  PutLe32(out, crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
  PutLe32(out, static_cast<uint32_t>(data.size()));
  return out;
}

std::string Dictzip(const std::string& data, uint32_t chunkLength, size_t* chunkCount,
                    bool separateEnd) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  std::string body;
  std::vector<uint32_t> sizes;
  for (size_t at = 0; at < data.size() || sizes.empty(); at += chunkLength) {
    const size_t n = std::min<size_t>(chunkLength, data.size() - at);
    const bool last = at + n >= data.size();
    std::string out(deflateBound(&z, n) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + at));
    z.avail_in = static_cast<uInt>(n);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, last && !separateEnd ? Z_FINISH : Z_FULL_FLUSH);
    out.resize(out.size() - z.avail_out);
    sizes.push_back(static_cast<uint32_t>(out.size()));
    body += out;
    if (last)
      break;
  }
  if (separateEnd) {
    char end[64];
    z.next_in = nullptr;
    z.avail_in = 0;
    z.next_out = reinterpret_cast<Bytef*>(end);
    z.avail_out = sizeof end;
    deflate(&z, Z_FINISH);
    body.append(end, sizeof end - z.avail_out);
  }
  deflateEnd(&z);
  std::string extra = "RA";
  PutLe16(extra, static_cast<uint32_t>(6 + 2 * sizes.size()));
  PutLe16(extra, 1);
  PutLe16(extra, chunkLength);
  PutLe16(extra, static_cast<uint32_t>(sizes.size()));
  for (uint32_t s : sizes)
    PutLe16(extra, s);
  std::string out = {'\x1F', '\x8B', 8, 0x04, 0, 0, 0, 0, 2, 3};
  PutLe16(out, static_cast<uint32_t>(extra.size()));
  out += extra + body;
  PutLe32(out, crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
  PutLe32(out, static_cast<uint32_t>(data.size()));
  if (chunkCount != nullptr)
    *chunkCount = sizes.size();
  return out;
}

std::string Base64Number(uint64_t value) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[value % 64]);
    value /= 64;
  } while (value > 0);
  return out;
}

std::string WriteDictd(const std::string& base, const std::vector<WordAndText>& entries,
                       bool compress, uint32_t chunkLength) {
  std::string index, data;
  for (const WordAndText& e : entries) {
    index += e.word + "\t" + Base64Number(data.size()) + "\t" + Base64Number(e.text.size()) + "\n";
    data += e.text;
  }
  WriteFile(base + ".index", index);
  if (compress)
    WriteFile(base + ".dict.dz", Dictzip(data, chunkLength));
  else
    WriteFile(base + ".dict", data);
  return base + ".index";
}

std::string WriteStarDict(const std::string& base, const StarDictSource& source) {
  std::string index, data;
  for (const WordAndText& e : source.entries) {
    index += e.word + '\0';
    if (source.offsets64)
      PutBe32(index, static_cast<uint32_t>(uint64_t{data.size()} >> 32));
    PutBe32(index, static_cast<uint32_t>(data.size()));
    PutBe32(index, static_cast<uint32_t>(e.text.size()));
    data += e.text;
  }
  std::string info =
      "StarDict's dict ifo file\nversion=" + std::string(source.offsets64 ? "3.0.0" : "2.4.2") +
      "\nbookname=" + source.bookname + "\nwordcount=" + std::to_string(source.entries.size()) +
      "\nidxfilesize=" + std::to_string(index.size()) + "\n";
  if (source.offsets64)
    info += "idxoffsetbits=64\n";
  if (!source.sameTypeSequence.empty())
    info += "sametypesequence=" + source.sameTypeSequence + "\n";
  if (!source.synonyms.empty()) {
    info += "synwordcount=" + std::to_string(source.synonyms.size()) + "\n";
    std::string syn;
    for (const auto& [word, target] : source.synonyms) {
      syn += word + '\0';
      PutBe32(syn, target);
    }
    WriteFile(base + ".syn", syn);
  }
  info += source.extraInfo;
  WriteFile(base + ".ifo", info);
  if (source.gzipIndex)
    WriteFile(base + ".idx.gz", Gzip(index, "x.idx"));
  else
    WriteFile(base + ".idx", index);
  if (source.dictzipData)
    WriteFile(base + ".dict.dz", Dictzip(data, 100));
  else
    WriteFile(base + ".dict", data);
  return base + ".ifo";
}

import::ImportResult Import(const std::vector<std::string>& sources, const std::string& output,
                            bool sort){import::ImportOptions options;
for (const std::string& s : sources)
  options.sources.push_back(ToWide(s));
options.output = ToWide(output);
options.sort = sort;
return import::ImportDictionary(options);
}  // namespace lexmora::test

std::optional<std::string> ImportError(const std::vector<std::string>& sources,
                                       const std::string& output) {
  try {
    Import(sources, output);
  } catch (const import::EImportError& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

void ExpectRefused(const std::string& name, const std::string& source, const std::string& output,
                   const std::string& wanted) {
  const std::optional<std::string> error = ImportError({source}, output);
  if (!error) {
    ADD_FAILURE() << name << ": no error";
  } else {
    EXPECT_NE(error->find(wanted), std::string::npos)
        << name << "\n got: " << *error << "\nwanted: " << wanted;
  }
  EXPECT_FALSE(FileExists(output)) << name;
}

std::vector<std::wstring> EntriesOf(const std::string& dat) {
  const std::string ind = dat.substr(0, dat.size() - 4) + ".ind";
  TADict dict(dat, ind, false, false, false);
  std::vector<std::wstring> out;
  for (int32_t i = 0; i < dict.EntryCount(); ++i)
    out.push_back(dict.ReadEntry(i, -1));
  return out;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE)
    return names;
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..")
      names.push_back(name);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace lexmora::test
