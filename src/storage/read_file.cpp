#include "storage/read_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace peterin {

std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::int64_t maxBytes,
                                         std::string& content) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::strerror(errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return std::strerror(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return std::strerror(EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        return "Not a regular file";
    }
    if (st.st_size > maxBytes) {
        return "larger than " + std::to_string(maxBytes >> 20) + " MiB";
    }
    content.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::strerror(errno);
        }
        if (got == 0) {
            return std::nullopt;
        }
        // The file may grow while it is read: the limit holds all the same.
        if (static_cast<std::int64_t>(content.size()) + got > maxBytes) {
            return "larger than " + std::to_string(maxBytes >> 20) + " MiB";
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace peterin
