#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace peterin {

// Reads a regular file whole, up to `maxBytes`: devices, pipes and folders are refused (they
// may never end, or never start), and so is a file larger than the limit, before it is read.
// Returns nothing and fills `content`, or the reason in words.
std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::int64_t maxBytes,
                                         std::string& content);

} // namespace peterin
