#include "ui/toolkit/ProportionalSplitter.h"

#include <algorithm>

namespace pagesmith {

ProportionalSplitter::ProportionalSplitter(Qt::Orientation orientation, int numerator,
                                           int denominator, int minimumDivisor, QWidget* parent)
    : QSplitter(orientation, parent), m_numerator(numerator), m_denominator(denominator),
      m_minimumDivisor(minimumDivisor) {
    setChildrenCollapsible(false);
    setOpaqueResize(true); // the panes follow the bar while it is dragged
    connect(this, &QSplitter::splitterMoved, this,
            [this](int position, int) { storeDraggedBar(position); });
}

int ProportionalSplitter::extent() const {
    return orientation() == Qt::Horizontal ? width() : height();
}

int ProportionalSplitter::clampedPosition(int position) const {
    const int total = extent();
    const int smallest = total / m_minimumDivisor;
    // Lowered first so that a splitter too small for both minimums still
    // gives the first pane its share.
    position = std::min(position, total - handleWidth() - smallest);
    return std::max(position, smallest);
}

int ProportionalSplitter::barPosition() const {
    // Whole-number arithmetic: W / 5 is exactly what a fifth means, at any size.
    return clampedPosition(static_cast<int>(extent() * m_numerator / m_denominator));
}

double ProportionalSplitter::share() const {
    return double(m_numerator) / double(m_denominator);
}

void ProportionalSplitter::setShare(double share) {
    constexpr qint64 kParts = 1'000'000;
    if (!(share > 0.0 && share < 1.0))
        return;
    m_numerator = qRound64(share * kParts);
    m_denominator = kParts;
    placeBar();
}

void ProportionalSplitter::placeBar() {
    if (count() != 2 || extent() <= 0)
        return;
    const int first = barPosition();
    setSizes({first, std::max(0, extent() - handleWidth() - first)});
}

void ProportionalSplitter::storeDraggedBar(int position) {
    const int total = extent();
    if (total <= 0)
        return;
    const int kept = clampedPosition(position);
    m_numerator = kept;
    m_denominator = total;
    if (kept != position)
        placeBar();
}

void ProportionalSplitter::replacePane(int index, QWidget* pane) {
    QWidget* old = widget(index);
    if (old == pane)
        return;
    if (old)
        delete replaceWidget(index, pane);
    else
        insertWidget(index, pane);
    placeBar();
}

void ProportionalSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    placeBar();
}

} // namespace pagesmith
