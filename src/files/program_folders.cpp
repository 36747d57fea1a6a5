#include "files/program_folders.h"

#include <cstdlib>

namespace peterin {

namespace {

std::filesystem::path baseFolder(const char* variable, const char* underHome) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / underHome;
}

} // namespace

std::filesystem::path programConfigFolder() {
    return baseFolder("XDG_CONFIG_HOME", ".config") / "peterin";
}

std::filesystem::path programStateFolder() {
    return baseFolder("XDG_STATE_HOME", ".local/state") / "peterin";
}

} // namespace peterin
