// The work kept across exits and the list of recent files.
#include "files/last_state.h"
#include "files/program_folders.h"
#include "files/recent_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
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
    StateKeeper keeper(dir.path() / "state");
    keeper.startRun(); // nothing to move aside yet
    EXPECT_FALSE(keeper.wroteAny());
    ASSERT_FALSE(keeper.write(game));
    EXPECT_TRUE(keeper.wroteAny());

    TestGame fresh;
    ASSERT_TRUE(readFile(fresh.game, keeper.lastFile()).opened);
    EXPECT_EQ(fresh.game.tempSaves.size(), 3u);
    EXPECT_EQ(lastStateText(fresh.game), lastStateText(game));

    // The next run moves it aside before its own first write can replace it.
    const std::string kept = fileText(keeper.lastFile());
    StateKeeper next(dir.path() / "state");
    next.startRun();
    EXPECT_FALSE(std::filesystem::exists(next.lastFile()));
    EXPECT_EQ(fileText(next.previousFile()), kept);
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
