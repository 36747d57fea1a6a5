// peterin-sim run as a process, the way users and scripts run it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mini_json.h"
#include "run_process.h"

namespace peterin::testing {
namespace {

const std::string kSim = PETERIN_SIM;
const std::string kExamples = PETERIN_EXAMPLES;

ProcessResult sim(const std::vector<std::string>& args) {
    return runProcess(kSim, args);
}

// A file in a fresh temporary directory, removed at the end of the test.
class TempFile {
  public:
    explicit TempFile(const std::string& text) {
        std::string dir = (std::filesystem::temp_directory_path() / "peterin-sim-XXXXXX").string();
        if (::mkdtemp(dir.data()) == nullptr) {
            std::abort();
        }
        dir_ = dir;
        std::ofstream(path(), std::ios::binary) << text;
    }
    ~TempFile() { std::filesystem::remove_all(dir_); }
    std::string path() const { return (dir_ / "position.dat").string(); }
    std::string dir() const { return dir_.string(); }

  private:
    std::filesystem::path dir_;
};

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(PeterinSim, HelpDescribesEveryCommand) {
    const ProcessResult r = sim({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* command : {"resolve FILE.dat", "pairs", "check FILE.dat", "render FILE.dat",
                                "suggest FILE.dat", "autoplay", "replay REC", "render REC.pprec",
                                "solve FILE.dat", "battle --1p LEVEL --2p LEVEL"}) {
        EXPECT_NE(r.out.find(command), std::string::npos) << command;
    }
    EXPECT_EQ(sim({"pairs", "-h"}).out, r.out);
}

TEST(PeterinSim, ABadCommandLineGivesOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"play"},
        {"resolve"},
        {"resolve", "a.dat", "b.dat"},
        {"resolve", "a.dat", "--ini"},
        {"resolve", "a.dat", "--fast"},
        {"pairs", "--count", "0"},
        {"pairs", "--count", "12x"},
        {"pairs", "--position", "99999999999"},
        {"pairs", "--position="},
        {"pairs", "extra"},
        {"check"},
        {"check", "a.dat", "--json"},
        {"render", "a.dat"},
        {"render", "--png", "a.png"},
        {"render", "a.dat", "--gif"},
        {"render", "a.dat", "--png", "a.png", "--gif", "a.gif"},
        {"render", "a.dat", "--png", "a.png", "--json"},
        {"suggest"},
        {"suggest", "a.dat", "--count", "0"},
        {"suggest", "a.dat", "--pairs", "3"},
        {"autoplay", "--pairs", "0"},
        {"autoplay", "--pairs", "100001"},
        {"autoplay", "a.dat"},
        {"battle", "--1p", "5"},
        {"battle", "--1p", "6", "--2p", "1"},
        {"battle", "--1p", "best", "--2p", "1"},
        {"battle", "--1p", "1", "--2p", "1", "--games", "0"},
        // Line breaks in what the message quotes do not break it over two lines.
        {"\nplay"},
        {"pairs", "--position", "1\r\n2"},
        {"check", "a.dat", "\n--x"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) {
            joined += a + " ";
        }
        SCOPED_TRACE(joined);
        const ProcessResult r = sim(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(lineCount(r.err), 1u);
        EXPECT_EQ(r.err.rfind("peterin-sim: ", 0), 0u);
    }
}

TEST(PeterinSim, ANumberOutOfRangeSaysTheRange) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"pairs", "--position", "99999999999"},
         "--position 99999999999 is out of range: it must be from -2147483648 to 2147483647"},
        {{"pairs", "--position=-2147483649"}, "it must be from -2147483648 to 2147483647"},
        {{"pairs", "--count", "99999999999"}, "--count 99999999999 is out of range: it must be"},
        {{"pairs", "--count", "0"}, "--count 0 is out of range: it must be from 1 to"},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(args[1]);
        const ProcessResult r = sim(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
}

