#include "ui/main/FilterCombo.h"

#include "engine/CompressionChoice.h"

namespace pagesmith {

namespace {

const QString kAccessibleName = QStringLiteral("Compression filter");

} // namespace

FilterCombo::FilterCombo(QWidget* parent) : QComboBox(parent) {
    setAccessibleName(kAccessibleName);
    setEditable(false);
    setFixedWidth(kWidth);
    for (int code = 0; code < kCompressionFilterCount; ++code)
        addItem(QString::fromLatin1(compressionFilterText(CompressionFilter(code))));
    setCurrentIndex(0);
    connect(this, &QComboBox::currentIndexChanged, this, &FilterCombo::refillRequested);
}

CompressionFilter FilterCombo::filterCode() const {
    return CompressionFilter(currentIndex() < 0 ? 0 : currentIndex());
}

} // namespace pagesmith
