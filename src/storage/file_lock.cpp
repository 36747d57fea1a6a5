#include "storage/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace peterin {

namespace {

int lockFile(const std::filesystem::path& path, int how, int openFlags) {
    const int fd = ::open(path.c_str(), openFlags | O_CLOEXEC, 0644);
    if (fd < 0) {
        return -1;
    }
    int result;
    do {
        result = ::flock(fd, how);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        ::close(fd_); // closing the only open of it drops the lock
    }
}

std::optional<FileLock> FileLock::tryTake(const std::filesystem::path& path) {
    const int fd = lockFile(path, LOCK_EX | LOCK_NB, O_RDWR | O_CREAT);
    return fd < 0 ? std::nullopt : std::optional<FileLock>(FileLock(fd));
}

std::optional<FileLock> FileLock::take(const std::filesystem::path& path) {
    const int fd = lockFile(path, LOCK_EX, O_RDWR | O_CREAT);
    return fd < 0 ? std::nullopt : std::optional<FileLock>(FileLock(fd));
}

bool FileLock::isHeld(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int result;
    do {
        result = ::flock(fd, LOCK_SH | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    const bool held = result != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace peterin
