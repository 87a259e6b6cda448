// Writes the program icon in every size of the desktop's hicolor icon theme:
// OUTDIR/hicolor/<n>x<n>/apps/pagesmith.png. The window draws the same icon.
#include "ui/main/ProgramArt.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-icons OUTDIR\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen"); // drawing needs no display
    QGuiApplication application(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int size : pagesmith::programIconSizes()) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString file = out.filePath(folder + QStringLiteral("/pagesmith.png"));
        if (!out.mkpath(folder) || !pagesmith::drawProgramIcon(size).save(file)) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