TEST(PeterinSim, AReadThatStopsEarlyIsToldAndAFileWithNothingUsableFails) {
    struct Case {
        std::string text;
        std::string reason; // the line on standard error
        int status;
    };
    const std::string binary("\x7f"
                             "ELF\x02\x01\x00\x00\xff\xfe\n\x00[\x01",
                             14);
    const Case cases[] = {
        {binary, "stopped at line 1: a line that is not a section tag", 1},
        {"Dear diary,\ntoday I played.\n", "stopped at line 1: a line that is not a section tag",
         1},
        {"\n\n[Q]\n", "stopped at line 3: an unknown section tag [Q]", 1},
        // Cut off inside the cell rows: the sizes before it are taken, so the command runs.
        {"[S]\n20, 20\n[M]\n6, 12\n------\n---", "stopped at line 6: the file ends inside", 0},
    };
    for (const Case& c : cases) {
        TempFile file(c.text);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"resolve", file.path()},
              std::vector<std::string>{"pairs", "--pattern", file.path()},
              std::vector<std::string>{"check", file.path()}}) {
            SCOPED_TRACE(args[0] + " " + c.reason);
            const ProcessResult r = sim(args);
            EXPECT_EQ(r.status, c.status);
            EXPECT_EQ(lineCount(r.err), 1u) << r.err;
            EXPECT_NE(r.err.find(file.path() + ": " + c.reason), std::string::npos) << r.err;
            // check explains the file either way; the others print a result only on success.
            EXPECT_EQ(r.out.empty(), args[0] != "check" && c.status != 0);
        }
    }
    // An empty file is read to its end: nothing to say, nothing wrong.
    TempFile empty("");
    const ProcessResult r = sim({"resolve", empty.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.empty());
}

TEST(PeterinSim, AFileThatCannotBeReadGivesOneLineAndStatusOne) {
    TempFile file("[S]\n1, 1\n");
    const std::string missing = file.dir() + "/missing.dat";
    const std::vector<std::vector<std::string>> cases = {
        {"resolve", missing, "--json"},
        {"resolve", file.path(), "--ini", missing},
        {"resolve", file.dir()},
        {"pairs", "--pattern", missing, "--json"},
        {"check", missing},
        {"render", missing, "--png", file.dir() + "/out.png"},
        {"render", file.path(), "--gif", missing + "/out.gif"}, // the output cannot be written
        {"suggest", missing},
        {"suggest", file.path(), "--ini", missing},
        {"autoplay", "--pattern", missing, "--json"},
        {"autoplay", "--ini", missing},
        {"check", missing + "\nsecond line"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0] + " " + args[1] + " " + args.back());
        const ProcessResult r = sim(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()); // never a partial document
        EXPECT_EQ(lineCount(r.err), 1u);
        if (args[0] == "render" && r.err.find("no drawing") != std::string::npos) {
            continue; // a build without drawing refuses render before it opens anything
        }
        EXPECT_NE(r.err.find(args[0] == "resolve" && args.size() == 2 ? file.dir() : missing),
                  std::string::npos)
            << r.err;
    }
    // An empty name shows as one.
    EXPECT_NE(sim({"resolve", ""}).err.find("cannot read \"\": "), std::string::npos);

    // A file that opens but fails part-way is not reported as read to its end.
    for (const char* command : {"check", "resolve"}) {
        SCOPED_TRACE(command);
        const ProcessResult r = sim({command, "/proc/self/mem"});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(lineCount(r.err), 1u);
        EXPECT_NE(r.err.find("Input/output error"), std::string::npos) << r.err;
    }
}

