#pragma once

#include <QRect>
#include <QSize>

class QFont;

namespace pagesmith {

// Dialog layouts are drawn up in dialog units: a quarter of the font's average
// character width across and an eighth of its height down. Laid out in them, a
// dialog keeps its proportions with whatever font the desktop uses.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    QRect toPixels(const QRect& units) const;
    QSize toPixels(const QSize& units) const;

private:
    int m_baseWidth;
    int m_baseHeight;
};

} // namespace pagesmith
