#include "picture/ByteReader.h"

#include <cstring>

namespace vec {
namespace {

Error ReadBeyondEnd() {
  return Error::Make(ErrorCode::Truncated, kReadBeyondEnd);
}

}  // namespace

Status ByteReader::Open(const std::string& fileName, Mode mode) {
  Close();
  file_.reset(std::fopen(fileName.c_str(), mode == Mode::Create ? "wb" : "rb"));
  const Error cannotOpen = Error::Make(ErrorCode::OpenFailed, "Cannot open file " + fileName);
  if (!file_) return cannotOpen;
  if (mode == Mode::Read) {
    if (std::fseek(file_.get(), 0, SEEK_END) != 0) return Close(), cannotOpen;
    const long end = std::ftell(file_.get());
    if (end < 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0) return Close(), cannotOpen;
    size_ = static_cast<uint64_t>(end);
  }
  return {};
}

void ByteReader::OpenMemory(const uint8_t* data, size_t size) {
  Close();
  memory_ = data;
  size_ = size;
}

void ByteReader::Close() {
  file_.reset();
  memory_ = nullptr;
  size_ = pos_ = 0;
}

Status ByteReader::ReadBlock(void* buffer, size_t count) {
  if (count > Remaining()) return ReadBeyondEnd();
  if (count == 0) return {};
  if (memory_ != nullptr) {
    std::memcpy(buffer, memory_ + pos_, count);
  } else if (!file_ || std::fread(buffer, 1, count, file_.get()) != count) {
    return ReadBeyondEnd();
  }
  pos_ += count;
  return {};
}

ErrorOr<int32_t> ByteReader::ReadInteger() {
  uint8_t b[4];
  TRY(ReadBlock(b, 4));
  return static_cast<int32_t>(uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
                              (uint32_t{b[3]} << 24));
}

ErrorOr<std::string> ByteReader::ReadMagic(size_t count) {
  if (count > Remaining()) return ReadBeyondEnd();
  std::string s(count, '\0');
  TRY(ReadBlock(s.data(), count));
  return s;
}

Status ByteReader::ReadIntoStream(std::vector<uint8_t>& stream, size_t count) {
  if (count > Remaining()) return ReadBeyondEnd();
  stream.resize(count);
  return ReadBlock(stream.data(), count);
}

Status ByteReader::Skip(uint64_t count) {
  if (count > Remaining()) return ReadBeyondEnd();
  if (file_ && std::fseek(file_.get(), static_cast<long>(pos_ + count), SEEK_SET) != 0)
    return ReadBeyondEnd();
  pos_ += count;
  return {};
}

Status ByteReader::WriteBlock(const void* buffer, size_t count) {
  if (!file_ || std::fwrite(buffer, 1, count, file_.get()) != count)
    return Error::Make(ErrorCode::WriteFailed, "Cannot write the file");
  pos_ += count;
  size_ = pos_;
  return {};
}

Status ByteReader::WriteInteger(int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return WriteBlock(b, 4);
}

}  // namespace vec
