#include "settings_dialog.h"

#include "dialog_state.h"
#include "key_box.h"
#include "message_box.h"
#include "render/drawing.h"
#include "settings/key_conflicts.h"
#include "settings/settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>

#include <cctype>
#include <climits>
#include <cstdint>

namespace peterin {

// A button that is nothing but its colour: no border, no focus mark, no pressed look.
class ColourButton : public QAbstractButton {
  public:
    ColourButton(const std::uint32_t& colour, QWidget* parent)
        : QAbstractButton(parent), colour_(colour) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(pixelColour(colour_)));
    }

  private:
    const std::uint32_t& colour_; // the dialog's working colour, changed only by a choice
};

namespace {

// Dialog geometry and ids.
constexpr int kDialogWidth = 312;
constexpr int kDialogHeight = 292;
constexpr int kTabId = 106;
constexpr int kKeyBoxWidth = 50;
constexpr int kKeyBoxHeight = 17;
// Room for a key box's label between it and the box to its left.
constexpr int kKeyLabelRoom = 40;
constexpr int kFirstColourId = 500;
constexpr int kColourCount = 15;
// Characters of an edit box's text that are read; the rest is ignored.
constexpr int kEditReadLength = 31;

// The edit boxes of page "基本" and the two opacity boxes of page "色": id, place, setting.
struct NumberBox {
    int id;
    int x, y, width;
    std::int32_t Settings::*setting;
};
constexpr int kEditHeight = 14;
constexpr NumberBox kBasicBoxes[] = {
    {200, 65, 32, 30, &Settings::fieldWidth},       {201, 99, 32, 30, &Settings::fieldHeight},
    {202, 190, 32, 30, &Settings::cellWidth},       {203, 225, 32, 30, &Settings::cellHeight},
    {204, 65, 84, 30, &Settings::nextCount},        {205, 65, 111, 30, &Settings::nextColumns},
    {206, 105, 111, 30, &Settings::nextRows},       {207, 190, 111, 30, &Settings::nextCellWidth},
    {208, 225, 111, 30, &Settings::nextCellHeight}, {209, 65, 191, 30, &Settings::vanishCount},
};
constexpr NumberBox kOpacityBoxes[] = {
    {515, 260, 62, 21, &Settings::opacity},
    {516, 260, 84, 22, &Settings::emptyOpacity},
};

struct Label {
    int id;
    const char* text;
    int x, y;
};
constexpr Label kBasicLabels[] = {
    {600, "もるん個数", 23, 35}, {601, "もるんサイズ", 140, 35},
    {602, "表示可能数", 25, 89}, {603, "実質表示数", 25, 115},
    {604, "サイズ", 140, 115},   {605, "何個繋がったらもるんが消えるか", 25, 174},
};
constexpr Label kColourLabels[] = {
    {700, "背景", 48, 25},
    {701, "一時保存背景", 148, 25},
    {702, "赤もるん", 48, 130},
    {703, "青もるん", 48, 165},
    {704, "緑もるん", 48, 200},
    {705, "黄もるん", 148, 130},
    {706, "紫もるん", 148, 165},
    {707, "もるんなし", 148, 200},
    {708, "おじゃまもるん", 238, 130},
    {709, "鉄もるん", 238, 165},
    {710, "ブロック", 238, 200},
    {711, "三途領域", 48, 65},
    {712, "天国領域", 150, 65},
    {713, "三途（もるんなし）", 48, 87},
    {714, "天国（もるんなし）", 150, 87},
    {715, "透過率(%)", 220, 65},
    {716, "透過率(%)", 220, 87},
};

struct Place {
    int id;
    int x, y, width, height;
};
// Colour buttons: 500 + cell kind for the cells, 509 to 514 for the window colours.
constexpr Place kColourButtons[] = {
    {509, 20, 15, 24, 24},   {510, 120, 15, 24, 24},  {511, 20, 60, 24, 18},
    {512, 120, 60, 24, 18},  {513, 20, 82, 24, 18},   {514, 120, 82, 24, 18},
    {501, 20, 120, 24, 24},  {502, 20, 155, 24, 24},  {503, 20, 190, 24, 24},
    {504, 120, 120, 24, 24}, {505, 120, 155, 24, 24}, {500, 120, 190, 24, 24},
    {506, 210, 120, 24, 24}, {507, 210, 155, 24, 24}, {508, 210, 190, 24, 24},
};

// The window colours behind the buttons 509 to 514, in their section's order.
constexpr std::uint32_t Settings::*kWindowColours[] = {
    &Settings::backgroundColour, &Settings::savedIdColour,    &Settings::limboColour,
    &Settings::heavenColour,     &Settings::limboEmptyColour, &Settings::heavenEmptyColour,
};

// The colour setting behind colour button `id`.
template <class S> auto& colourSetting(S& settings, int id) {
    const int index = id - kFirstColourId;
    if (index < kCellKindCount)
        return settings.cellColours[static_cast<std::size_t>(index)];
    return settings.*kWindowColours[index - kCellKindCount];
}

// The pair-control boxes of one key group: 400 + 6 x group + row.
struct PairKeyRow {
    const char* label;
    PairAction action;
    int x;
    int y[kKeyGroupCount];
};
constexpr PairKeyRow kPairKeyRows[kPairActionCount] = {
    {"左移動", PairAction::Left, 45, {15, 90, 165}},
    {"右移動", PairAction::Right, 45, {40, 115, 190}},
    {"落とす", PairAction::Down, 130, {17, 90, 165}},
    {"左回転", PairAction::RotateLeft, 220, {17, 90, 165}},
    {"右回転", PairAction::RotateRight, 220, {40, 115, 190}},
    {"半回転", PairAction::HalfRotate, 130, {40, 115, 190}},
};
constexpr const char* kPairKeyGroups[kKeyGroupCount] = {"とこもるん・１人で対戦", "対戦１P",
                                                        "対戦２P"};

struct OtherKey {
    int id;
    int x, y;
    const char* label;
    int keyIndex;
};
constexpr OtherKey kOtherKeys[] = {
    {451, 50, 22, "編集", kKeyEditMode},
    {450, 145, 22, "プレイ", kKeyPlayMode},
    {452, 240, 22, "対戦", kKeyBattleMode},
    {453, 50, 52, "全消去", kKeyClearAll},
    {454, 145, 52, "保存", kKeyTempStore},
    {455, 240, 52, "取出", kKeyTempLoad},
    {456, 50, 83, "一時ID-1", kKeyTempIdPrev},
    {457, 145, 83, "一時ID+1", kKeyTempIdNext},
    {459, 50, 128, "赤もるん", editKindKeyIndex(1)},
    {460, 50, 158, "青もるん", editKindKeyIndex(2)},
    {461, 50, 188, "緑もるん", editKindKeyIndex(3)},
    {462, 145, 128, "黄もるん", editKindKeyIndex(4)},
    {463, 145, 158, "紫もるん", editKindKeyIndex(5)},
    {458, 145, 188, "もるんなし", editKindKeyIndex(0)},
    {464, 240, 128, "おじゃまもるん", editKindKeyIndex(6)},
    {465, 240, 158, "鉄もるん", editKindKeyIndex(7)},
    {466, 240, 188, "ブロック", editKindKeyIndex(8)},
};

// The setting of key box `id` (400 to 417 the pair controls, 450 to 466 the other keys).
int keyIndexOf(int id) {
    if (id < 400)
        return -1;
    if (id < 400 + kKeyGroupCount * kPairActionCount) {
        const int group = (id - 400) / kPairActionCount;
        const int row = (id - 400) % kPairActionCount;
        return pairKeyIndex(kPairKeyRows[row].action, group);
    }
    for (const OtherKey& key : kOtherKeys)
        if (key.id == id)
            return key.keyIndex;
    return -1;
}

// The fonts of the tabs (13 pixels) and of the labels and edit boxes (12 pixels).
QFont pageFont(int pixels) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(pixels);
    font.setWeight(QFont::Normal);
    return font;
}

