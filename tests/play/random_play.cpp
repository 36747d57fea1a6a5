#include "random_play.h"

#include <algorithm>
#include <sstream>

#include "play/battle.h"
#include "play/commands.h"
#include "play/editing.h"
#include "play/turn_cycle.h"

namespace peterin::testing {

namespace {

// A mouse drag step in a field view: mostly to a neighbouring cell of the last one, so that
// painted cells join up; sometimes a jump anywhere, off the field included.
void randomMouse(Harness& h, std::mt19937& random, int player) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    Game& game = h.game;
    const int cellW = game.settings.cellWidth;
    const int cellH = game.settings.cellHeight;
    const int bands = game.settings.showHeaven + game.settings.showLimbo;
    int column = game.hoverColumn;
    int row = game.hoverRow;
    if (pick(8) == 0) {
        column = pick(10) - 1;
        row = pick(18) - 3;
    } else {
        (pick(2) == 0 ? column : row) += pick(2) == 0 ? 1 : -1;
    }
    const int x = std::clamp(column * cellW + cellW / 2, 0, 65535);
    const int y = std::clamp((row + bands) * cellH + cellH / 2, 0, 65535);
    onFieldMouseMove(game, player, static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                     pick(10) < 7);
}

} // namespace

// One random user action or timer tick.
void randomStep(Harness& h, std::mt19937& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    Game& game = h.game;
    const int roll = pick(1000);
    if (roll < 600 || roll >= 975) {
        // A tick of one of the running timers, in random order between the two.
        const int first = pick(2);
        for (int p : {first, 1 - first}) {
            if (h.running(p)) {
                gameTick(game, p);
                break;
            }
        }
    } else if (roll < 760) {
        // Mostly the pair keys of every group, sometimes any bound key or a stray code.
        const int kind = pick(10);
        std::uint8_t key = 0;
        if (kind < 7) {
            key = game.settings.keys[static_cast<std::size_t>(pick(18))];
        } else if (kind < 9) {
            key = game.settings.keys[static_cast<std::size_t>(pick(kKeyCount))];
        } else {
            key = static_cast<std::uint8_t>(pick(256));
        }
        onKeyDown(game, key);
    } else if (roll < 890) {
        const int p = pick(5) == 0 ? 1 : 0;
        if (pick(30) == 0) {
            // Mostly two colours, so that painted cells join into groups that vanish.
            const int kind = pick(10);
            game.editKind = kind < 7   ? static_cast<CellKind>(1 + pick(2))
                            : kind < 8 ? CellKind::Empty
                                       : static_cast<CellKind>(pick(kCellKindCount));
        }
        randomMouse(h, random, p);
        if (pick(4) == 0) {
            onFieldLeftDown(game, p);
        }
        if (pick(50) == 0) {
            onFieldRightDown(game, p);
        }
    } else if (roll < 905) {
        adjustWarning(game, kNuisanceUnits[static_cast<std::size_t>(pick(3))], pick(3) != 0);
        if (pick(4) == 0) {
            dropNuisance(game);
        }
    } else if (roll < 930) {
        switch (pick(8)) {
        case 0:
            tempLoad(game);
            break;
        case 1:
        case 2:
            tempPrevious(game);
            break;
        case 3:
        case 4:
            tempNext(game);
            break;
        default:
            tempSave(game);
            break;
        }
    } else if (roll < 933) {
        setRandomPosition(game, static_cast<std::uint32_t>(pick(100000)), pick(2) == 0);
    } else if (roll < 938) {
        game.settings.nextCount = pick(6);
        resizeQueues(game);
    } else if (roll < 940) {
        changeFieldSize(game, 1 + pick(8), 1 + pick(14));
    } else if (roll < 960) {
        // A ready-made two-step chain somewhere, so that chains, scores and nuisance keep
        // running into everything else.
        Field& field = h.field(pick(2));
        const std::int32_t left = pick(std::max(field.width - 2, 1));
        const std::int32_t top = field.height - 4 - pick(3);
        const char* rows[] = {"Y--", "GY-", "GY-", "GGY"};
        for (std::int32_t r = 0; r < 4; ++r) {
            for (std::int32_t x = 0; x < 3; ++x) {
                setCell(field, left + x, top + r, kindFromLetter(rows[r][x]).value());
            }
        }
    } else if (roll < 963) {
        clearFields(game);
    } else if (roll < 975) {
        constexpr Mode kModes[] = {Mode::Edit, Mode::Play, Mode::Battle};
        game.onePersonBattle = pick(2) == 0;
        changeMode(game, kModes[pick(3)]);
    }
}

std::string fieldFault(const Field& field) {
    if (!field.hasCells()) {
        return "";
    }
    std::ostringstream fault;
    for (std::int32_t r = field.topRow(); r <= field.height; ++r) {
        for (std::int32_t column : {0, field.width + 1}) {
            const Cell& wall = field.cells[field.index(column, r)];
            if (wall.kind != CellKind::Block || wall.fallState != kResting) {
                fault << "wall " << column << "," << r;
                return fault.str();
            }
        }
    }
    for (std::int32_t column = 0; column <= field.width + 1; ++column) {
        if (field.cells[field.index(column, field.height)].kind != CellKind::Block) {
            fault << "floor " << column;
            return fault.str();
        }
    }
    Field recounted = field;
    recountGroups(recounted);
    for (std::int32_t x = 0; x < field.width; ++x) {
        for (std::int32_t r = 0; r < field.height; ++r) {
            if (field.at(x, r).groupSize != recounted.at(x, r).groupSize) {
                fault << "groupSize at " << x << "," << r << ": " << field.at(x, r).groupSize
                      << " instead of " << recounted.at(x, r).groupSize;
                return fault.str();
            }
        }
    }
    return "";
}

std::string playerFault(const Player& player) {
    std::ostringstream fault;
    const auto phase = static_cast<int>(player.phase);
    if (phase < 0 || phase > 4 || player.pendingNuisance < 0 || player.score < 0 ||
        player.chainCount < 0) {
        fault << "phase " << phase << " pending " << player.pendingNuisance << " score "
              << player.score << " chains " << player.chainCount;
        return fault.str();
    }
    const FallingPair& pair = player.fallingPair;
    const Field& field = player.field;
    if (field.hasCells() && (pair.x < 0 || pair.x >= field.width || pair.row < field.topRow() ||
                             pair.row >= field.height)) {
        fault << "pair at " << pair.x << "," << pair.row;
        return fault.str();
    }
    return fieldFault(field);
}

} // namespace peterin::testing
