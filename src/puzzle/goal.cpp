#include "puzzle/goal.h"

#include <charconv>

namespace peterin::puzzle {

namespace {

constexpr const char* kForms = "a goal is chain>=N, chain=N, clear-all, clear-colour=R (R one of "
                               "R, B, G, Y, P), clear-blobs>=N, clear-colours>=N or "
                               "clear-nuisance";

// The goals written with a number after them.
struct Counted {
    const char* prefix;
    GoalKind kind;
    std::int32_t most;
};
constexpr Counted kCounted[] = {
    {"chain>=", GoalKind::ChainAtLeast, kMostGoalCount},
    {"chain=", GoalKind::ChainExactly, kMostGoalCount},
    {"clear-blobs>=", GoalKind::ClearBlobsAtLeast, kMostGoalCount},
    {"clear-colours>=", GoalKind::ClearColoursAtLeast, 5},
};

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

ParsedGoal failure(std::string text) {
    return {std::nullopt, std::move(text)};
}

std::string quoted(std::string_view text) {
    std::string q = "\"";
    q.append(text);
    q += '"';
    return q;
}

std::int32_t kindCount(const std::array<std::int32_t, kCellKindCount>& counts, CellKind kind) {
    return counts[static_cast<std::size_t>(kind)];
}

// Blobs of the five colours and nuisance: what a clear-all leaves none of.
std::int32_t clearable(const std::array<std::int32_t, kCellKindCount>& counts) {
    std::int32_t n = 0;
    for (int k = static_cast<int>(CellKind::Red); k <= static_cast<int>(CellKind::Nuisance); ++k) {
        n += counts[static_cast<std::size_t>(k)];
    }
    return n;
}

} // namespace

std::string goalText(const Goal& goal) {
    for (const Counted& c : kCounted) {
        if (c.kind == goal.kind) {
            std::string text = c.prefix;
            text += std::to_string(goal.count);
            return text;
        }
    }
    switch (goal.kind) {
    case GoalKind::ClearAll:
        return "clear-all";
    case GoalKind::ClearColour: {
        std::string text = "clear-colour=";
        text += kindLetter(goal.colour);
        return text;
    }
    default:
        return "clear-nuisance";
    }
}

ParsedGoal parseGoal(std::string_view text) {
    const std::string_view goal = trimmed(text);
    if (goal == "clear-all") {
        return {Goal{GoalKind::ClearAll, 1, CellKind::Empty}, {}};
    }
    if (goal == "clear-nuisance") {
        return {Goal{GoalKind::ClearNuisance, 1, CellKind::Empty}, {}};
    }
    if (goal.starts_with("clear-colour=")) {
        const std::string_view letter = goal.substr(13);
        const auto kind = letter.size() == 1 ? kindFromLetter(letter[0]) : std::nullopt;
        if (!kind || !isColour(*kind)) {
            return failure("the colour of clear-colour must be one letter of R, B, G, Y and P, "
                           "not " +
                           quoted(letter));
        }
        return {Goal{GoalKind::ClearColour, 1, *kind}, {}};
    }
    for (const Counted& c : kCounted) {
        const std::string_view prefix = c.prefix;
        if (!goal.starts_with(prefix)) {
            continue;
        }
        const std::string_view digits = goal.substr(prefix.size());
        std::int32_t n = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        const bool allDigits =
            !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
        if (!allDigits || error != std::errc{} || end != digits.data() + digits.size() || n < 1 ||
            n > c.most) {
            std::string why = "the N of ";
            why.append(prefix);
            why += "N must be a number from 1 to " + std::to_string(c.most) + ", not ";
            why += quoted(digits);
            return failure(std::move(why));
        }
        return {Goal{c.kind, n, CellKind::Empty}, {}};
    }
    std::string why = "unknown goal " + quoted(goal) + ": ";
    why += kForms;
    return failure(std::move(why));
}

bool goalMet(const Goal& goal, const TurnTally& turn) {
    switch (goal.kind) {
    case GoalKind::ChainAtLeast:
        return turn.chains >= goal.count;
    case GoalKind::ChainExactly:
        return turn.chains == goal.count;
    case GoalKind::ClearBlobsAtLeast:
        return turn.mostCleared >= goal.count;
    case GoalKind::ClearColoursAtLeast:
        return turn.mostColours >= goal.count;
    case GoalKind::ClearColour:
        return kindCount(turn.before, goal.colour) > 0 && kindCount(turn.after, goal.colour) == 0;
    case GoalKind::ClearNuisance:
        return kindCount(turn.before, CellKind::Nuisance) > 0 &&
               kindCount(turn.after, CellKind::Nuisance) == 0;
    case GoalKind::ClearAll:
        return clearable(turn.before) > 0 && clearable(turn.after) == 0;
    }
    return false;
}

} // namespace peterin::puzzle