std::optional<QColor> chooseWithDialog(const QColor& initial, QWidget* owner) {
    QColorDialog dialog(initial, owner);
    // The desktop's own chooser would not offer the sixteen custom colours.
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

std::uint32_t colourRef(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) |
           (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}

} // namespace

std::int32_t readDialogNumber(std::string_view text) {
    text = text.substr(0, kEditReadLength);
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated in 64 bits and held at the limit once past it, so no length of digits
    // overflows.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            value = limit;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

SettingsDialog::SettingsDialog(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), game_(session.game()), chooseColour_(chooseWithDialog),
      showMessage_([this](const Message& message) { showMessageBox(this, message); }) {
    setWindowTitle(QStringLiteral("Dialog"));
    QFont dialogFont = QApplication::font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);

    // Dialog units follow the dialog's font: a quarter of the average letter width, an eighth of
    // the line height.
    const QFontMetrics metrics(dialogFont);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    cx_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    cy_ = metrics.height();
    setFixedSize(dluX(kDialogWidth), dluY(kDialogHeight));

    tabs_ = new QTabWidget(this);
    tabs_->setGeometry(dluRect(0, 0, 311, 258));
    tabs_->tabBar()->setFont(pageFont(13));
    controls_[kTabId] = tabs_;

    QWidget* basic = makePage();
    buildBasicPage(basic);
    tabs_->addTab(basic, QStringLiteral("基本"));
    QWidget* colours = makePage();
    buildColourPage(colours);
    tabs_->addTab(colours, QStringLiteral("色"));
    QWidget* pairKeys = makePage();
    buildPairKeyPage(pairKeys);
    tabs_->addTab(pairKeys, QStringLiteral("操作"));
    QWidget* otherKeys = makePage();
    buildOtherKeyPage(otherKeys);
    tabs_->addTab(otherKeys, QStringLiteral("キー"));
    tabs_->setCurrentIndex(0);

    struct ButtonLayout {
        int id;
        const char* text;
        int x, y, width, height;
    };
    constexpr ButtonLayout kButtons[] = {
        {kSettingsOk, "OK", 60, 263, 47, 25},
        {kSettingsCancel, "キャンセル", 110, 264, 47, 24},
        {kSettingsApply, "適用", 161, 264, 47, 24},
        {kSettingsSaveForNextStart, "次回起動時も有効", 237, 263, 63, 24},
    };
    for (const ButtonLayout& entry : kButtons) {
        auto* button = new QPushButton(QString::fromUtf8(entry.text), this);
        button->setGeometry(dluRect(entry.x, entry.y, entry.width, entry.height));
        controls_[entry.id] = button;
    }
    auto* ok = static_cast<QPushButton*>(controls_[kSettingsOk]);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (apply())
            accept();
    });
    connect(static_cast<QPushButton*>(controls_[kSettingsCancel]), &QPushButton::clicked, this,
            &QDialog::reject);
    connect(static_cast<QPushButton*>(controls_[kSettingsApply]), &QPushButton::clicked, this,
            &SettingsDialog::apply);
    connect(static_cast<QPushButton*>(controls_[kSettingsSaveForNextStart]), &QPushButton::clicked,
            this, &SettingsDialog::saveForNextStart);

    fillFromSettings();
    markKeyConflicts();

    // The colour chooser offers the current colours as its custom colours; the sixteenth stays
    // as the user last left it in this run.
    keepDialogStateInProcess();
    for (int i = 0; i < 6; ++i)
        QColorDialog::setCustomColor(i, pixelColour(game_.settings.*kWindowColours[i]));
    for (int kind = 0; kind < kCellKindCount; ++kind)
        QColorDialog::setCustomColor(
            6 + kind, pixelColour(game_.settings.cellColours[static_cast<std::size_t>(kind)]));

    // Centred on the screen, as a dialog of its own rather than a part of the main window.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

