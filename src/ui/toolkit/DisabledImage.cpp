#include "ui/toolkit/DisabledImage.h"

#include <QPixmap>

namespace pagesmith {

namespace {

int lightened(int channel) {
    // c + (255 - c) * 115 / 255, rounded: add half the divisor before dividing.
    return channel + ((255 - channel) * 115 + 127) / 255;
}

int blended(int grey, int base) {
    return (grey * 110 + base * 145) / 256;
}

} // namespace

QRgb disabledTint(QRgb pixel, QColor menuColour) {
    const int grey = (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3;
    return qRgba(blended(grey, lightened(menuColour.red())),
                 blended(grey, lightened(menuColour.green())),
                 blended(grey, lightened(menuColour.blue())), qAlpha(pixel));
}

QImage disabledImage(const QImage& image, QColor menuColour) {
    // Straight (not premultiplied) colours, so the formula sees the drawn colour.
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            line[x] = disabledTint(line[x], menuColour);
    }
    return result;
}

QIcon toolbarIcon(const QList<QImage>& images, QColor menuColour) {
    QIcon icon;
    for (const QImage& image : images) {
        icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(disabledImage(image, menuColour)), QIcon::Disabled);
    }
    return icon;
}

} // namespace pagesmith
