#include "ui/toolkit/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>

namespace pagesmith {

namespace {

// The average is taken over the letters, as dialog layouts have always done.
const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

int scaled(int units, int base, int unitsPerBase) {
    return (units * base + unitsPerBase / 2) / unitsPerBase;
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    m_baseWidth = (metrics.horizontalAdvance(kLetters) / 26 + 1) / 2;
    m_baseHeight = metrics.height();
}

QRect DialogUnits::toPixels(const QRect& units) const {
    return {scaled(units.x(), m_baseWidth, 4), scaled(units.y(), m_baseHeight, 8),
            scaled(units.width(), m_baseWidth, 4), scaled(units.height(), m_baseHeight, 8)};
}

QSize DialogUnits::toPixels(const QSize& units) const {
    return {scaled(units.width(), m_baseWidth, 4), scaled(units.height(), m_baseHeight, 8)};
}

} // namespace pagesmith