int SettingsDialog::dluX(int x) const {
    return (x * cx_ + 2) / 4;
}

int SettingsDialog::dluY(int y) const {
    return (y * cy_ + 4) / 8;
}

QRect SettingsDialog::dluRect(int x, int y, int width, int height) const {
    const int left = dluX(x);
    const int top = dluY(y);
    return QRect(left, top, dluX(x + width) - left, dluY(y + height) - top);
}

QWidget* SettingsDialog::makePage() {
    auto* page = new QWidget;
    page->setMinimumSize(dluX(310), dluY(230));
    return page;
}

void SettingsDialog::addGroup(QWidget* page, const char* title, int x, int y, int width,
                              int height) {
    auto* group = new QGroupBox(QString::fromUtf8(title), page);
    group->setGeometry(dluRect(x, y, width, height));
}

void SettingsDialog::addLabel(QWidget* page, int id, const char* text, int x, int y) {
    auto* label = new QLabel(QString::fromUtf8(text), page);
    label->setFont(pageFont(12));
    label->move(dluX(x), dluY(y));
    label->adjustSize();
    controls_[id] = label;
}

QLineEdit* SettingsDialog::addEdit(QWidget* page, int id, int x, int y, int width, int height) {
    auto* edit = new QLineEdit(page);
    edit->setFont(pageFont(12));
    edit->setGeometry(dluRect(x, y, width, height));
    controls_[id] = edit;
    return edit;
}

