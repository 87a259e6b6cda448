#pragma once

#include <QSplitter>

namespace pagesmith {

// A two-pane splitter that keeps the ratio of its panes when it is resized.
// The bar starts at extent * numerator / denominator of the splitter's extent;
// a bar the user drags stores its new ratio. Neither pane gets smaller than
// extent / minimumDivisor: a bar that would leave one smaller is moved back.
class ProportionalSplitter : public QSplitter {
    Q_OBJECT

public:
    ProportionalSplitter(Qt::Orientation orientation, int numerator, int denominator,
                         int minimumDivisor, QWidget* parent = nullptr);

    // The first pane's size (the bar's position) for the current extent.
    int barPosition() const;
    // The first pane's share of the extent, as the bar keeps it.
    double share() const;
    // A share kept from an earlier run; one outside (0, 1) is ignored.
    void setShare(double share);

    // Replaces one of the two panes, deleting the old one.
    void replacePane(int index, QWidget* pane);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int extent() const;
    int clampedPosition(int position) const;
    void placeBar();
    void storeDraggedBar(int position);

    qint64 m_numerator;
    qint64 m_denominator;
    int m_minimumDivisor;
};

} // namespace pagesmith
