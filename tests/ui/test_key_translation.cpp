#include "ui/key_translation.h"

#include <QTest>

using peterin::KeyPress;
using peterin::translateKey;

namespace {

std::uint8_t fromKeysym(std::uint32_t keysym) {
    return translateKey({keysym, 0, false, false});
}
std::uint8_t fromQt(int key, bool keypad = false) {
    return translateKey({0, key, keypad, false});
}

} // namespace

class KeyTranslationTest : public QObject {
    Q_OBJECT

  private slots:
    void lettersMapToTheirCapitalWhateverTheShiftState() {
        QCOMPARE(fromKeysym('a'), std::uint8_t{0x41});
        QCOMPARE(fromKeysym('z'), std::uint8_t{0x5A});
        QCOMPARE(fromKeysym('Q'), std::uint8_t{0x51});
        QCOMPARE(fromQt(Qt::Key_W), std::uint8_t{0x57});
    }

    void digitsAndTheirShiftedCharactersNameTheDigitKey() {
        QCOMPARE(fromKeysym('0'), std::uint8_t{0x30});
        QCOMPARE(fromKeysym('9'), std::uint8_t{0x39});
        QCOMPARE(fromKeysym('!'), std::uint8_t{0x31});
        QCOMPARE(fromKeysym(')'), std::uint8_t{0x39});
        QCOMPARE(fromQt(Qt::Key_5), std::uint8_t{0x35});
    }

    void keypadDigitsAndOperatorsHaveTheirOwnCodes() {
        QCOMPARE(fromKeysym(0xffb0), std::uint8_t{0x60}); // KP_0
        QCOMPARE(fromKeysym(0xffb9), std::uint8_t{0x69}); // KP_9
        QCOMPARE(fromKeysym(0xffaa), std::uint8_t{0x6A}); // KP_Multiply
        QCOMPARE(fromKeysym(0xffaf), std::uint8_t{0x6F}); // KP_Divide
        QCOMPARE(fromKeysym(0xff8d), std::uint8_t{0x0D}); // KP_Enter
        QCOMPARE(fromKeysym(0xff96), std::uint8_t{0x25}); // KP_Left with NumLock off
        QCOMPARE(fromQt(Qt::Key_7, true), std::uint8_t{0x67});
        QCOMPARE(fromQt(Qt::Key_7, false), std::uint8_t{0x37});
        QCOMPARE(fromQt(Qt::Key_Plus, true), std::uint8_t{0x6B});
        QCOMPARE(fromQt(Qt::Key_Plus, false), std::uint8_t{0xBB});
    }

    void functionKeysRunFromF1ToF24ExceptTheSystemKeyF10() {
        QCOMPARE(fromKeysym(0xffbe), std::uint8_t{0x70}); // F1
        QCOMPARE(fromKeysym(0xffc6), std::uint8_t{0x78}); // F9
        QCOMPARE(fromKeysym(0xffc7), std::uint8_t{0});    // F10
        QCOMPARE(fromKeysym(0xffc8), std::uint8_t{0x7A}); // F11
        QCOMPARE(fromKeysym(0xffd5), std::uint8_t{0x87}); // F24
        QCOMPARE(fromQt(Qt::Key_F12), std::uint8_t{0x7B});
        QCOMPARE(fromQt(Qt::Key_F10), std::uint8_t{0});
        QCOMPARE(fromQt(Qt::Key_F24), std::uint8_t{0x87});
    }

    void movementAndEditingKeysMatchFromKeysymAndFromQtKey() {
        const struct {
            std::uint32_t keysym;
            int qtKey;
            std::uint8_t code;
        } keys[] = {
            {0xff51, Qt::Key_Left, 0x25},      {0xff52, Qt::Key_Up, 0x26},
            {0xff53, Qt::Key_Right, 0x27},     {0xff54, Qt::Key_Down, 0x28},
            {0x20, Qt::Key_Space, 0x20},       {0xff0d, Qt::Key_Return, 0x0D},
            {0xff1b, Qt::Key_Escape, 0x1B},    {0xff09, Qt::Key_Tab, 0x09},
            {0xff08, Qt::Key_Backspace, 0x08}, {0xff63, Qt::Key_Insert, 0x2D},
            {0xffff, Qt::Key_Delete, 0x2E},    {0xff50, Qt::Key_Home, 0x24},
            {0xff57, Qt::Key_End, 0x23},       {0xff55, Qt::Key_PageUp, 0x21},
            {0xff56, Qt::Key_PageDown, 0x22},  {0xffe1, Qt::Key_Shift, 0x10},
            {0xffe2, Qt::Key_Shift, 0x10},     {0xffe3, Qt::Key_Control, 0x11},
            {0xffe4, Qt::Key_Control, 0x11},
        };
        for (const auto& key : keys) {
            QCOMPARE(fromKeysym(key.keysym), key.code);
            QCOMPARE(fromQt(key.qtKey), key.code);
        }
    }

