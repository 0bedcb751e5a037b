#pragma once
// A plain byte reader over a picture file (or over the same bytes in memory). Every read
// either delivers exactly what was asked for or fails with Truncated ("Read beyond end of
// file"); nothing is allocated for a size that the rest of the data cannot hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/Result.h"

namespace vec {

inline constexpr const char* kReadBeyondEnd = "Read beyond end of file";

class ByteReader {
 public:
  enum class Mode { Create, Read };

  ByteReader() = default;
  // Opens the file; OpenFailed when it cannot be opened (or created, for Create).
  Status Open(const std::string& fileName, Mode mode);
  // Reads from memory that the caller keeps alive.
  void OpenMemory(const uint8_t* data, size_t size);
  void Close();

  Status ReadBlock(void* buffer, size_t count);
  ErrorOr<int32_t> ReadInteger();
  ErrorOr<std::string> ReadMagic(size_t count);
  // Sets the stream's size to count and fills it; fails (leaving it untouched) when count
  // bytes are not there.
  Status ReadIntoStream(std::vector<uint8_t>& stream, size_t count);
  Status Skip(uint64_t count);

  bool Eof() const { return Remaining() == 0; }
  uint64_t Remaining() const { return size_ - pos_; }
  // Bytes read (or skipped) so far.
  uint64_t Position() const { return pos_; }

  Status WriteBlock(const void* buffer, size_t count);
  Status WriteInteger(int32_t value);

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  const uint8_t* memory_ = nullptr;
  uint64_t size_ = 0;
  uint64_t pos_ = 0;
};

}  // namespace vec
