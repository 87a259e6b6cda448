#pragma once

#include "engine/CompressionChoice.h"

#include <QComboBox>

namespace pagesmith {

// The compression filter of the file list on the toolbar: one entry per
// filter code, in code order, the first ("ALL tiff files") chosen at start.
class FilterCombo : public QComboBox {
    Q_OBJECT

public:
    static constexpr int kWidth = 180;

    explicit FilterCombo(QWidget* parent = nullptr);

    // The chosen filter; every TIFF file when nothing is chosen.
    CompressionFilter filterCode() const;

signals:
    // Another filter was chosen: the current folder is to be listed again.
    void refillRequested();
};

} // namespace pagesmith
