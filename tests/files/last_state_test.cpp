// The work kept across exits and the list of recent files.
#include "files/last_state.h"
#include "files/program_folders.h"
#include "files/recent_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "dat_test_support.h"
#include "files/dat_file.h"
#include "play/temp_store.h"
#include "rules/field.h"
#include "temp_dir.h"

namespace peterin {
namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Restores an environment variable when it goes.
class EnvironmentVariable {
  public:
    explicit EnvironmentVariable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name))
            old_ = value;
    }
    ~EnvironmentVariable() { set(old_); }
    void set(const std::optional<std::string>& value) {
        if (value)
            ::setenv(name_, value->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ProgramFolders, FollowTheXdgVariablesUnlessUnsetOrRelative) {
    EnvironmentVariable home("HOME"), config("XDG_CONFIG_HOME"), state("XDG_STATE_HOME");
    home.set("/home/u");
    struct Case {
        std::optional<std::string> value;
        const char* configFolder;
        const char* stateFolder;
    };
    const Case cases[] = {
        {"/srv/x", "/srv/x/peterin", "/srv/x/peterin"},
        {std::nullopt, "/home/u/.config/peterin", "/home/u/.local/state/peterin"},
        {"", "/home/u/.config/peterin", "/home/u/.local/state/peterin"},
        {"relative", "/home/u/.config/peterin", "/home/u/.local/state/peterin"},
    };
    for (const Case& c : cases) {
        config.set(c.value);
        state.set(c.value);
        EXPECT_EQ(programConfigFolder(), c.configFolder) << c.value.value_or("(unset)");
        EXPECT_EQ(programStateFolder(), c.stateFolder) << c.value.value_or("(unset)");
    }
}

TEST(RecentFiles, NewestComeFirstEachOnceAndAtMostEight) {
    struct Case {
        std::vector<std::string> before;
        std::string added;
        std::vector<std::string> after;
    };
    const std::vector<std::string> eight = {"1", "2", "3", "4", "5", "6", "7", "8"};
    const Case cases[] = {
        {{}, "/a.dat", {"/a.dat"}},
        {{"/a.dat", "/b.dat"}, "/b.dat", {"/b.dat", "/a.dat"}},
        {eight, "9", {"9", "1", "2", "3", "4", "5", "6", "7"}},
        {eight, "8", {"8", "1", "2", "3", "4", "5", "6", "7"}},
        {{"/a.dat"}, "/new\nline.dat", {"/a.dat"}}, // cannot be kept on one line
        {{"/a.dat"}, "", {"/a.dat"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(withRecentFile(c.before, c.added), c.after) << c.added;
    }

    TempDir dir;
    const auto file = dir.path() / "not" / "yet" / "recent";
    EXPECT_TRUE(readRecentFiles(file).empty());
    const std::vector<std::string> list = {"/x/位置.dat", "/y/b.dat"};
    ASSERT_FALSE(writeRecentFiles(file, list));
    EXPECT_EQ(readRecentFiles(file), list);

    // Two programs at once add to the list as it stands, not to the one each read at its start.
    const auto shared = dir.path() / "shared" / "recent";
    EXPECT_EQ(addRecentFile(shared, "/a.dat"), (std::vector<std::string>{"/a.dat"}));
    EXPECT_EQ(addRecentFile(shared, "/b.dat"), (std::vector<std::string>{"/b.dat", "/a.dat"}));
    EXPECT_EQ(addRecentFile(shared, "/a.dat"), (std::vector<std::string>{"/a.dat", "/b.dat"}));
    EXPECT_EQ(readRecentFiles(shared), (std::vector<std::string>{"/a.dat", "/b.dat"}));
}

TEST(StateKeeper, KeepsTheWholeWorkSoThatItReadsBackToTheSameState) {
    TestGame work;
    Game& game = work.game;
    game.settings.nextCount = 3;
    resizeQueues(game);
    changeFieldSize(game, 8, 14);
    setCell(work.p1().field, 0, 13, CellKind::Red);
    setCell(work.p2().field, 7, 13, CellKind::Block);
    for (int i = 0; i < 3; ++i) {
        tempStore(game);
        game.tempCursor = kLivePosition;
        setCell(work.p1().field, i + 1, 13, CellKind::Blue);
    }

    TempDir dir;
    auto keeper = std::make_unique<StateKeeper>(dir.path() / "state");
    keeper->startRun(); // nothing to move aside yet
    EXPECT_FALSE(keeper->wroteAny());
    ASSERT_FALSE(keeper->write(game));
    EXPECT_TRUE(keeper->wroteAny());

    TestGame fresh;
    ASSERT_TRUE(readFile(fresh.game, keeper->lastFile()).opened);
    EXPECT_EQ(fresh.game.tempSaves.size(), 3u);
    EXPECT_EQ(lastStateText(fresh.game), lastStateText(game));

    // The next run moves it aside before its own first write can replace it.
    const std::string kept = fileText(keeper->lastFile());
    keeper.reset();
    StateKeeper next(dir.path() / "state");
    next.startRun();
    EXPECT_FALSE(std::filesystem::exists(next.lastFile()));
    EXPECT_EQ(fileText(next.previousFile()), kept);
}

// Programs running at once each keep their own work, whichever exits first, and the next one
// offers the newest work left by a program no longer running.
TEST(StateKeeper, ProgramsAtOnceNeverMoveOrOverwriteEachOthersWork) {
    TestGame a, b;
    setCell(a.p1().field, 0, 11, CellKind::Red);
    setCell(b.p1().field, 0, 11, CellKind::Blue);
    const std::string workA = lastStateText(a.game), workB = lastStateText(b.game);
    for (const bool aExitsFirst : {true, false}) {
        SCOPED_TRACE(aExitsFirst ? "A exits first" : "B exits first");
        TempDir dir;
        const auto folder = dir.path() / "state";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / kLastStateName) << "the work of a run before both";

        auto first = std::make_unique<StateKeeper>(folder);
        first->startRun();
        ASSERT_FALSE(first->write(a.game));
        auto second = std::make_unique<StateKeeper>(folder);
        second->startRun(); // must not move the first one's live file aside
        EXPECT_NE(second->lastFile(), first->lastFile());
        EXPECT_EQ(fileText(first->lastFile()), workA);
        EXPECT_EQ(fileText(first->previousFile()), "the work of a run before both");
        ASSERT_FALSE(second->write(b.game));
        ASSERT_FALSE(first->write(a.game)); // each rewrites its own file only
        EXPECT_EQ(fileText(second->lastFile()), workB);
        // While both run, neither one's live work is offered as left.
        EXPECT_EQ(fileText(*second->leftWork()), "the work of a run before both");

        const auto lastA = first->lastFile(), lastB = second->lastFile();
        const auto now = std::filesystem::file_time_type::clock::now();
        std::filesystem::last_write_time(lastA, now - std::chrono::seconds(aExitsFirst ? 2 : 1));
        std::filesystem::last_write_time(lastB, now - std::chrono::seconds(aExitsFirst ? 1 : 2));
        (aExitsFirst ? first : second).reset();
        (aExitsFirst ? second : first).reset();

        StateKeeper next(folder);
        next.startRun();
        const auto left = next.leftWork();
        ASSERT_TRUE(left);
        EXPECT_EQ(fileText(*left), aExitsFirst ? workB : workA); // the newest of the two
        // Both are still on disk: the next run took the first one's names and put its work aside.
        EXPECT_EQ(next.lastFile(), lastA);
        EXPECT_EQ(fileText(next.previousFile()), workA);
        EXPECT_EQ(fileText(lastB), workB);
    }
}

TEST(StateKeeper, AFailureIsToldOnceUntilAWriteSucceedsAgain) {
    TestGame work;
    TempDir dir;
    const auto folder = dir.path() / "state";
    std::ofstream(folder) << "a file where the folder should be";
    StateKeeper keeper(folder);
    const auto first = keeper.write(work.game);
    ASSERT_TRUE(first);
    EXPECT_NE(first->text.find(keeper.lastFile().string()), std::string::npos);
    EXPECT_FALSE(keeper.write(work.game));
    EXPECT_FALSE(keeper.write(work.game));

    std::filesystem::remove(folder);
    EXPECT_FALSE(keeper.write(work.game));
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "in the way again";
    EXPECT_TRUE(keeper.write(work.game));
}

} // namespace
} // namespace peterin
