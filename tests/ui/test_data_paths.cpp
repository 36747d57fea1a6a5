#include "ui/app_icon.h"
#include "ui/data_paths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace peterin;

class DataPathsTest : public QObject {
    Q_OBJECT

  private slots:
    // A 画像 folder in the current directory wins, as it always has; without one the pictures
    // come from the data folder an installation puts beside the program's folder.
    void picturesComeFromTheCurrentDirectoryFirst() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const QString installed = picturesFolder();
        QDir(dir.path()).mkdir(QStringLiteral("画像"));
        const QString here = picturesFolder();
        QDir::setCurrent(before);
        QCOMPARE(here, QStringLiteral("画像"));
        QVERIFY2(installed.endsWith(QStringLiteral("/share/peterin/画像")), qPrintable(installed));
        QVERIFY(!installed.startsWith(dir.path()));
    }

    void theIconHasEverySizeFrom16To256() {
        const QList<QSize> sizes = applicationIcon().availableSizes();
        for (const int size : {16, 24, 32, 48, 64, 128, 256})
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        QCOMPARE(applicationIcon().pixmap(16, 16).size(), QSize(16, 16));
    }
};

QTEST_MAIN(DataPathsTest)
#include "test_data_paths.moc"
