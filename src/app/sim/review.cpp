// peterin-sim review: every turn of a record weighed by the engine.
#include "review/review.h"
#include "app/sim/commands.h"
#include "app/sim/json.h"
#include "storage/atomic_write.h"

#include <cstdio>
#include <memory>

#ifdef PETERIN_SIM_PLOT
#include "review_chart/review_chart.h"

#include <QApplication>
#endif

namespace peterin::sim {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string spot(const MoveSpot& s) {
    std::string text = "{\"column\":";
    text += std::to_string(s.column);
    text += ",\"turn\":";
    text += std::to_string(s.turn);
    text += '}';
    return text;
}

std::string heldText(const std::optional<analysis::HeldChain>& held, bool json) {
    if (!held) {
        return json ? "null" : "?";
    }
    return std::to_string(held->chain);
}

#ifdef PETERIN_SIM_PLOT
// Charts are widgets; the offscreen platform needs no display. Qt's own notes are not the
// tool's errors.
std::optional<std::string> plotPng(const ReviewResult& review) {
    const QtMessageHandler quiet =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    char name[] = "peterin-sim", option[] = "-platform", platform[] = "offscreen";
    char* argv[] = {name, option, platform, nullptr};
    int argc = 3;
    std::optional<std::string> png;
    {
        QApplication app(argc, argv);
        png = reviewPlotPng(review, 1000, 500);
    }
    qInstallMessageHandler(quiet);
    return png;
}
#endif

} // namespace

Outcome runReview(const ReviewCommand& command) {
    std::unique_ptr<Replay> checked;
    if (Outcome failed = checkedReplay(command.file, checked); failed.status != 0) {
        return failed;
    }
    ReviewOptions options;
    options.level = command.level;
    const ReviewResult review = reviewRecord(checked->record(), options);
    Outcome outcome;
    std::string& out = outcome.out;
    if (command.json) {
        out += "{\"turns\":[";
    }
    for (std::size_t i = 0; i < review.turns.size(); ++i) {
        const TurnReview& t = review.turns[i];
        const char* grade = gradeName(t.grade);
        if (command.json) {
            out += i ? ",{" : "{";
            out += "\"player\":" + std::to_string(t.player);
            out += ",\"played\":" + spot(t.played);
            out += ",\"best\":";
            out += t.best ? spot(*t.best) : "null";
            out += ",\"loss\":" + number(t.loss);
            out += ",\"grade\":";
            out += grade ? jsonString(grade) : "null";
            out += ",\"potential\":[";
            out += heldText(t.held[0], true);
            out += ',';
            out += heldText(t.held[1], true);
            out += "]}";
            continue;
        }
        out += "turn " + std::to_string(i + 1) + ": " + std::to_string(t.player + 1) + "P column " +
               std::to_string(t.played.column) + " turn " + std::to_string(t.played.turn);
        if (t.best) {
            out += ", best column " + std::to_string(t.best->column) + " turn " +
                   std::to_string(t.best->turn) + ", loss " + number(t.loss);
        } else {
            out += ", not weighed";
        }
        if (grade) {
            out += ", ";
            out += grade;
        }
        out += ", held chains " + heldText(t.held[0], false) + " / " + heldText(t.held[1], false) +
               "\n";
    }
    if (command.json) {
        out += "]}\n";
    }
    if (command.plot) {
#ifdef PETERIN_SIM_PLOT
        const std::optional<std::string> png = plotPng(review);
        const auto error = png ? replaceFile(*command.plot, *png)
                               : std::optional<std::string>("the picture could not be made");
        if (error) {
            return {1, "", "peterin-sim: cannot write " + *command.plot + ": " + *error + "\n"};
        }
#else
        return {1, "", "peterin-sim: this build has no charts; --plot needs the Qt program\n"};
#endif
    }
    return outcome;
}

} // namespace peterin::sim
