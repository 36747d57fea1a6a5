#include "storage/atomic_write.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "temp_dir.h"
#include "unprivileged.h"

namespace peterin {
namespace {

namespace fs = std::filesystem;

TEST(ReplaceFile, CreatesAndReplacesAFileLeavingNoTemporaryBehind) {
    TempDir dir;
    const fs::path path = dir.path() / "a.dat";
    ASSERT_FALSE(replaceFile(path, "first\n"));
    EXPECT_EQ(readAll(path), "first\n");
    ASSERT_FALSE(replaceFile(path, "second\n"));
    EXPECT_EQ(readAll(path), "second\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.dat"});
}

TEST(ReplaceFile, KeepsThePermissionsOfTheFileItReplaces) {
    TempDir dir;
    const fs::path path = dir.path() / "a.dat";
    writeAll(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_FALSE(replaceFile(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(ReplaceFile, ReplacesTheFileALinkPointsToAndKeepsTheLink) {
    TempDir dir;
    const fs::path real = dir.path() / "real.dat";
    const fs::path link = dir.path() / "link.dat";
    writeAll(real, "old");
    fs::create_symlink(real, link);
    ASSERT_FALSE(replaceFile(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readAll(real), "new");
}

TEST(ReplaceFile, ReportsAMissingDirectoryAndCreatesNothing) {
    TempDir dir;
    const auto error = replaceFile(dir.path() / "missing" / "a.dat", "x");
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "No such file or directory");
    EXPECT_TRUE(dir.entries().empty());
}

TEST(ReplaceFile, RefusesToReplaceADirectory) {
    TempDir dir;
    fs::create_directory(dir.path() / "sub");
    EXPECT_TRUE(replaceFile(dir.path() / "sub", "x"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "sub"));
}

TEST(ReplaceFile, WritesPipesAndDevicesWhereTheyAreAndTellsTheirErrors) {
    // A device: written, and still the device; one that is full says so.
    EXPECT_FALSE(replaceFile("/dev/null", "x"));
    EXPECT_EQ(replaceFile("/dev/full", "x"), std::optional<std::string>("No space left on device"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    // A pipe: what a reader reads; without one, an error rather than a wait.
    TempDir dir;
    const fs::path fifo = dir.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(replaceFile(fifo, "x"), std::optional<std::string>(std::strerror(EPIPE)));
    std::string read;
    std::thread reader([&] { std::getline(std::ifstream(fifo), read); });
    while (replaceFile(fifo, "through the pipe\n")) {
        std::this_thread::yield(); // until the reader has opened its end
    }
    reader.join();
    EXPECT_EQ(read, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(ReplaceFile, ReportsAnUnwritableDirectoryAndLeavesTheOldFile) {
    TempDir dir;
    const Unprivileged user(dir.path());
    if (!user.ok()) {
        GTEST_SKIP() << "the superuser cannot act as an unprivileged user here";
    }
    const fs::path path = dir.path() / "a.dat";
    writeAll(path, "old");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    const auto error = replaceFile(path, "new");
    ::chmod(dir.path().c_str(), 0755);
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "Permission denied");
    EXPECT_EQ(readAll(path), "old");
}

// Writing through a new file and a rename could otherwise replace a file the user protected.
TEST(ReplaceFile, LeavesAFileThatMayNotBeWrittenAsItWasAndSaysWhy) {
    TempDir dir;
    const Unprivileged user(dir.path());
    if (!user.ok()) {
        GTEST_SKIP() << "the superuser cannot act as an unprivileged user here";
    }
    const fs::path path = dir.path() / "a.dat";
    writeAll(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const auto error = replaceFile(path, "new");
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "Permission denied");
    EXPECT_EQ(readAll(path), "old");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.dat"});
}

// The file-size limit makes the kernel refuse the write part-way, as a full disk would.
TEST(ReplaceFile, AWriteThatFailsPartWayLeavesTheOldFileWholeAndNoTemporary) {
    TempDir dir;
    const fs::path path = dir.path() / "a.dat";
    writeAll(path, "old contents\n");

    std::optional<std::string> error;
    {
        FileSizeLimit limit(1000);
        error = replaceFile(path, std::string(5000, 'x'));
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "File too large");
    EXPECT_EQ(readAll(path), "old contents\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.dat"});
}

} // namespace
} // namespace peterin
