// Writes the program icon in every size of the desktop's hicolor icon theme,
// OUTDIR/hicolor/<n>x<n>/apps/pagesmith.png, and the same sizes up to 256 as
// one Windows icon file, OUTDIR/pagesmith.ico, for the program's resources.
// The window draws the same icon.
#include "ui/main/ProgramArt.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

void putLittleEndian(QByteArray& bytes, quint32 value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

// An icon file holding each image as PNG data, as Windows reads it since
// Vista: a header, one directory entry per image, then the images.
bool writeIconFile(const QString& path, const QList<int>& sizes) {
    QList<QByteArray> images;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!pagesmith::drawProgramIcon(size).save(&buffer, "PNG"))
            return false;
        images.append(png);
    }
    constexpr int kHeaderBytes = 6, kEntryBytes = 16;
    QByteArray file;
    putLittleEndian(file, 0, 2); // reserved
    putLittleEndian(file, 1, 2); // an icon, not a cursor
    putLittleEndian(file, quint32(sizes.size()), 2);
    quint32 offset = quint32(kHeaderBytes + kEntryBytes * sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const quint32 side = sizes[i] >= 256 ? 0 : quint32(sizes[i]); // 0 stands for 256
        putLittleEndian(file, side, 1);
        putLittleEndian(file, side, 1);
        putLittleEndian(file, 0, 1);  // no palette
        putLittleEndian(file, 0, 1);  // reserved
        putLittleEndian(file, 1, 2);  // planes
        putLittleEndian(file, 32, 2); // bits per pixel
        putLittleEndian(file, quint32(images[i].size()), 4);
        putLittleEndian(file, offset, 4);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : images)
        file.append(image);
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-icons OUTDIR\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen"); // drawing needs no display
    QGuiApplication application(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QList<int> iconFileSizes;
    for (int size : pagesmith::programIconSizes()) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString file = out.filePath(folder + QStringLiteral("/pagesmith.png"));
        if (!out.mkpath(folder) || !pagesmith::drawProgramIcon(size).save(file)) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
        if (size <= 256)
            iconFileSizes.append(size);
    }
    const QString iconFile = out.filePath(QStringLiteral("pagesmith.ico"));
    if (!writeIconFile(iconFile, iconFileSizes)) {
        std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(iconFile));
        return 1;
    }
    return 0;
}
