// One file in a folder of the fuzzing process's own, removed at exit, for inputs that go through
// the disk as the program reads and writes them.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

class ScratchFile {
  public:
    explicit ScratchFile(const char* name) {
        std::string folder = (std::filesystem::temp_directory_path() / "fuzz-XXXXXX").string();
        if (::mkdtemp(folder.data()) == nullptr) {
            std::abort();
        }
        folder_ = folder;
        path_ = folder_ / name;
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
};