void SettingsDialog::addColourButton(QWidget* page, int id, int x, int y, int width, int height) {
    auto* button =
        new ColourButton(workingColours_[static_cast<std::size_t>(id - kFirstColourId)], page);
    button->setGeometry(dluRect(x, y, width, height));
    connect(button, &QAbstractButton::clicked, this, [this, id] { chooseColourFor(id); });
    controls_[id] = button;
}

void SettingsDialog::addKeyBox(QWidget* page, int id, const char* label, int labelId, int x,
                               int y) {
    auto* box = new KeyBox(page);
    box->setGeometry(dluRect(x, y, kKeyBoxWidth, kKeyBoxHeight));
    controls_[id] = box;

    // The label stands just left of its box, its right edge 3 units away; a name too long for
    // the gap to the next box on the left goes onto two lines.
    auto* text = new QLabel(QString::fromUtf8(label), page);
    text->setFont(pageFont(12));
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    text->adjustSize();
    const int room = dluX(kKeyLabelRoom);
    if (text->width() > room) {
        text->setWordWrap(true);
        text->setFixedWidth(room);
        text->setFixedHeight(text->heightForWidth(room));
    }
    text->move(dluX(x - 3) - text->width(), box->y() + (box->height() - text->height()) / 2);
    controls_[labelId] = text;
}

void SettingsDialog::buildBasicPage(QWidget* page) {
    addGroup(page, "マップ", 9, 13, 290, 52);
    addGroup(page, "ネクスト", 8, 75, 290, 70);
    addGroup(page, "システム", 7, 154, 290, 64);
    for (const Label& label : kBasicLabels)
        addLabel(page, label.id, label.text, label.x, label.y);
    for (const NumberBox& box : kBasicBoxes)
        addEdit(page, box.id, box.x, box.y, box.width, kEditHeight);
    // A battle that can be lost: always so while the computer plays a side.
    decisive_ = new QCheckBox(QStringLiteral("勝敗あり（置けなくなった側の負け）"), page);
    decisive_->setFont(pageFont(12));
    decisive_->move(dluX(110), dluY(191));
    decisive_->adjustSize();
}

void SettingsDialog::buildColourPage(QWidget* page) {
    addGroup(page, "ウィンドウ", 8, 2, 290, 45);
    addGroup(page, "天空", 8, 49, 290, 56);
    addGroup(page, "もるん", 8, 108, 290, 113);
    for (const Label& label : kColourLabels)
        addLabel(page, label.id, label.text, label.x, label.y);
    for (const Place& place : kColourButtons)
        addColourButton(page, place.id, place.x, place.y, place.width, place.height);
    for (const NumberBox& box : kOpacityBoxes)
        addEdit(page, box.id, box.x, box.y, box.width, kEditHeight);
}

void SettingsDialog::buildPairKeyPage(QWidget* page) {
    for (int group = 0; group < kKeyGroupCount; ++group) {
        addGroup(page, kPairKeyGroups[group], 10, 5 + 75 * group, 290, 65);
        for (int row = 0; row < kPairActionCount; ++row) {
            const PairKeyRow& key = kPairKeyRows[row];
            const int id = 400 + kPairActionCount * group + row;
            addKeyBox(page, id, key.label, 717 + kPairActionCount * group + row, key.x,
                      key.y[group]);
        }
    }
}

void SettingsDialog::buildOtherKeyPage(QWidget* page) {
    addGroup(page, "システム", 10, 7, 290, 105);
    addGroup(page, "編集もるん", 10, 118, 290, 100);
    int labelId = 800;
    for (const OtherKey& key : kOtherKeys)
        addKeyBox(page, key.id, key.label, labelId++, key.x, key.y);
}

