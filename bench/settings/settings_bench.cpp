// Start-up reads 設定.ini once and the settings dialog writes it; these measure both on a file
// holding every key, without the disk.
#include "settings/ini_file.h"
#include "settings/settings.h"

#include <benchmark/benchmark.h>

namespace {

std::string fullFile() {
    peterin::IniFile ini;
    peterin::writeSettings(peterin::Settings{}, ini);
    return ini.toBytes();
}

void loadEveryKey(benchmark::State& state) {
    const std::string bytes = fullFile();
    for (auto _ : state) {
        peterin::Settings settings;
        peterin::LoadSettings(settings, peterin::IniFile::fromBytes(bytes));
        benchmark::DoNotOptimize(settings);
    }
}
BENCHMARK(loadEveryKey);

void saveIntoAnExistingFile(benchmark::State& state) {
    const std::string bytes = fullFile();
    const peterin::Settings settings;
    for (auto _ : state) {
        peterin::IniFile ini = peterin::IniFile::fromBytes(bytes);
        peterin::writeSettings(settings, ini);
        benchmark::DoNotOptimize(ini.toBytes());
    }
}
BENCHMARK(saveIntoAnExistingFile);

} // namespace
