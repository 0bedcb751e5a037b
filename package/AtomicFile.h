#pragma once
// Replacing a file whole or not at all: the new bytes go to a temporary file in the same
// folder, are flushed to the disk, and then take the old file's name in one rename. A write
// that fails part way (a read-only folder, a full disk) leaves the old file as it was.

#include <string>
#include <string_view>

#include "base/Result.h"

namespace vec {

// Writes `bytes` as the file at `path`, replacing any file there. A symbolic link at `path`
// is followed, so the file it names is replaced and the link stays. A replaced file keeps
// its permission bits; a new one gets 0666 less the process's umask. On failure nothing at
// `path` has changed, the temporary file is removed, and the error names the path and the
// system's reason.
Status WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vec
