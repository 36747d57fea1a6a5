#include "storage/atomic_write.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace peterin {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

long systemWrite(int fd, const void* bytes, std::size_t count) {
    return ::write(fd, bytes, count);
}

int systemFsync(int fd) {
    return ::fsync(fd);
}

// Writes all of `content`, going on after short writes and interruptions.
int writeAll(int fd, std::string_view content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const long n = diskCalls().write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Flushes the directory entry of a rename; failure here loses nothing already written.
void syncDirectory(const std::filesystem::path& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A pipe or a device (the terminal, /dev/null, a FIFO a program reads) is written where it is:
// renaming a file over it would put a file in its place. Opening does not wait for a reader.
std::optional<std::string> writeInPlace(const std::filesystem::path& target,
                                        std::string_view content) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return reason(errno == ENXIO ? EPIPE : errno); // a pipe nobody reads
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int error = writeAll(fd, content);
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error == 0 ? std::nullopt : std::optional<std::string>(reason(error));
}

} // namespace

DiskCalls& diskCalls() {
    static DiskCalls calls{systemWrite, systemFsync};
    return calls;
}

std::optional<std::string> replaceFile(const std::filesystem::path& path, std::string_view content,
                                       bool flushToDisk) {
    std::filesystem::path target = path;
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        return reason(EISDIR);
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return writeInPlace(target, content);
    }
    // The rename would replace a file we may not write; refuse as opening it for writing would.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return reason(errno);
    }

    // A name of our own beside the target; O_EXCL makes sure we never write into someone else's.
    const std::filesystem::path dir = target.parent_path();
    // Built by appending: g++ 12 at -O3 warns falsely about chains of string additions here.
    std::string base = ".";
    base.append(target.filename().string()).append(".").append(std::to_string(::getpid()));
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string name = base;
        name.append(".").append(std::to_string(attempt)).append(".tmp");
        temp = dir / name;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return reason(errno);
        }
    }
    if (fd < 0) {
        return reason(EEXIST);
    }

    int error = writeAll(fd, content);
    if (error == 0 && exists) {
        // Keep the permissions of the file being replaced; failing to is not worth a lost save.
        ::fchmod(fd, old.st_mode & 07777);
    }
    if (error == 0 && flushToDisk && diskCalls().fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        return reason(error);
    }
    if (flushToDisk) {
        syncDirectory(dir);
    }
    return std::nullopt;
}

} // namespace peterin
