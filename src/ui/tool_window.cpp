#include "tool_window.h"

#include "data_paths.h"
#include "render/drawing.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <cctype>
#include <climits>

namespace peterin {

namespace {

// The client area that fits every control; the window with its frame is about 100 x 692.
constexpr int kClientWidth = 85;
constexpr int kClientHeight = 650;

constexpr int kPaletteSize = 35;

// A picture that a scaled screen (QT_SCALE_FACTOR 2 or 3) shows pixel-multiplied, as the
// player views are, rather than smoothed into a blur.
QIcon crispIcon(const QPixmap& picture) {
    QIcon icon(picture);
    for (const int scale : {2, 3}) {
        QPixmap larger =
            picture.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        larger.setDevicePixelRatio(scale);
        icon.addPixmap(larger);
    }
    return icon;
}

} // namespace

std::uint32_t randomPositionFromText(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            value = INT_MAX;
            if (!negative)
                break;
        }
    }
    if (negative)
        return 0;
    return static_cast<std::uint32_t>(value);
}

namespace {

// The nuisance each of the buttons 小, 大 and 岩 adds or takes away.
NuisanceUnit warningUnit(int id) {
    return id == kToolSmall ? NuisanceUnit::Small
                            : (id == kToolLarge ? NuisanceUnit::Large : NuisanceUnit::Rock);
}

} // namespace

ToolWindow::ToolWindow(Session& session, QWidget& main)
    : QWidget(&main, Qt::Tool), session_(session), main_(main) {
    const Settings& settings = session.game().settings;
    setWindowTitle(QStringLiteral("ツール"));
    setFixedSize(kClientWidth, kClientHeight);
    // The background is given once; a later "背景色" leaves this window as it is.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(pixelColour(settings.backgroundColour)));
    setPalette(palette);
    setAutoFillBackground(true);

    addLabel("[一時保存]", 0);
    addButton(kToolPrevious, {1, 21, 19, 18}, QStringLiteral("<"));
    addButton(kToolNext, {65, 21, 19, 18}, QStringLiteral(">"));
    idBox_ = new QLineEdit(QString::fromUtf8(kLiveIdText), this);
    idBox_->setGeometry(20, 21, 45, 16);
    idBox_->setAlignment(Qt::AlignCenter);
    idBox_->setReadOnly(true);
    idBox_->setFocusPolicy(Qt::NoFocus);
    idBox_->installEventFilter(this);
    addButton(kToolStore, {1, 39, 48, 25}, QStringLiteral("保存"));
    addButton(kToolRestore, {49, 39, 35, 25}, QStringLiteral("取出"));

    addLabel("[予告もるん]", 71);
    addPicture(kToolPlus, {2, 92, 40, 40}, "プラス.bmp", "＋");
    addPicture(kToolMinus, {2, 92, 40, 40}, "マイナス.bmp", "－")->hide();
    addPicture(kToolRock, {43, 92, 40, 40}, "岩.bmp", "岩");
    addPicture(kToolLarge, {1, 132, 40, 40}, "大.bmp", "大");
    addPicture(kToolSmall, {43, 132, 40, 40}, "小.bmp", "小");
    addPicture(kToolDrop, {1, 173, 82, 25}, "落下.bmp", "落下");

    addLabel("[乱数値]", 204);
    randomBox_ = new QLineEdit(QStringLiteral("0"), this);
    randomBox_->setGeometry(10, 225, 65, 20);
    randomBox_->setAlignment(Qt::AlignCenter);
    randomBox_->setMaxLength(31);
    randomBox_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), randomBox_));
    addButton(kToolInit, {1, 245, 41, 18}, QStringLiteral("INIT"));
    addButton(kToolOk, {42, 245, 42, 18}, QStringLiteral("OK"));

    addLabel("[モード]", 270);
    addPicture(kToolEdit, {0, 291, 85, 28}, "Edit.bmp", "Edit");
    addPicture(kToolPlay, {0, 319, 85, 28}, "Play.bmp", "Play");
    addPicture(kToolBattle, {0, 347, 85, 28}, "Buttle.bmp", "Battle");

    addLabel("[全部消す]", 383);
    addPicture(kToolClear, {8, 404, 70, 36}, "全もるん削除.bmp", "全部消す");

    addLabel("[もるん]", 446);
    addPalette(settings);
}