    void punctuationFollowsTheKeyLabels() {
        const struct {
            char ch;
            std::uint8_t code;
        } keys[] = {
            {':', 0xBA}, {';', 0xBB}, {',', 0xBC},  {'-', 0xBD}, {'.', 0xBE}, {'/', 0xBF},
            {'@', 0xC0}, {'[', 0xDB}, {'\\', 0xDC}, {']', 0xDD}, {'^', 0xDE}, {'_', 0xE2},
            {'<', 0xBC}, {'>', 0xBE}, {'*', 0xBA},  {'+', 0xBB}, {'?', 0xBF},
        };
        for (const auto& key : keys) {
            QCOMPARE(fromKeysym(static_cast<unsigned char>(key.ch)), key.code);
            QCOMPARE(fromQt(key.ch), key.code);
        }
        QCOMPARE(fromKeysym(0xa5), std::uint8_t{0xDC}); // yen sign
    }

    void charactersTypedInAShiftStateTheJapaneseLayoutLacksNameTheUsKey() {
        const auto typed = [](char ch, bool shift) {
            KeyPress press{static_cast<unsigned char>(ch), ch, false, false};
            press.shift = shift;
            return translateKey(press);
        };
        // Unshifted ' and = exist only on a US keyboard: its own keys, not 7 and -.
        QCOMPARE(typed('\'', false), std::uint8_t{0xDE});
        QCOMPARE(typed('=', false), std::uint8_t{0xBB});
        // Shifted @ and ^ are Shift+2 and Shift+6 there.
        QCOMPARE(typed('@', true), std::uint8_t{'2'});
        QCOMPARE(typed('^', true), std::uint8_t{'6'});
        // The Japanese keyboard's own shift states keep their keys.
        QCOMPARE(typed('\'', true), std::uint8_t{'7'});
        QCOMPARE(typed('=', true), std::uint8_t{0xBD});
        QCOMPARE(typed('@', false), std::uint8_t{0xC0});
        QCOMPARE(typed('^', false), std::uint8_t{0xDE});
    }

    void theKeyRightOfSlashAndTheKeyLeftOfZAreOneKeyInEitherShiftState() {
        // On a Japanese keyboard the ろ key and the yen key both type a backslash.
        const auto atKeycode = [](std::uint32_t keysym, std::uint32_t keycode, bool shift) {
            KeyPress press{keysym, static_cast<int>(keysym), false, false, shift};
            press.scanCode = keycode;
            return translateKey(press);
        };
        QCOMPARE(atKeycode('\\', 97, false), std::uint8_t{0xE2});
        QCOMPARE(atKeycode('_', 97, true), std::uint8_t{0xE2});
        QCOMPARE(atKeycode('\\', 132, false), std::uint8_t{0xDC});
        QCOMPARE(atKeycode('|', 132, true), std::uint8_t{0xDC});
        // The extra key of a 102-key keyboard, whatever its layout types there.
        QCOMPARE(atKeycode('<', 94, false), std::uint8_t{0xE2});
        QCOMPARE(atKeycode('>', 94, true), std::uint8_t{0xE2});
        QCOMPARE(atKeycode('<', 59, true), std::uint8_t{0xBC});
    }

