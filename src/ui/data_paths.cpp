#include "data_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace peterin {

namespace {

// From the program's folder to the installed data and documentation folders; the build writes
// in the relative paths its install layout gives.
QString installed(const char* fromProgram) {
    return QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromUtf8(fromProgram)));
}

} // namespace

QString picturesFolder() {
    const QString here = QStringLiteral("画像");
    if (QFileInfo(here).isDir())
        return here;
    return QDir(installed(PETERIN_DATA_FROM_BIN)).filePath(here);
}

QString manualPath() {
    const QString name = QStringLiteral("説明書.txt");
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (QFileInfo(beside).isFile())
        return beside;
    const QString inDocs = QDir(installed(PETERIN_DOC_FROM_BIN)).filePath(name);
    return QFileInfo(inDocs).isFile() ? inDocs : beside;
}

} // namespace peterin