void ToolWindow::addLabel(const char* text, int top) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setGeometry(0, top, 85, 20);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

QPushButton* ToolWindow::addButton(int id, const QRect& rect, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setGeometry(rect);
    // A click must not keep the keyboard here: the keys belong to the main window.
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, id] { command(id); });
    buttons_[id] = button;
    return button;
}

QPushButton* ToolWindow::addPicture(int id, const QRect& rect, const char* file,
                                    const char* fallback) {
    // Pictures are files beside the program; without one the button names itself in words.
    const QPixmap picture(QDir(picturesFolder()).filePath(QString::fromUtf8(file)));
    if (picture.isNull())
        return addButton(id, rect, QString::fromUtf8(fallback));
    QPushButton* button = addButton(id, rect, QString());
    button->setIcon(crispIcon(picture));
    button->setIconSize(picture.size());
    return button;
}

void ToolWindow::addPalette(const Settings& settings) {
    for (int i = 0; i < static_cast<int>(kPaletteKinds.size()); ++i) {
        const auto kind = static_cast<std::size_t>(kPaletteKinds[static_cast<std::size_t>(i)]);
        QPixmap square(kPaletteSize, kPaletteSize);
        square.fill(QColor(pixelColour(settings.cellColours[kind])));
        QPushButton* button = addButton(
            kToolPaletteFirst + i,
            {6 + kPaletteSize * (i % 2), 466 + kPaletteSize * (i / 2), kPaletteSize, kPaletteSize},
            QString());
        button->setIcon(QIcon(square));
        button->setIconSize(square.size());
    }
}

void ToolWindow::command(int id) {
    QPushButton* plus = button(kToolPlus);
    QPushButton* minus = button(kToolMinus);
    switch (id) {
    case kToolPlus:
        minus->show();
        plus->hide();
        addWarning_ = false;
        break;
    case kToolMinus:
        plus->show();
        minus->hide();
        addWarning_ = true;
        break;
    case kToolSmall:
    case kToolLarge:
    case kToolRock:
        session_.apply(AdjustWarning{warningUnit(id), addWarning_});
        break;
    case kToolDrop:
        session_.apply(DropNuisance{});
        break;
    case kToolEdit:
        session_.apply(SetMode{Mode::Edit});
        break;
    case kToolPlay:
        session_.apply(SetMode{Mode::Play});
        break;
    case kToolBattle:
        session_.apply(SetMode{Mode::Battle});
        break;
    case kToolClear:
        session_.apply(ClearFields{});
        break;
    case kToolInit:
    case kToolOk:
        session_.apply(SetRandomPosition{randomPositionFromText(randomBox_->text().toStdString()),
                                         id == kToolInit});
        break;
    case kToolPrevious:
        session_.apply(TempCommand{TempStep::Previous});
        break;
    case kToolNext:
        session_.apply(TempCommand{TempStep::Next});
        break;
    case kToolStore:
        session_.apply(TempCommand{TempStep::Save});
        break;
    case kToolRestore:
        session_.apply(TempCommand{TempStep::Load});
        break;
    default:
        if (id >= kToolPaletteFirst &&
            id < kToolPaletteFirst + static_cast<int>(kPaletteKinds.size()))
            session_.apply(
                SetEditKind{kPaletteKinds[static_cast<std::size_t>(id - kToolPaletteFirst)]});
        break;
    }
    if (id != kToolRandomBox)
        giveActivationBack();
}

void ToolWindow::giveActivationBack() {
    main_.activateWindow();
}

void ToolWindow::setIdText(const QString& text) {
    idBox_->setText(text);
}

void ToolWindow::setRandomPosition(std::uint32_t position) {
    randomBox_->setText(QString::number(position));
}

QString ToolWindow::idText() const {
    return idBox_->text();
}

QString ToolWindow::randomText() const {
    return randomBox_->text();
}

QPushButton* ToolWindow::button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

void ToolWindow::closeEvent(QCloseEvent* event) {
    // Closing only hides the window; the menu shows it again.
    event->ignore();
    hide();
    emit hidden();
}

bool ToolWindow::eventFilter(QObject* watched, QEvent* event) {
    // The ID box is a display: a click on it hands the keyboard straight back.
    if (watched == idBox_ && event->type() == QEvent::MouseButtonPress) {
        giveActivationBack();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace peterin
