#include "package/Container.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>

#include "package/FileUtil.h"

namespace vec {
namespace {

constexpr char kPlainMarker[] = "{VERESROURCE}";
static_assert(sizeof(kPlainMarker) - 1 == kMarkerSize);

// Read through a volatile so the compiler cannot fold the scrambled marker into a constant.
volatile unsigned char g_markerShift = 1;

constexpr size_t kSearchChunk = 256 * 1024;

uint32_t LoadLe32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads exactly 4 bytes at `pos`; false when the range (or the file) ends first.
bool ReadLe32At(int fd, uint64_t pos, uint64_t end, uint32_t& value) {
  unsigned char buf[4];
  if (pos + 4 > end || !PreadFull(fd, buf, 4, pos)) return false;
  value = LoadLe32(buf);
  return true;
}

uint64_t FileSize(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || st.st_size < 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

}  // namespace

std::string ScrambledMarker() {
  std::string m(kPlainMarker, kMarkerSize);
  const unsigned char shift = g_markerShift;
  for (char& c : m) c = static_cast<char>(static_cast<unsigned char>(c) + shift);
  return m;
}

namespace {

Error NoMarkerError() {
  return Error::Make(ErrorCode::NoMarker, "the file holds no package marker");
}
Error OpenError(const std::string& name) {
  return Error::Make(ErrorCode::OpenFailed, "cannot read \"" + name + "\"");
}

}  // namespace

ErrorOr<MarkerLocation> FindMarkerIn(int fd, uint64_t begin, uint64_t end) {
  MarkerLocation result;
  const std::string marker = ScrambledMarker();
  // Each chunk is searched together with the last kMarkerSize - 1 bytes of the one before,
  // so a marker across a chunk boundary is found, and the first occurrence always wins.
  // Small ranges (the nested containers, settings) need no large buffer.
  const uint64_t length = end > begin ? end - begin : 0;
  const size_t chunk = static_cast<size_t>(std::clamp<uint64_t>(length, 64, kSearchChunk));
  auto storage = std::make_unique_for_overwrite<char[]>(chunk + kMarkerSize);
  std::span<char> buf(storage.get(), chunk + kMarkerSize);
  size_t kept = 0;       // bytes carried over from the previous chunk
  uint64_t pos = begin;  // file position of buf[kept]
  while (pos < end) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(chunk, end - pos));
    ssize_t n = pread(fd, buf.data() + kept, want, static_cast<off_t>(pos));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    size_t have = kept + static_cast<size_t>(n);
    const void* hit = memmem(buf.data(), have, marker.data(), kMarkerSize);
    if (hit) {
      size_t at = static_cast<size_t>(static_cast<const char*>(hit) - buf.data());
      result.offset = pos - kept + at + kMarkerSize;
      if (!ReadLe32At(fd, result.offset, end, result.count))
        return Error::Make(ErrorCode::NoCount, "the file ends inside the package's record count");
      return result;
    }
    size_t keep = std::min(have, kMarkerSize - 1);
    std::memmove(buf.data(), buf.data() + have - keep, keep);
    pos += static_cast<uint64_t>(n);
    kept = keep;
  }
  return NoMarkerError();
}

ErrorOr<MarkerLocation> FindMarkerFd(int fd) {
  return FindMarkerIn(fd, 0, FileSize(fd));
}

ErrorOr<MarkerLocation> FindMarker(const std::string& fileName) {
  UniqueFd fd(open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return OpenError(fileName);
  return FindMarkerFd(fd.get());
}

ErrorOr<ExtractResult> ExtractRecordsIn(int fd, uint64_t begin, uint64_t end,
                                        const std::vector<std::string>& targets) {
  ExtractResult result;
  result.written.assign(targets.size(), std::nullopt);
  end = std::min(end, FileSize(fd));
  const MarkerLocation m = TRY(FindMarkerIn(fd, begin, end));
  result.count = m.count;
  uint64_t pos = m.offset + 4;
  const size_t n = std::min<size_t>(m.count, targets.size());
  for (size_t i = 0; i < n; ++i) {
    uint32_t size = 0;
    if (!ReadLe32At(fd, pos, end, size)) break;  // the range ends: the rest stay unwritten
    pos += 4;
    // What the range really holds of this record.
    const uint64_t avail = pos < end ? std::min<uint64_t>(size, end - pos) : 0;
    result.spans.push_back({pos, avail});
    if (!targets[i].empty()) {
      UniqueFd out(CreateFileNoFollow(targets[i]));
      if (!out) {
        ++result.uncreated;
      } else {
        result.written[i] = CopyRange(fd, pos, out.get(), avail);
      }
    }
    pos += size;
    if (avail < size) break;  // cut short: no further record can follow
  }
  return result;
}

ErrorOr<ExtractResult> ExtractRecords(const std::string& containerName,
                                      const std::vector<std::string>& targets) {
  UniqueFd in(open(containerName.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in) return OpenError(containerName);
  return ExtractRecordsIn(in.get(), 0, UINT64_MAX, targets);
}

ErrorOr<RecordsInMemory> ReadRecords(const std::string& containerName, size_t maxRecords,
                                     size_t maxBytes) {
  RecordsInMemory result;
  UniqueFd in(open(containerName.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in) return OpenError(containerName);
  const MarkerLocation m = TRY(FindMarkerFd(in.get()));
  result.count = m.count;
  const uint64_t fileSize = FileSize(in.get());
  uint64_t pos = m.offset + 4;
  const size_t n = std::min<size_t>(m.count, maxRecords);
  for (size_t i = 0; i < n; ++i) {
    uint32_t size = 0;
    if (!ReadLe32At(in.get(), pos, fileSize, size)) break;
    pos += 4;
    const uint64_t avail = pos < fileSize ? std::min<uint64_t>(size, fileSize - pos) : 0;
    std::string text(static_cast<size_t>(std::min<uint64_t>(avail, maxBytes)), '\0');
    size_t got = PreadSome(in.get(), text.data(), text.size(), pos);
    text.resize(got);
    result.records.push_back(std::move(text));
    pos += size;
    if (avail < size) break;
  }
  return result;
}

std::string ContainerWriter::SizeField(uint32_t size) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  return s;
}

std::string ContainerWriter::Header(uint32_t count) {
  return ScrambledMarker() + SizeField(count);
}

std::string ContainerWriter::Build(const std::vector<std::string>& records) {
  std::string out = Header(static_cast<uint32_t>(records.size()));
  for (const auto& r : records) {
    out += SizeField(static_cast<uint32_t>(r.size()));
    out += r;
  }
  return out;
}

}  // namespace vec
