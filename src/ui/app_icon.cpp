#include "app_icon.h"

namespace peterin {

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/" PETERIN_APP_ID ".png").arg(size),
                     QSize(size, size));
    return icon;
}

} // namespace peterin
