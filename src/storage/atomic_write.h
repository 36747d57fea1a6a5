#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace peterin {

// Replaces the file at `path` with `content` so that the old file is never left half-written:
// the bytes go to a new file beside it, are flushed to the disk, and only then is the new file
// renamed over the old one. A symbolic link is followed, so the file it names is replaced. A file
// the user may not write is refused, as opening it for writing would refuse it. A target that is
// not a regular file (a pipe, a device) is written in place, never replaced, and its errors
// are returned (/dev/full: "No space left on device").
// Returns nothing on success, else the system's reason (as strerror words it); on failure the
// old file is untouched and no temporary file is left behind. Without `flushToDisk` the new file
// is not waited for on the disk: the rename still keeps it whole if the program dies, but not
// if the machine does; for state rewritten at every step, where waiting would cost too much.
std::optional<std::string> replaceFile(const std::filesystem::path& path, std::string_view content,
                                       bool flushToDisk = true);

// The calls through which replaceFile puts the bytes on the disk. Tests put their own in place to
// fail as a failing disk does (EIO part-way, a flush that fails); everything else leaves them.
struct DiskCalls {
    long (*write)(int fd, const void* bytes, std::size_t count);
    int (*fsync)(int fd);
};
DiskCalls& diskCalls();

} // namespace peterin
