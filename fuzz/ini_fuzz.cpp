// Feeds arbitrary bytes to the settings loader as the contents of 設定.ini, then saves and
// reloads, checking that nothing crashes, every loaded value is in range and that a saved file
// reads back as it was written. Run it with its dictionary of section and key names, e.g.
//   build-fuzz/fuzz/ini_fuzz -dict=fuzz/ini.dict /tmp/ini-corpus fuzz/corpus/ini
#include "scratch_file.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

bool within(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

void checkValid(const peterin::Settings& s) {
    check(s.vanishCount >= 1, "vanishCount");
    check(within(s.warningHeight, 0, 100), "warningHeight");
    check(within(s.maxNextCount, 0, 10000), "maxNextCount");
    check(within(s.nextCount, 0, s.maxNextCount), "nextCount");
    check(within(s.nextColumns, 1, std::max(1, s.maxNextColumns)), "nextColumns");
    check(within(s.nextRows, 1, std::max(1, s.maxNextRows)), "nextRows");
    check(s.nextCellWidth >= 1 && s.nextCellHeight >= 1, "next cell size");
    check(within(s.maxFieldWidth, 2, 100000) && within(s.maxFieldHeight, 2, 100000), "max field");
    check(within(s.fieldWidth, 2, s.maxFieldWidth), "fieldWidth");
    check(within(s.fieldHeight, 1, s.maxFieldHeight), "fieldHeight");
    check(within(s.maxCellSize, 1, 10000), "maxCellSize");
    check(within(s.cellWidth, 1, s.maxCellSize) && within(s.cellHeight, 1, s.maxCellSize),
          "cell size");
    check(within(s.linkBlank, 0, 100) && within(s.vanishBlank, 0, 100), "blanks");
    check(within(s.showHeaven, 0, 1) && within(s.showLimbo, 0, 1), "switches");
    check(s.showHeaven == 0 || s.showLimbo == 1, "heaven without limbo");
    check(within(s.penSize, 0, 80), "penSize");
    check(!s.wheelKinds.empty() && s.wheelKinds.size() <= peterin::kWheelMax, "wheel length");
    for (const std::uint8_t kind : s.wheelKinds) {
        check(kind < peterin::kCellKindCount, "wheel kind");
    }
    check(s.fallTicks >= 0 && s.linkTicks >= 0 && s.vanishTicks >= 0, "ticks");
    check(within(s.opacity, 0, 100) && within(s.emptyOpacity, 0, 100), "opacity");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("設定.ini");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // One input in three goes through the disk, as the program reads and saves the file.
    const bool onDisk = size % 3 == 0;
    peterin::IniFile ini;
    if (onDisk) {
        std::ofstream(file.path(), std::ios::binary | std::ios::trunc) << bytes;
        check(peterin::IniFile::read(file.path(), ini) == peterin::IniFile::ReadStatus::Ok,
              "a file just written reads");
    } else {
        ini = peterin::IniFile::fromBytes(bytes);
    }

    peterin::Settings first;
    peterin::LoadSettings(first, ini);
    checkValid(first);

    // One save settles what the file held (odd text in the wheel, sizes bounded by a limit that
    // was itself clamped); from then on saving and loading must change nothing.
    peterin::writeSettings(first, ini);
    peterin::IniFile saved;
    if (onDisk) {
        check(ini.write(file.path()), "a file can be saved");
        check(peterin::IniFile::read(file.path(), saved) == peterin::IniFile::ReadStatus::Ok,
              "a saved file reads");
    } else {
        saved = peterin::IniFile::fromBytes(ini.toBytes());
    }
    peterin::Settings second;
    peterin::LoadSettings(second, saved);
    checkValid(second);
    check(second.keys == first.keys && second.cellColours == first.cellColours, "codes reread");
    check(second.wheelKinds == first.wheelKinds, "wheel reread");

    peterin::writeSettings(second, saved);
    const std::string again = saved.toBytes();
    peterin::Settings third;
    peterin::LoadSettings(third, peterin::IniFile::fromBytes(again));
    check(third == second, "settings reread after a save");
    peterin::writeSettings(third, saved);
    check(saved.toBytes() == again, "second save changed the file");
    return 0;
}
