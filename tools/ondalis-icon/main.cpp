// Writes the program's icon as PNG files for installation: ondalis-icon FOLDER
// gives FOLDER/<size>x<size>/apps/ondalis.png for each size the icon is painted at.
#include "base/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ondalis-icon FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QIcon icon = ApplicationIcon();
    for (int side : {16, 32, 48, 64, 128}) {
        const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(side);
        if (!QDir().mkpath(folder) || !icon.pixmap(side, side).save(folder + "/ondalis.png")) {
            std::fprintf(stderr, "ondalis-icon: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
