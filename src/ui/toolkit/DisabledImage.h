#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

namespace pagesmith {

// The colour a greyed toolbar image gives one pixel: its grey value blended
// with the menu colour lightened towards white. With g = (R + G + B) / 3 and,
// per channel, base = c + (255 - c) * 115 / 255 rounded to the nearest whole
// number, each channel becomes (g * 110 + base * 145) / 256, truncated. Alpha
// is kept.
QRgb disabledTint(QRgb pixel, QColor menuColour);

// The whole image tinted pixel by pixel.
QImage disabledImage(const QImage& image, QColor menuColour);

// An icon whose normal look is the given images and whose disabled look is
// their tinted form against the menu colour.
QIcon toolbarIcon(const QList<QImage>& images, QColor menuColour);

} // namespace pagesmith
