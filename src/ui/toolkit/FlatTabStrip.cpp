#include "ui/toolkit/FlatTabStrip.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace pagesmith {

namespace {

constexpr int kTextPadding = 12; // blank space left and right of each tab's text

} // namespace

FlatTabStrip::FlatTabStrip(QWidget* parent) : QTabBar(parent) {
    setShape(QTabBar::RoundedSouth);
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setFixedHeight(rowHeight());
}

int FlatTabStrip::rowHeight() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

QSize FlatTabStrip::tabSizeHint(int index) const {
    return {fontMetrics().horizontalAdvance(tabText(index)) + 2 * kTextPadding, rowHeight()};
}

QSize FlatTabStrip::minimumTabSizeHint(int index) const {
    return tabSizeHint(index);
}

void FlatTabStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.window());
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(0, 0, width(), 0); // the page's lower edge

    for (int i = 0; i < count(); ++i) {
        const QRect tab = tabRect(i);
        const bool selected = i == currentIndex();
        if (selected) {
            // Open at the top, so it joins the page it shows.
            painter.fillRect(tab.adjusted(0, 0, 0, -1), colours.base());
            painter.setPen(colours.color(QPalette::Dark));
            painter.drawLine(tab.topLeft(), tab.bottomLeft());
            painter.drawLine(tab.bottomLeft(), tab.bottomRight());
            painter.drawLine(tab.topRight(), tab.bottomRight());
        } else if (i + 1 != currentIndex()) {
            painter.setPen(colours.color(QPalette::Mid));
            painter.drawLine(tab.topRight() + QPoint(0, 3), tab.bottomRight() - QPoint(0, 3));
        }
        QFont font = painter.font();
        font.setBold(selected);
        painter.setFont(font);
        painter.setPen(colours.color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                     selected ? QPalette::Text : QPalette::WindowText));
        painter.drawText(tab, Qt::AlignCenter, tabText(i));

        if (selected && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = tab.adjusted(3, 2, -3, -2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

} // namespace pagesmith