TEST(PeterinSim, ResolvesTheShippedThreeChainExample) {
    const ProcessResult r = sim({"resolve", kExamples + "/three_chain.dat", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    const auto doc = parseJson(r.out);
    ASSERT_TRUE(doc) << r.out;
    const Json& steps = (*doc)["steps"];
    ASSERT_EQ(steps.array.size(), 3u);
    const int scores[] = {40, 320, 640};
    const int nuisance[] = {0, 4, 9};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(steps[i]["chain"].number, static_cast<double>(i + 1));
        EXPECT_EQ(steps[i]["cleared"].number, 4);
        EXPECT_EQ(steps[i]["colours"].number, 1);
        EXPECT_EQ(steps[i]["groupBonus"].number, 0);
        EXPECT_EQ(steps[i]["score"].number, scores[i]);
        EXPECT_EQ(steps[i]["nuisance"].number, nuisance[i]);
    }
    EXPECT_EQ((*doc)["chains"].number, 3);
    EXPECT_EQ((*doc)["score"].number, 1000);
    EXPECT_GT((*doc)["ticks"].number, 3 * (21 + 26)); // each step is shown and vanishes
    const Json& field = (*doc)["field"];
    ASSERT_EQ(field.array.size(), 15u);
    for (const Json& row : field.array) {
        EXPECT_EQ(row.string, "------");
    }

    const ProcessResult text = sim({"resolve", kExamples + "/three_chain.dat"});
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')),
              "chain 1: 4 blobs cleared, 1 colour, group bonus 0, score 40, nuisance 0");
}

// 15 rows of a 6 x 12 field with `bottom` as its lowest rows, as a position file.
std::string fieldFile(const std::vector<std::string>& bottom) {
    std::string text = "[M]\n6, 12\n";
    for (std::size_t i = bottom.size(); i < 15; ++i) {
        text += "------\n";
    }
    for (const std::string& row : bottom) {
        text += row + "\n";
    }
    return text;
}

