#pragma once

#include <algorithm>
#include <filesystem>
#include <grp.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace peterin {

// Permissions do not stop the superuser, and the tests may run as one (CI does). While this
// lives the process acts as an unprivileged user, who owns `folder` and what is in it, so that
// tests of unwritable folders and read-only files mean the same for everyone; the superuser
// comes back when it goes. `ok()` is false where the user can be neither.
class Unprivileged {
  public:
    explicit Unprivileged(const std::filesystem::path& folder) {
        if (::geteuid() != 0) {
            ok_ = true;
            return;
        }
        std::error_code ec;
        own(folder);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec)) {
            own(entry.path());
        }
        groups_.resize(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
        groups_.resize(static_cast<std::size_t>(
            std::max(::getgroups(static_cast<int>(groups_.size()), groups_.data()), 0)));
        if (::setgroups(0, nullptr) == 0 && ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0) {
            dropped_ = true;
            // The folder must be reachable by that user (a temporary folder under /root is not).
            ok_ = ::access(folder.c_str(), W_OK | X_OK) == 0;
        }
        if (!ok_) {
            restore();
        }
    }
    ~Unprivileged() { restore(); }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

    bool ok() const { return ok_; }

  private:
    static constexpr uid_t kNobody = 65534;

    static void own(const std::filesystem::path& path) {
        [[maybe_unused]] const int ignored = ::lchown(path.c_str(), kNobody, kNobody);
    }
    void restore() {
        if (dropped_) {
            dropped_ = false;
            [[maybe_unused]] int ignored = ::seteuid(0);
            ignored = ::setegid(0);
            ignored = ::setgroups(groups_.size(), groups_.data());
        }
    }

    std::vector<gid_t> groups_;
    bool dropped_ = false;
    bool ok_ = false;
};

} // namespace peterin