    // Key presses as X reports them (keycode, keysym, Shift) under three layouts: the number row
    // and the punctuation keys give one code each, by their place, whatever they type.
    void theNumberRowAndPunctuationKeysGoByTheirPlace() {
        struct Recorded {
            const char* layout;
            std::uint32_t keycode;
            std::uint32_t keysym;
            bool shift;
            std::uint8_t code;
        };
        const Recorded presses[] = {
            {"us", 10, '1', false, '1'},     {"us", 10, '!', true, '1'},
            {"us", 16, '&', true, '7'},      {"us", 17, '*', true, '8'},
            {"us", 18, '(', true, '9'},      {"us", 19, ')', true, '0'},
            {"us", 20, '-', false, 0xBD},    {"us", 20, '_', true, 0xBD},
            {"us", 21, '=', false, 0xDE},    {"us", 21, '+', true, 0xDE},
            {"us", 34, '[', false, 0xC0},    {"us", 35, '}', true, 0xDB},
            {"us", 47, ';', false, 0xBB},    {"us", 47, ':', true, 0xBB},
            {"us", 48, '\'', false, 0xBA},   {"us", 48, '"', true, 0xBA},
            {"us", 49, '`', false, 0xF4},    {"us", 49, '~', true, 0xF4},
            {"us", 51, '|', true, 0xDD},     {"us", 61, '?', true, 0xBF},
            {"us", 38, 'a', false, 'A'},     {"us", 58, 'M', true, 'M'},
            {"jp", 19, '0', false, '0'},     {"jp", 19, '~', true, '0'},
            {"jp", 16, '\'', true, '7'},     {"jp", 20, '=', true, 0xBD},
            {"jp", 21, '^', false, 0xDE},    {"jp", 21, '~', true, 0xDE},
            {"jp", 132, '|', true, 0xDC},    {"jp", 34, '@', false, 0xC0},
            {"jp", 34, '`', true, 0xC0},     {"jp", 47, '+', true, 0xBB},
            {"jp", 48, ':', false, 0xBA},    {"jp", 48, '*', true, 0xBA},
            {"jp", 51, ']', false, 0xDD},    {"jp", 97, '_', true, 0xE2},
            {"jp", 49, 0xff2a, false, 0xF4}, {"fr", 10, '&', false, '1'},
            {"fr", 11, 0xe9, false, '2'},    {"fr", 12, '"', false, '3'},
            {"fr", 14, '(', false, '5'},     {"fr", 19, 0xe0, false, '0'},
            {"fr", 13, '4', true, '4'},      {"fr", 20, ')', false, 0xBD},
            {"fr", 21, '=', false, 0xDE},    {"fr", 34, 0xfe52, false, 0xC0},
            {"fr", 35, '$', false, 0xDB},    {"fr", 48, 0xf9, false, 0xBA},
            {"fr", 51, '*', false, 0xDD},    {"fr", 61, '!', false, 0xBF},
            {"fr", 94, '>', true, 0xE2},     {"fr", 24, 'a', false, 'A'},
            {"fr", 47, 'm', false, 'M'},     {"fr", 58, ',', false, 0xBC},
        };
        for (const Recorded& r : presses) {
            KeyPress press{r.keysym, r.keysym < 0x80 ? static_cast<int>(r.keysym) : 0, false, false,
                           r.shift};
            press.scanCode = r.keycode;
            QVERIFY2(translateKey(press) == r.code,
                     qPrintable(QStringLiteral("%1 keycode %2 keysym 0x%3 shift %4: 0x%5")
                                    .arg(QLatin1String(r.layout))
                                    .arg(r.keycode)
                                    .arg(r.keysym, 0, 16)
                                    .arg(r.shift)
                                    .arg(translateKey(press), 0, 16)));
        }
    }

    void altAndKeysPressedWithAltNeverReachTheGame() {
        QCOMPARE(fromKeysym(0xffe9), std::uint8_t{0}); // Alt_L
        QCOMPARE(fromKeysym(0xffea), std::uint8_t{0}); // Alt_R
        QCOMPARE(fromQt(Qt::Key_Alt), std::uint8_t{0});
        QCOMPARE(translateKey({'a', Qt::Key_A, false, true}), std::uint8_t{0});
        QCOMPARE(translateKey({0xff51, Qt::Key_Left, false, true}), std::uint8_t{0});
    }

    void windowsBreakAndEisuKeysKeepTheirCodesAsTheXServerReportsThem() {
        // The Windows key comes with Qt's Meta key, yet it is no system key.
        QCOMPARE(translateKey({0xffeb, Qt::Key_Meta, false, false}), std::uint8_t{0x5B});
        QCOMPARE(translateKey({0xffec, Qt::Key_Meta, false, false}), std::uint8_t{0x5C});
        // Ctrl+Pause arrives as Break, with no Qt key.
        QCOMPARE(fromKeysym(0xff6b), std::uint8_t{0x03});
        // The 英数 key of a Japanese keyboard.
        QCOMPARE(translateKey({0xff30, Qt::Key_Eisu_toggle, false, false}), std::uint8_t{0xF0});
        QCOMPARE(fromQt(Qt::Key_Eisu_toggle), std::uint8_t{0xF0});
        // Meta itself is still the Alt key on X11 keymaps.
        QCOMPARE(fromKeysym(0xffe7), std::uint8_t{0});
    }

    void theKeysymWinsOverTheQtKeyAndUnknownKeysFallBackToIt() {
        // A keypad digit reported with a plain Qt digit still counts as the keypad key.
        QCOMPARE(translateKey({0xffb3, Qt::Key_3, false, false}), std::uint8_t{0x63});
        // An unknown keysym with a known Qt key uses the Qt key.
        QCOMPARE(translateKey({0x1008ff11, Qt::Key_F2, false, false}), std::uint8_t{0x71});
        QCOMPARE(translateKey({0x1008ff11, 0, false, false}), std::uint8_t{0});
    }
};

QTEST_GUILESS_MAIN(KeyTranslationTest)
#include "test_key_translation.moc"
