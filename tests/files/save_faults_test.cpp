// Saves on a failing disk: a full file system, a write that fails part-way and a flush that
// fails. Whatever fails, the old file stays whole, no temporary file is left behind, and the
// user is told why, for position files and for 設定.ini alike.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <unistd.h>

#include "dat_test_support.h"
#include "settings/settings.h"
#include "storage/atomic_write.h"
#include "temp_dir.h"

namespace peterin {
namespace {

namespace fs = std::filesystem;

// A small file system of its own, filled to the last byte (root only; skipped elsewhere).
class FullDisk {
  public:
    explicit FullDisk(const fs::path& where) : where_(where) {
        if (::geteuid() != 0 || ::mount("tmpfs", where.c_str(), "tmpfs", 0, "size=256k") != 0) {
            return;
        }
        mounted_ = true;
    }
    ~FullDisk() {
        if (mounted_) {
            ::umount2(where_.c_str(), MNT_DETACH);
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return mounted_; }

    // Takes every byte left.
    void fill() const {
        const int fd = ::open((where_ / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, block.data(), 1) > 0) {
        }
        ::close(fd);
    }

  private:
    fs::path where_;
    bool mounted_ = false;
};

// Puts failing disk calls in place for a scope: the first `goodWrites` writes go through, the
// next fails with EIO; or the flush fails with EIO.
class FailingDisk {
  public:
    FailingDisk(int goodWrites, bool failFlush) : saved_(diskCalls()) {
        writesLeft() = goodWrites;
        diskCalls().write = [](int fd, const void* bytes, std::size_t count) -> long {
            if (writesLeft()-- <= 0) {
                errno = EIO;
                return -1;
            }
            // Part of the bytes only, so that a failure comes part-way through the file.
            return ::write(fd, bytes, std::min<std::size_t>(count, 16));
        };
        if (failFlush) {
            diskCalls().fsync = [](int) {
                errno = EIO;
                return -1;
            };
        }
    }
    ~FailingDisk() { diskCalls() = saved_; }
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

  private:
    static int& writesLeft() {
        static int left = 0;
        return left;
    }
    DiskCalls saved_;
};

// A save of one kind of file: returns the message it showed, or "" when it succeeded.
struct Save {
    const char* name;
    const char* file;
    std::function<std::string(const fs::path&)> run;
};

const Save kSaves[] = {
    {"position file", "a.dat",
     [](const fs::path& path) {
         TestGame t;
         WriteOptions all;
         all.bothPlayers = all.next = all.tempSaves = all.nextCounts = all.blobSize = true;
         return writeFile(t.game, path, all) ? std::string() : t.ui.messages.at(0).text;
     }},
    {"settings file", "設定.ini",
     [](const fs::path& path) {
         const SaveResult result = SaveSettings(Settings{}, path);
         return result ? std::string() : result.message.value().text;
     }},
};

const std::string kOld = "[old]\nkept=1\n";

void expectOldFileWhole(const fs::path& folder, const fs::path& path,
                        std::vector<std::string> names) {
    EXPECT_EQ(readAll(path), kOld);
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        entries.push_back(entry.path().filename().string());
    }
    std::sort(entries.begin(), entries.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(entries, names) << "a temporary file was left behind";
}

TEST(SaveFaults, AFailingDiskLeavesTheOldFileWholeAndSaysWhy) {
    struct Fault {
        const char* what;
        int goodWrites;
        bool failFlush;
    };
    const Fault faults[] = {
        {"the first write fails", 0, false},
        {"a write fails part-way", 3, false},
        {"the flush fails", 1 << 20, true},
    };
    for (const Save& save : kSaves) {
        for (const Fault& fault : faults) {
            SCOPED_TRACE(std::string(save.name) + ": " + fault.what);
            TempDir dir;
            const fs::path path = dir.path() / save.file;
            writeAll(path, kOld);
            std::string message;
            {
                FailingDisk disk(fault.goodWrites, fault.failFlush);
                message = save.run(path);
            }
            EXPECT_NE(message.find("Input/output error"), std::string::npos) << message;
            EXPECT_NE(message.find(path.string()), std::string::npos) << message;
            expectOldFileWhole(dir.path(), path, {save.file});
        }
    }
}

TEST(SaveFaults, AFullFileSystemLeavesTheOldFileWholeAndSaysWhy) {
    for (const Save& save : kSaves) {
        SCOPED_TRACE(save.name);
        TempDir dir;
        FullDisk disk(dir.path());
        if (!disk.mounted()) {
            GTEST_SKIP() << "mounting a small file system needs the superuser";
        }
        const fs::path path = dir.path() / save.file;
        writeAll(path, kOld);
        disk.fill();
        const std::string message = save.run(path);
        EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
        expectOldFileWhole(dir.path(), path, {save.file, "filler"});
        // With room again, the same save goes through.
        fs::remove(dir.path() / "filler");
        EXPECT_EQ(save.run(path), "");
        EXPECT_NE(readAll(path), kOld);
    }
}

} // namespace
} // namespace peterin
