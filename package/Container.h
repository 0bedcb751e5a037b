#pragma once
// The record container that carries a saver's content: a 13-byte marker, a 32-bit record
// count, then each record as a 32-bit size and its bytes (little-endian, no padding). The
// same format nests three levels deep: the package behind the executable, the settings
// container and the files container inside it.
//
// Readers work on whatever the file really holds: a count or size larger than the file
// never makes them allocate or loop beyond its end.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace vec {

inline constexpr size_t kMarkerSize = 13;

// The marker as the container stores it: "{VERESROURCE}" with every code plus one. It is
// computed at run time so that the runtime's own image never holds it and the search of a
// saver file cannot stop inside the executable part.
std::string ScrambledMarker();

// Why a container could not be read: ErrorCode::OpenFailed (the file does not exist or
// cannot be read), ErrorCode::NoMarker (it holds no marker) or ErrorCode::NoCount (it ends
// inside the 4-byte record count behind the marker).

// Where the first marker lies.
struct MarkerLocation {
  uint64_t offset = 0;  // position just behind the marker
  uint32_t count = 0;   // record count stored there
};

// Finds the first marker in the file; a partial match that breaks is restarted correctly,
// so a marker right behind a stray first marker byte is still found.
ErrorOr<MarkerLocation> FindMarker(const std::string& fileName);
// The same search over an open descriptor (read with pread from position 0).
ErrorOr<MarkerLocation> FindMarkerFd(int fd);
// The search within the bytes [begin, end) of an open file (a container nested in a record).
ErrorOr<MarkerLocation> FindMarkerIn(int fd, uint64_t begin, uint64_t end);

// What extraction wrote for one target: nullopt when nothing was written (the target was
// skipped, could not be created, or the container had no record for it).
using WrittenSize = std::optional<uint64_t>;

// Where a record's bytes lie in the file, as far as the file holds them.
struct RecordSpan {
  uint64_t offset = 0;
  uint64_t size = 0;
};

struct ExtractResult {
  uint32_t count = 0;                // record count of the container
  std::vector<WrittenSize> written;  // one entry per target, in order
  std::vector<RecordSpan> spans;     // each record visited, in order
  size_t uncreated = 0;  // targets that could not be created (extraction went on without them)
};

// Writes the container's records to the targets in order (record i to target i). An empty
// target name skips its record. Targets are created anew (truncated when they exist), never
// through a symbolic link, with mode 0600. A record is copied in large chunks without being
// held in memory; a record that the file cuts short is written as far as the file goes. A
// container that cannot be read at all is an error.
ErrorOr<ExtractResult> ExtractRecords(const std::string& containerName,
                                      const std::vector<std::string>& targets);
// The same for a container within the bytes [begin, end) of an open file, so a nested
// container is extracted straight from the outer file.
ErrorOr<ExtractResult> ExtractRecordsIn(int fd, uint64_t begin, uint64_t end,
                                        const std::vector<std::string>& targets);

// Reads records into memory, for the small settings texts. Records beyond `maxRecords` are
// not read; a record larger than `maxBytes` is cut to `maxBytes`.
struct RecordsInMemory {
  uint32_t count = 0;
  std::vector<std::string> records;  // the records present in the file (at most maxRecords)
};
ErrorOr<RecordsInMemory> ReadRecords(const std::string& containerName, size_t maxRecords,
                                     size_t maxBytes);

// Writes a container record by record (used by the packer and by tests).
class ContainerWriter {
 public:
  // Starts a container at the current end of `out`: marker and count.
  static std::string Header(uint32_t count);
  static std::string SizeField(uint32_t size);
  // A whole container of in-memory records.
  static std::string Build(const std::vector<std::string>& records);
};

}  // namespace vec
