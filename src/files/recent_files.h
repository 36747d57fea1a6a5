#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace peterin {

// How many files "最近使ったファイル" lists.
inline constexpr std::size_t kRecentFileCount = 8;

// The list with `path` moved or added to the front (newest first), each file once, at most
// kRecentFileCount long. A name that cannot be kept on one line is left out.
std::vector<std::string> withRecentFile(std::vector<std::string> list, const std::string& path);

// The list kept in `file`, one name a line, newest first; empty when there is none.
std::vector<std::string> readRecentFiles(const std::filesystem::path& file);

// Replaces `file` with the list, creating its folder; the reason on failure.
std::optional<std::string> writeRecentFiles(const std::filesystem::path& file,
                                            const std::vector<std::string>& list);

// Adds `path` to the list kept in `file` as it stands now, under a lock, so that programs
// running at once each add their own files to one list rather than write over each other's.
// Returns the list as written (as it would have been when the write fails).
std::vector<std::string> addRecentFile(const std::filesystem::path& file, const std::string& path);

} // namespace peterin
