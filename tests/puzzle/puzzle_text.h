#pragma once

#include <array>
#include <string>
#include <string_view>

namespace peterin::testing {

// A puzzle file's text: a 6 x 12 field whose visible rows are `rows` (top to bottom), the
// pattern's colour tokens (the upper blob of each pair first) and the goal line, if any.
inline std::string puzzleText(const std::array<std::string_view, 12>& rows, std::string_view tokens,
                              std::string_view goal) {
    std::string text = "[M]\n6, 12\n------\n------\n------\n";
    for (const std::string_view row : rows) {
        text.append(row);
        text += '\n';
    }
    text += "[N]\nRBGYP\n2\n";
    text.append(tokens);
    text += '\n';
    if (!goal.empty()) {
        text += "[G]\n";
        text.append(goal);
        text += '\n';
    }
    return text;
}

// The shipped example's position: a two-chain for two of its pairs.
inline constexpr std::array<std::string_view, 12> kTwoChainRows = {
    "------", "------", "------", "------", "------", "------",
    "------", "------", "G-----", "RG--YB", "RRGYBB", "BBGYYR",
};

} // namespace peterin::testing
