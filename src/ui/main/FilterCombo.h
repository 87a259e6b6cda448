#pragma once

#include <QComboBox>

namespace pagesmith {

// The compression filter of the file list on the toolbar: one entry per
// filter code, in code order, the first ("ALL tiff files") chosen at start.
class FilterCombo : public QComboBox {
    Q_OBJECT

public:
    static constexpr int kWidth = 180;

    explicit FilterCombo(QWidget* parent = nullptr);

    // The chosen filter code; 0 when nothing is chosen.
    int filterCode() const;

signals:
    // Another filter was chosen: the current folder is to be listed again.
    void refillRequested();
};

} // namespace pagesmith
