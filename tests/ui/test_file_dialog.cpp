#include "ui/dialog_state.h"
#include "ui/file_chooser.h"
#include "ui/qt_japanese.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmapCache>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace peterin;

namespace {

// The names of the files (not folders) in a folder that anyone opened while it was watched.
class OpenWatch {
  public:
    explicit OpenWatch(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenWatch() { ::close(fd_); }

    QStringList openedFiles() {
        QStringList names;
        alignas(inotify_event) char buffer[8192];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0 && !(event->mask & IN_ISDIR))
                    names << QString::fromLocal8Bit(event->name);
                p += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    }

  private:
    int fd_;
};

// Opens the pipe for writing if a reader still waits on it after a few seconds, so that a
// dialog blocked on it comes back and the test can fail instead of hanging.
class PipeRescuer {
  public:
    explicit PipeRescuer(QByteArray pipe) : pipe_(std::move(pipe)) {
        thread_ = std::thread([this] {
            for (int i = 0; i < 100 && !done_; ++i)
                ::usleep(50'000);
            if (done_)
                return;
            const int fd = ::open(pipe_.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                rescued_ = true;
                ::close(fd);
            }
        });
    }
    ~PipeRescuer() { finish(); }
    // Whether a reader was blocked on the pipe.
    bool finish() {
        done_ = true;
        if (thread_.joinable())
            thread_.join();
        return rescued_;
    }

  private:
    QByteArray pipe_;
    std::atomic<bool> done_{false};
    std::atomic<bool> rescued_{false};
    std::thread thread_;
};

} // namespace

class FileDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void everyDialogBrowsesAFolderOfSpecialFilesWithoutOpeningAny() {
        QTemporaryDir dir;
        const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        // Names that say nothing of the type are what a content sniffer opens.
        for (const char* name : {"kmsg", "notes", "position.dat"}) {
            QFile file(dir.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[M]\n6, 12\n");
        }
        const std::function<QString(DialogFileChooser&)> asks[] = {
            [](DialogFileChooser& c) { return c.openName(nullptr); },
            [](DialogFileChooser& c) { return c.saveName(nullptr); },
            [](DialogFileChooser& c) { return c.pictureName(nullptr, QStringLiteral("png")); },
        };
        for (const auto& ask : asks) {
            DialogFileChooser chooser;
            OpenWatch watch(dir.path());
            PipeRescuer rescuer(pipe);
            bool browsed = false;
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog != nullptr);
                dialog->setViewMode(QFileDialog::Detail);
                dialog->setDirectory(dir.path());
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(name != nullptr);
                QTest::qWait(200);
                // Typing a folder lists it in the completer; each special file by name too.
                QTest::keyClicks(name, dir.path() + QLatin1Char('/'));
                QTest::qWait(200);
                for (const char* typed : {"pipe", "kmsg", "notes"}) {
                    name->setText(dir.filePath(QString::fromUtf8(typed)));
                    QTest::qWait(100);
                }
                browsed = true;
                dialog->reject();
            });
            QCOMPARE(ask(chooser), QString());
            QVERIFY(browsed);
            QVERIFY2(!rescuer.finish(), "a dialog blocked reading the pipe");
            QCOMPARE(watch.openedFiles(), QStringList());
        }
    }

    void theStandardDialogsSpeakJapanese() {
        QVERIFY(installQtJapanese(*QCoreApplication::instance()));
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            for (QPushButton* button :
                 dialog->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
                buttons << button->text();
            dialog->reject();
        });
        DialogFileChooser chooser;
        chooser.openName(nullptr);
        QCOMPARE(buttons, (QStringList{QStringLiteral("開く(&O)"), QStringLiteral("キャンセル")}));
    }

    // What was drawn for a dialog's icons is dropped when it closes, and only then: a window
    // that stays would have to draw it again.
    void aClosingDialogEmptiesThePixmapCache() {
        forgetDialogPixmaps(*QCoreApplication::instance());
        const QString key = QStringLiteral("probe");
        QPixmap found;
        QVERIFY(QPixmapCache::insert(key, QPixmap(4, 4)));
        QWidget window;
        window.show();
        window.hide();
        QMessageBox box(QMessageBox::Warning, QStringLiteral("caption"), QStringLiteral("text"));
        box.show();
        QVERIFY(QPixmapCache::find(key, &found));
        box.hide();
        QVERIFY(!QPixmapCache::find(key, &found));
    }
};

QTEST_MAIN(FileDialogTest)
#include "test_file_dialog.moc"