void SettingsDialog::markKeyConflicts() {
    std::array<std::uint8_t, kKeyCount> keys{};
    std::map<int, KeyBox*> boxes; // by key index
    for (const auto& [id, widget] : controls_) {
        if (const int index = keyIndexOf(id); index >= 0) {
            boxes[index] = static_cast<KeyBox*>(widget);
            keys[static_cast<std::size_t>(index)] = boxes[index]->code();
            connect(boxes[index], &KeyBox::codeChanged, this, &SettingsDialog::markKeyConflicts,
                    Qt::UniqueConnection);
        }
    }
    const auto conflicts = keysInConflict(keys);
    for (const auto& [index, box] : boxes)
        box->setMarked(conflicts[static_cast<std::size_t>(index)]);
}

void SettingsDialog::fillFromSettings() {
    const Settings& s = game_.settings;
    for (const NumberBox& box : kBasicBoxes)
        static_cast<QLineEdit*>(controls_.at(box.id))->setText(QString::number(s.*box.setting));
    for (const NumberBox& box : kOpacityBoxes)
        static_cast<QLineEdit*>(controls_.at(box.id))->setText(QString::number(s.*box.setting));
    for (int i = 0; i < kColourCount; ++i)
        workingColours_[static_cast<std::size_t>(i)] = colourSetting(s, kFirstColourId + i);
    decisive_->setChecked(s.decisiveBattle != 0);
    for (const auto& [id, widget] : controls_) {
        if (const int index = keyIndexOf(id); index >= 0)
            static_cast<KeyBox*>(widget)->setCode(s.keys[static_cast<std::size_t>(index)]);
    }
}

QWidget* SettingsDialog::control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void SettingsDialog::chooseColourFor(int id) {
    std::uint32_t& working = workingColours_[static_cast<std::size_t>(id - kFirstColourId)];
    QWidget* button = controls_.at(id);
    if (const auto chosen = chooseColour_(QColor(pixelColour(working)), button->parentWidget())) {
        working = colourRef(*chosen);
        button->update();
    }
}

void SettingsDialog::readControls(Settings& settings) const {
    for (const NumberBox& box : kBasicBoxes)
        settings.*box.setting =
            readDialogNumber(static_cast<QLineEdit*>(controls_.at(box.id))->text().toStdString());
    for (const NumberBox& box : kOpacityBoxes)
        settings.*box.setting =
            readDialogNumber(static_cast<QLineEdit*>(controls_.at(box.id))->text().toStdString());
    settings.decisiveBattle = decisive_->isChecked() ? 1 : 0;
    ValidateSettings(settings);
    // Colours and keys need no validation: every value is a valid colour or key code.
    for (int i = 0; i < kColourCount; ++i)
        colourSetting(settings, kFirstColourId + i) = workingColours_[static_cast<std::size_t>(i)];
    for (const auto& [id, widget] : controls_) {
        if (const int index = keyIndexOf(id); index >= 0)
            settings.keys[static_cast<std::size_t>(index)] = static_cast<KeyBox*>(widget)->code();
    }
}

bool SettingsDialog::refuseOversizedField(const Settings& settings) {
    const auto refused = fieldSizeRefusal(settings);
    if (refused)
        showMessage_(*refused);
    return refused.has_value();
}

bool SettingsDialog::apply() {
    Settings wanted = game_.settings;
    readControls(wanted);
    if (const auto refused = session_.applySettings(wanted)) {
        showMessage_(*refused);
        return false;
    }
    appliedAny_ = true;
    return true;
}

void SettingsDialog::saveForNextStart() {
    // The values go to the file only: they are read into a copy, so the running game never sees
    // them, not even while the confirmation is on screen and the turn timers go on.
    Settings saved = game_.settings;
    readControls(saved);
    if (refuseOversizedField(saved))
        return;
    const SaveResult result =
        game_.settingsFile.empty() ? SaveSettings(saved) : SaveSettings(saved, game_.settingsFile);
    if (result)
        showMessage_({"設定ファイルに保存しました", "OK", MessageIcon::None});
    else if (result.message)
        showMessage_(*result.message);
}

bool runSettingsDialog(QWidget* parent, Session& session) {
    SettingsDialog dialog(session, parent);
    dialog.exec();
    return dialog.appliedAny();
}

} // namespace peterin
