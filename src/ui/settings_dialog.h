#pragma once

#include "session/session.h"
#include "settings/message.h"
#include "settings/settings.h"

#include <QColor>
#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string_view>

class QCheckBox;
class QLineEdit;
class QTabWidget;

namespace peterin {

class ColourButton;
class KeyBox;

// Control ids of the settings dialog's buttons.
inline constexpr int kSettingsOk = 1;
inline constexpr int kSettingsCancel = 2;
inline constexpr int kSettingsApply = 302;
inline constexpr int kSettingsSaveForNextStart = 300;

// The number in an edit box's text as the dialog reads it: leading blanks and a sign allowed,
// reading stops at the first non-digit, no digits give 0, and a number beyond 32 bits gives the
// nearest 32-bit limit. Only the first 31 characters count.
std::int32_t readDialogNumber(std::string_view text);

// The settings dialog: sizes, colours, opacities and every key. "OK" and "適用" apply the values
// to the running game; "次回起動時も有効" writes them to 設定.ini and leaves the game as it was;
// "キャンセル" drops whatever was not applied.
class SettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // What the dialog asks of the user beside its own controls: a colour (nothing when the user
    // cancels) and the acknowledgement of a message. Tests replace both.
    using ColourChooser =
        std::function<std::optional<QColor>(const QColor& initial, QWidget* owner)>;
    using MessageSink = std::function<void(const Message& message)>;

    SettingsDialog(Session& session, QWidget* parent);

    // Applies the values shown to the running game ("適用") through the session; false when
    // they were refused (a field too large for memory) and nothing changed.
    bool apply();
    // Writes the values shown to 設定.ini without applying them ("次回起動時も有効").
    void saveForNextStart();

    // Whether an "OK" or "適用" applied values to the running game since the dialog opened.
    bool appliedAny() const { return appliedAny_; }

    // A control by its dialog id (edit boxes, colour buttons, key boxes, labels, buttons).
    QWidget* control(int id) const;
    QCheckBox* decisiveBox() const { return decisive_; }
    QTabWidget* tabs() const { return tabs_; }

    void setColourChooser(ColourChooser chooser) { chooseColour_ = std::move(chooser); }
    void setMessageSink(MessageSink sink) { showMessage_ = std::move(sink); }

  private:
    // A field size beyond the memory ceiling is told and refused; true when it was.
    bool refuseOversizedField(const Settings& settings);

    // Dialog units to pixels with this dialog's font.
    int dluX(int x) const;
    int dluY(int y) const;
    QRect dluRect(int x, int y, int width, int height) const;

    QWidget* makePage();
    void buildBasicPage(QWidget* page);
    void buildColourPage(QWidget* page);
    void buildPairKeyPage(QWidget* page);
    void buildOtherKeyPage(QWidget* page);
    void addGroup(QWidget* page, const char* title, int x, int y, int width, int height);
    void addLabel(QWidget* page, int id, const char* text, int x, int y);
    QLineEdit* addEdit(QWidget* page, int id, int x, int y, int width, int height);
    void addColourButton(QWidget* page, int id, int x, int y, int width, int height);
    void addKeyBox(QWidget* page, int id, const char* label, int labelId, int x, int y);
    void fillFromSettings();
    // Shows in red every key box whose key another action acting with it holds too.
    void markKeyConflicts();
    void chooseColourFor(int id);
    // Reads every control into `settings` and validates them.
    void readControls(Settings& settings) const;

    Session& session_;
    const Game& game_;
    int cx_ = 0;
    int cy_ = 0;
    QTabWidget* tabs_ = nullptr;
    std::map<int, QWidget*> controls_;
    QCheckBox* decisive_ = nullptr;                  // 勝敗あり
    std::array<std::uint32_t, 15> workingColours_{}; // by button id - 500
    bool appliedAny_ = false;
    ColourChooser chooseColour_;
    MessageSink showMessage_;
};

// Runs the settings dialog modally over `parent`. Returns whether values were applied to the
// running game; the field, queues, layout and repaint have then been taken care of.
bool runSettingsDialog(QWidget* parent, Session& session);

} // namespace peterin