TEST(PeterinSim, ResolveCountsColoursGroupBonusAndLeavesWhatDoesNotVanish) {
    // A red group of five and a blue group of four vanish together in the first step, the blue
    // one found last; the iron blob and the lone yellow stay.
    TempFile file(fieldFile({"M-----", "RB----", "RBBB--", "RRRY--"}));
    const ProcessResult r = sim({"resolve", file.path(), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = parseJson(r.out);
    ASSERT_TRUE(doc) << r.out;
    ASSERT_EQ((*doc)["steps"].array.size(), 1u);
    const Json& step = (*doc)["steps"][0];
    EXPECT_EQ(step["cleared"].number, 9);
    EXPECT_EQ(step["colours"].number, 2);
    EXPECT_EQ(step["groupBonus"].number, 0);
    EXPECT_EQ(step["score"].number, 10 * 9 * 3);
    EXPECT_EQ(step["nuisance"].number, 3);
    EXPECT_EQ((*doc)["field"][14].string, "M--Y--");
}

TEST(PeterinSim, ResolveTakesTheSettingsFromAnIniFile) {
    // Three reds vanish only when three make a group. The file is Shift-JIS, as the program's is.
    TempFile position(fieldFile({"RRR---"}));
    TempFile ini("[\x83\x56\x83\x58\x83\x65\x83\x80]\n"
                 "\x8f\xc1\x82\xa6\x82\xe9\x98\x41\x8c\x8b\x90\x94=3\n");
    const ProcessResult withIni = sim({"resolve", position.path(), "--ini", ini.path(), "--json"});
    ASSERT_EQ(withIni.status, 0) << withIni.err;
    const auto doc = parseJson(withIni.out);
    ASSERT_TRUE(doc) << withIni.out;
    EXPECT_EQ((*doc)["chains"].number, 1);
    EXPECT_EQ((*doc)["steps"][0]["cleared"].number, 3);

    const auto plain = parseJson(sim({"resolve", position.path(), "--json"}).out);
    ASSERT_TRUE(plain);
    EXPECT_EQ((*plain)["chains"].number, 0);
    EXPECT_EQ((*plain)["field"][14].string, "RRR---");
}

// Runs peterin-sim with its memory held to about 1.5 GiB, as a machine without more would, so
// that a file it should refuse but tries to hold kills it instead of passing slowly. The
// sanitizers' shadow memory does not fit under a limit of the address space; there the
// sanitizer's own limit of resident memory stands in for it.
ProcessResult simWithLittleMemory(const std::vector<std::string>& args) {
    std::string command = PETERIN_SANITIZED ? "ASAN_OPTIONS=hard_rss_limit_mb=1536 exec \"$0\""
                                            : "ulimit -v 1572864 && exec \"$0\"";
    for (std::size_t i = 0; i < args.size(); ++i) {
        command += " \"$" + std::to_string(i + 1) + "\"";
    }
    std::vector<std::string> shellArgs{"-c", command, kSim};
    shellArgs.insert(shellArgs.end(), args.begin(), args.end());
    return runProcess("/bin/sh", shellArgs);
}

// An INI raising the field bounds (section マップ, Shift-JIS) to `maxSize` and the field itself
// to `width` x `height`.
std::string bigFieldIni(int maxSize, int width, int height) {
    const std::string max = std::to_string(maxSize);
    return "[\x83\x7d\x83\x62\x83\x76]\n"
           "\x89\xa1\x82\xe0\x82\xe9\x82\xf1\x8d\xc5\x91\xe5\x90\x94=" +
           max +
           "\n"
           "\x8f\x63\x82\xe0\x82\xe9\x82\xf1\x8d\xc5\x91\xe5\x90\x94=" +
           max +
           "\n"
           "\x89\xa1\x82\xe0\x82\xe9\x82\xf1\x90\x94=" +
           std::to_string(width) +
           "\n"
           "\x8f\x63\x82\xe0\x82\xe9\x82\xf1\x90\x94=" +
           std::to_string(height) + "\n";
}

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

TEST(PeterinSim, FilesAskingForMoreMemoryThanTheCeilingAreRefusedBeforeAnythingIsTaken) {
    struct Case {
        const char* what;
        std::string ini;
        std::string file;
        int status;
        const char* says; // in the message, besides the file's name
    };
    const std::string emptyPosition = "[N]\nRB\n2\nRB\n[-]\n";
    const Case cases[] = {
        // One [M] line asking for 10^10 cells, some 400 GB.
        {"a huge field", bigFieldIni(100000, 6, 12), "[M]\n100000, 100000\n", 1, "100000 × 100000"},
        {"a huge stored field", bigFieldIni(100000, 6, 12),
         "[M]\n2, 1\n--\n--\n--\n--\n[-]\n[M]\n3000, 3000\n", 1, "3000 × 3000"},
        // Every stored position starts with fields of the live size: 1000 x 1000 each, so a
        // few dozen of them would need several GB.
        {"too many large stored positions", bigFieldIni(2000, 1000, 1000),
         "[-]\n" + repeated(emptyPosition, 40), 1, "MiB"},
        // The settings alone: the field keeps its default size and the run does not go on.
        {"a huge field in the settings", bigFieldIni(100000, 100000, 100000), "[M]\n2, 1\n", 1,
         "100000 × 100000"},
        // Large but real: a field a thousand wide with stored positions reads and resolves.
        {"a wide field", bigFieldIni(2000, 1000, 12),
         "[M]\n1000, 12\n" + repeated(std::string(1000, '-') + "\n", 15) + "[-]\n" +
             repeated(emptyPosition, 20),
         0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile ini(c.ini);
        TempFile position(c.file);
        const ProcessResult result =
            simWithLittleMemory({"resolve", position.path(), "--ini", ini.path()});
        EXPECT_EQ(result.status, c.status) << result.err;
        if (c.status != 0) {
            EXPECT_EQ(lineCount(result.err), 1u) << result.err;
            EXPECT_EQ(result.err.find("で始めます"), std::string::npos) << result.err;
            EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
            const bool namesAFile = result.err.find(position.path()) != std::string::npos ||
                                    result.err.find(ini.path()) != std::string::npos;
            EXPECT_TRUE(namesAFile) << result.err;
        }
    }
}

TEST(PeterinSim, ListsThePairsOfTheStartingPosition) {
    const ProcessResult r = sim({"pairs", "--count", "3", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = parseJson(r.out);
    ASSERT_TRUE(doc) << r.out;
    ASSERT_EQ(doc->array.size(), 3u);
    const double positions[] = {0, 2, 4};
    const double pivots[] = {3, 1, 3};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ((*doc)[i]["position"].number, positions[i]);
        EXPECT_EQ((*doc)[i]["shape"].string, "2");
        EXPECT_EQ((*doc)[i]["slots"][0].number, 3);
        EXPECT_EQ((*doc)[i]["slots"][2].number, pivots[i]);
    }
    EXPECT_EQ(sim({"pairs", "--count", "3"}).out, "0 2 G-G-\n2 2 G-R-\n4 2 G-G-\n");
    // More pairs than the queue holds keep coming as the queue advances.
    EXPECT_EQ(lineCount(sim({"pairs", "--count=40"}).out), 40u);
}

TEST(PeterinSim, PairsFollowThePatternOfAFileAndItsPosition) {
    TempFile file("[N]\nRBGYP\n2\n@321RBGYP\n");
    const ProcessResult r = sim({"pairs", "--pattern", file.path(), "--count", "4"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "321 2 R-B-\n321 2 G-Y-\n321 2 P---\n321 2 ----\n");

    const ProcessResult moved = sim({"pairs", "--position", "7", "--count", "1"});
    EXPECT_EQ(moved.out.substr(0, 2), "7 ");
}

TEST(PeterinSim, CheckSaysWhatItTookAndWhereItStopped) {
    TempFile file("[S]\n30, 30\n[A]\n4, 1, 4\n[-]\n[M]\n2, 1\n--\n--\n--\n--\n[-]\n[S]\n9, 9\n");
    const ProcessResult r = sim({"check", file.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("line 1: [S] blob size 30 x 30"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("line 3: [A] 4 next pairs in 1 x 4"), std::string::npos);
    EXPECT_NE(r.out.find("line 6: [M] 1P field 2 x 1 (temporary position 0)"), std::string::npos);
    EXPECT_NE(r.out.find("1 temporary position"), std::string::npos);
    EXPECT_NE(r.out.find("stopped at line 13: [S] is only valid before the first [-]"),
              std::string::npos);

    // Every shipped example reads to its end.
    for (const auto& entry : std::filesystem::directory_iterator(kExamples)) {
        SCOPED_TRACE(entry.path().string());
        const ProcessResult whole = sim({"check", entry.path().string()});
        EXPECT_EQ(whole.status, 0);
        EXPECT_TRUE(whole.err.empty());
        EXPECT_NE(whole.out.find("read to the end"), std::string::npos);
    }
}

TEST(PeterinSim, APatternErrorIsReportedAndReadingStops) {
    TempFile file("[N]\nRBX\n2\n?*\n");
    const ProcessResult r = sim({"check", file.path()});
    EXPECT_EQ(r.status, 1); // its only section failed: nothing was taken
    EXPECT_NE(r.err.find("使用色指定3文字目"), std::string::npos);
    EXPECT_NE(r.out.find("stopped at line"), std::string::npos);
}

} // namespace
} // namespace peterin::testing

namespace peterin::testing {
namespace {

TEST(PeterinSim, SuggestRanksEveryReachablePlacementLosingOnesLast) {
    // Column 2 is full up to row 1: whatever lands on it blocks where the next pair appears.
    TempFile file(fieldFile({"--R---", "--B---", "--G---", "--Y---", "--R---", "--B---", "--G---",
                             "--Y---", "--R---", "--B---", "--G---"}));
    const ProcessResult r = sim({"suggest", file.path(), "--count", "100", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = parseJson(r.out);
    ASSERT_TRUE(doc) << r.out;
    ASSERT_GT(doc->array.size(), 5u);
    bool seenLosing = false;
    double previous = 1e300;
    for (const Json& s : doc->array) {
        EXPECT_GE(s["column"].number, 0);
        EXPECT_LE(s["column"].number, 5);
        EXPECT_GE(s["turn"].number, 0);
        EXPECT_LE(s["turn"].number, 3);
        const bool losing = s["losing"].boolean;
        EXPECT_TRUE(losing || !seenLosing) << "a losing placement ranked before a safe one";
        if (losing != seenLosing) {
            previous = 1e300;
        }
        seenLosing = losing;
        EXPECT_LE(s["value"].number, previous);
        previous = s["value"].number;
        if (s["column"].number == 2 && s["turn"].number == 0) {
            EXPECT_TRUE(losing);
        }
    }
    EXPECT_TRUE(seenLosing);

    const ProcessResult text = sim({"suggest", file.path()});
    EXPECT_EQ(lineCount(text.out), 5u);
    EXPECT_EQ(text.out.rfind("column ", 0), 0u);

    // A field too large for the engine is told, for suggest and autoplay alike.
    TempFile wide("[S]\n40, 40\n[M]\n70, 12\n"); // the field is cut short, its size taken
    for (const std::vector<std::string>& args : {std::vector<std::string>{"suggest", wide.path()},
                                                 {"autoplay", "--pattern", wide.path()}}) {
        const ProcessResult refused = sim(args);
        EXPECT_EQ(refused.status, 1) << args[0];
        EXPECT_NE(refused.err.find("is too large for the engine"), std::string::npos)
            << refused.err;
    }
}

TEST(PeterinSim, AutoplayTotalsWhatEachTurnDidAndRepeatsExactly) {
    // Without next pairs in sight and with pairs of two vanishing, the search is short and
    // chains come at once.
    TempFile ini("[\x83\x56\x83\x58\x83\x65\x83\x80]\n"
                 "\x8f\xc1\x82\xa6\x82\xe9\x98\x41\x8c\x8b\x90\x94=2\n"
                 "[\x83l\x83N\x83X\x83g]\n"
                 "\x95\\\x8e\xa6\x89\xc2\x94\\\x90\x94=0\n");
    const std::vector<std::string> args = {"autoplay", "--position", "7",       "--pairs",
                                           "12",       "--ini",      ini.path()};
    std::vector<std::string> json = args;
    json.push_back("--json");
    const ProcessResult r = sim(json);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = parseJson(r.out);
    ASSERT_TRUE(doc) << r.out;
    const Json& turns = (*doc)["turns"];
    ASSERT_EQ(turns.array.size(), 12u);
    double largest = 0;
    double score = 0;
    double lost = 0;
    for (const Json& t : turns.array) {
        largest = std::max(largest, t["chain"].number);
        score += t["score"].number;
        lost += t["lost"].boolean ? 1 : 0;
    }
    EXPECT_GT(largest, 0);
    EXPECT_EQ((*doc)["largestChain"].number, largest);
    EXPECT_EQ((*doc)["score"].number, score);
    EXPECT_EQ((*doc)["lostPairs"].number, lost);
    EXPECT_EQ(sim(json).out, r.out);

    const ProcessResult text = sim(args);
    EXPECT_EQ(lineCount(text.out), 13u);
    EXPECT_NE(text.out.find("largest chain " + std::to_string(static_cast<int>(largest)) +
                            ", score " + std::to_string(static_cast<long long>(score))),
              std::string::npos);
}

TEST(PeterinSim, AutoplayRecordsItsGameWhichReplaysTurnForTurnAndDraws) {
    TempFile dir("");
    const std::string record = dir.dir() + "/game.pprec";
    const ProcessResult played = sim({"autoplay", "--position", "3", "--pairs", "8", "--level", "1",
                                      "--json", "--record", record});
    ASSERT_EQ(played.status, 0) << played.err;
    const ProcessResult replayed = sim({"replay", record, "--json"});
    ASSERT_EQ(replayed.status, 0) << replayed.err;
    const auto a = parseJson(played.out);
    const auto b = parseJson(replayed.out);
    ASSERT_TRUE(a && b) << replayed.out;
    const Json& turns = (*b)["turns"];
    ASSERT_EQ(turns.array.size(), 8u);
    for (std::size_t i = 0; i < turns.array.size(); ++i) {
        for (const char* member : {"column", "turn", "chain", "score"}) {
            EXPECT_EQ(turns.array[i][member].number, (*a)["turns"].array[i][member].number)
                << "turn " << i + 1 << " " << member;
        }
    }
    ASSERT_EQ((*b)["fields"].array.size(), 2u);
    EXPECT_EQ((*b)["fields"].array[0].array.size(), 15u);

    // Reviewed at the level it was played at, the engine's own moves lose nothing.
    const std::string plot = dir.dir() + "/review.png";
    const ProcessResult reviewed =
        sim({"review", record, "--level", "1", "--json", "--plot", plot});
    const bool charts = reviewed.err.find("no charts") == std::string::npos;
    ASSERT_EQ(reviewed.status, charts ? 0 : 1) << reviewed.err;
    if (charts) {
        const auto review = parseJson(reviewed.out);
        ASSERT_TRUE(review) << reviewed.out;
        const Json& weighed = (*review)["turns"];
        ASSERT_EQ(weighed.array.size(), 8u);
        for (std::size_t i = 0; i < weighed.array.size(); ++i) {
            const Json& t = weighed.array[i];
            EXPECT_EQ(t["player"].number, 0);
            EXPECT_EQ(t["played"]["column"].number, (*a)["turns"].array[i]["column"].number);
            EXPECT_EQ(t["best"]["column"].number, t["played"]["column"].number);
            EXPECT_EQ(t["loss"].number, 0);
            EXPECT_EQ(t["grade"].kind, Json::Kind::Null);
            EXPECT_EQ(t["potential"].array.size(), 2u);
        }
        std::ifstream picture(plot, std::ios::binary);
        std::string magic(4, '\0');
        picture.read(magic.data(), 4);
        EXPECT_EQ(magic, "\x89PNG");
    }
    EXPECT_EQ(lineCount(sim({"replay", record, "--turn", "3"}).out), 3u + 2u * 16u);

    // A damaged record: one line, the file, the line and why; status 1.
    std::string text;
    {
        std::ifstream in(record);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    text.replace(text.find("\n= ") + 3, 1, "5");
    const std::string damaged = dir.dir() + "/damaged.pprec";
    std::ofstream(damaged) << text;
    const ProcessResult refused = sim({"replay", damaged});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(lineCount(refused.err), 1u);
    EXPECT_NE(refused.err.find(damaged + ": line "), std::string::npos) << refused.err;

    const ProcessResult drawn =
        sim({"render", record, "--gif", dir.dir() + "/turns.gif", "--from", "2", "--to", "4"});
    if (drawn.err.find("no drawing") == std::string::npos) {
        EXPECT_EQ(drawn.status, 0) << drawn.err;
        EXPECT_GT(std::filesystem::file_size(dir.dir() + "/turns.gif"), 0u);
        EXPECT_EQ(sim({"render", record, "--gif", dir.dir() + "/x.gif", "--to", "9"}).status, 2);
    }
}

TEST(PeterinSim, SolveCountsThePuzzlesSolutionsWithItsGoalOrAnother) {
    const std::string puzzle = kExamples + "/puzzle_two_chain.dat";
    const ProcessResult r = sim({"solve", puzzle, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lineCount(r.out), 1u);
    const auto json = parseJson(r.out);
    ASSERT_TRUE(json);
    EXPECT_EQ((*json)["goal"].string, "chain>=2");
    EXPECT_EQ((*json)["solutions"].number, 26);
    EXPECT_EQ((*json)["finalPositions"].number, 26);
    EXPECT_FALSE((*json)["unique"].boolean);
    ASSERT_EQ((*json)["first"].array.size(), 2u);
    EXPECT_EQ((*json)["first"][0]["column"].number, 1);
    EXPECT_EQ((*json)["first"][1]["turn"].number, 2);
    EXPECT_GT((*json)["nodes"].number, 0);

    // --all lists each solution, a pair's place after another; a goal no line meets has none.
    const ProcessResult all = sim({"solve", puzzle, "--all"});
    EXPECT_EQ(all.status, 0);
    EXPECT_NE(all.out.find("solution 16: column 4 turn 1\n"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("solution 26: "), std::string::npos);
    const auto none = parseJson(sim({"solve", puzzle, "--goal", "chain=3", "--json"}).out);
    ASSERT_TRUE(none);
    EXPECT_EQ((*none)["solutions"].number, 0);
    EXPECT_EQ((*none)["first"].kind, Json::Kind::Null);

    // Without a goal there is nothing to solve; a goal that is none is a bad command line.
    const ProcessResult noGoal = sim({"solve", kExamples + "/three_chain.dat"});
    EXPECT_EQ(noGoal.status, 1);
    EXPECT_NE(noGoal.err.find("holds no goal"), std::string::npos) << noGoal.err;
    const ProcessResult badGoal = sim({"solve", puzzle, "--goal", "chain>=x"});
    EXPECT_EQ(badGoal.status, 2);
    EXPECT_EQ(lineCount(badGoal.err), 1u);
    EXPECT_NE(badGoal.err.find("--goal: the N of chain>=N"), std::string::npos) << badGoal.err;
}

TEST(PeterinSim, BattlePlaysWholeGamesToAWinOrADrawAndRecordsEachAsTheProgramOpensIt) {
    TempFile dir("");
    const ProcessResult played = sim({"battle", "--1p", "1", "--2p", "baseline", "--position", "5",
                                      "--games", "2", "--json", "--record", dir.dir()});
    ASSERT_EQ(played.status, 0) << played.err;
    const auto doc = parseJson(played.out);
    ASSERT_TRUE(doc) << played.out;
    const Json& games = (*doc)["games"];
    ASSERT_EQ(games.array.size(), 2u);
    double wins[2] = {0, 0};
    for (std::size_t i = 0; i < games.array.size(); ++i) {
        const Json& g = games.array[i];
        EXPECT_EQ(g.object.size(), 5u);
        EXPECT_EQ(g["position"].number, 5.0 + static_cast<double>(i));
        ASSERT_EQ(g["winner"].kind, Json::Kind::Number) << "a game this short ends in a win";
        wins[static_cast<int>(g["winner"].number)] += 1;
        EXPECT_GT(g["ticks"].number, 0);
        EXPECT_GT(g["turns"].array.at(0).number, 0);
        EXPECT_EQ(g["largestChain"].array.size(), 2u);
        const std::string record =
            dir.dir() + "/battle-" + std::to_string(5 + static_cast<int>(i)) + ".pprec";
        EXPECT_EQ(sim({"replay", record}).status, 0) << record;
    }
    EXPECT_EQ((*doc)["wins"].array.at(0).number, wins[0]);
    EXPECT_EQ((*doc)["wins"].array.at(1).number, wins[1]);
    EXPECT_EQ((*doc)["draws"].number, 0);

    // Cut short, a game is a draw; the text gives a line a game and one of totals.
    const ProcessResult drawn = sim({"battle", "--1p", "2", "--2p", "1", "--ticks", "50"});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_EQ(drawn.out,
              "game 1 (position 0): draw after 50 ticks; turns 0/0, largest chain 0/0, "
              "nuisance sent 0/0\n1P (level 2) won 0, 2P (level 1) won 0, 1 draw of 1\n");
}

TEST(PeterinSim, RenderWritesADeviceWhereItIsAndAMinusToStandardOutput) {
    const std::string position = kExamples + "/three_chain.dat";
    const ProcessResult full = sim({"render", position, "--gif", "/dev/full"});
    if (full.err.find("no drawing") != std::string::npos) {
        GTEST_SKIP() << "this build draws nothing";
    }
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(lineCount(full.err), 1u);
    EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    const ProcessResult png = sim({"render", position, "--png", "-"});
    EXPECT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out.substr(0, 4), "\x89PNG");
}

} // namespace
} // namespace peterin::testing
