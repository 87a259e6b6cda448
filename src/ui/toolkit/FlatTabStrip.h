#pragma once

#include <QTabBar>

namespace pagesmith {

// A row of flat tabs as high as a horizontal scroll bar, for the bottom edge of
// a pane: the selected tab reads as part of the page above it, the others as
// plain labels. Screen readers see it as a tab list (Qt's tab-bar interface).
class FlatTabStrip : public QTabBar {
    Q_OBJECT

public:
    explicit FlatTabStrip(QWidget* parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    int rowHeight() const;
};

} // namespace pagesmith
