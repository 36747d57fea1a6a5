#include "files/recent_files.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "storage/atomic_write.h"
#include "storage/file_lock.h"

namespace peterin {

std::vector<std::string> withRecentFile(std::vector<std::string> list, const std::string& path) {
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos) {
        return list;
    }
    std::erase(list, path);
    list.insert(list.begin(), path);
    if (list.size() > kRecentFileCount) {
        list.resize(kRecentFileCount);
    }
    return list;
}

std::vector<std::string> readRecentFiles(const std::filesystem::path& file) {
    std::vector<std::string> list;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (list.size() < kRecentFileCount && std::getline(in, line)) {
        if (!line.empty() && std::find(list.begin(), list.end(), line) == list.end()) {
            list.push_back(line);
        }
    }
    return list;
}

std::optional<std::string> writeRecentFiles(const std::filesystem::path& file,
                                            const std::vector<std::string>& list) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string text;
    for (const std::string& name : list) {
        text += name + '\n';
    }
    return replaceFile(file, text);
}

std::vector<std::string> addRecentFile(const std::filesystem::path& file, const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    auto lockPath = file;
    lockPath += ".lock";
    // Without a lock (a folder that cannot be written) the write fails too.
    const auto lock = FileLock::take(lockPath);
    auto list = withRecentFile(readRecentFiles(file), path);
    writeRecentFiles(file, list);
    return list;
}

} // namespace peterin
