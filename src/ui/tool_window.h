#pragma once

#include "rules/cell.h"
#include "session/session.h"
#include "settings/settings.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <string>

class QLineEdit;
class QPushButton;

namespace peterin {

// Control ids of the tool window; the keys and the tests press buttons by these.
inline constexpr int kToolPlus = 3;
inline constexpr int kToolMinus = 4;
inline constexpr int kToolSmall = 5;
inline constexpr int kToolLarge = 6;
inline constexpr int kToolRock = 7;
inline constexpr int kToolDrop = 8;
inline constexpr int kToolEdit = 12;
inline constexpr int kToolPlay = 13;
inline constexpr int kToolBattle = 14;
inline constexpr int kToolClear = 18;
inline constexpr int kToolPaletteFirst = 200; // 200..208
inline constexpr int kToolRandomBox = 300;
inline constexpr int kToolInit = 301;
inline constexpr int kToolOk = 302;
inline constexpr int kToolIdBox = 330;
inline constexpr int kToolPrevious = 331;
inline constexpr int kToolNext = 332;
inline constexpr int kToolStore = 333;
inline constexpr int kToolRestore = 334;

// The cell kind each palette button selects, by its offset from kToolPaletteFirst.
inline constexpr std::array<CellKind, 9> kPaletteKinds = {
    CellKind::Empty,  CellKind::Block,  CellKind::Nuisance, CellKind::Iron, CellKind::Green,
    CellKind::Purple, CellKind::Yellow, CellKind::Blue,     CellKind::Red,
};

// The random-position box's text as a position: leading blanks, an optional sign and the
// leading digits, as the standard decimal conversion reads them; no digits or a negative
// number give 0, and a number too large for a signed 32-bit integer stops at its largest value.
std::uint32_t randomPositionFromText(const std::string& text);

// The narrow palette "ツール" beside the main window: browses and uses the stored positions,
// adjusts and drops the announced nuisance, sets the random position, switches the mode, clears
// the fields and picks the edit kind. It keeps no game state apart from the warning adjust sign,
// and acts only through the session's commands; after each click `main` takes the activation.
class ToolWindow : public QWidget {
    Q_OBJECT

  public:
    // The background and palette colours are taken from the settings now and kept.
    ToolWindow(Session& session, QWidget& main);

    // Carries out the click of control `id`, then gives the main window its activation back
    // (except for the random-position box, which the user types into).
    void command(int id);

    // What the main window shows here.
    void setIdText(const QString& text);
    void setRandomPosition(std::uint32_t position);

    QString idText() const;
    QString randomText() const;
    QLineEdit* randomBox() const { return randomBox_; }
    QPushButton* button(int id) const;
    // Whether the next 小, 大 or 岩 subtracts instead of adding.
    bool subtracting() const { return !addWarning_; }

  signals:
    // Closed with its caption button: it is hidden, and its menu item loses the check mark.
    void hidden();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void addLabel(const char* text, int top);
    QPushButton* addButton(int id, const QRect& rect, const QString& text);
    QPushButton* addPicture(int id, const QRect& rect, const char* file, const char* fallback);
    void addPalette(const Settings& settings);
    void giveActivationBack();

    Session& session_;
    QWidget& main_;
    bool addWarning_ = true;
    QLineEdit* idBox_ = nullptr;
    QLineEdit* randomBox_ = nullptr;
    std::map<int, QPushButton*> buttons_;
};

} // namespace peterin
