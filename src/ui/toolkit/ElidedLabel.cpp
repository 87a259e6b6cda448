#include "ui/toolkit/ElidedLabel.h"

namespace pagesmith {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString& text) {
    m_text = text;
    elide();
}

QSize ElidedLabel::minimumSizeHint() const {
    return QSize(0, QLabel::minimumSizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide() {
    const QString shown = fontMetrics().elidedText(m_text, Qt::ElideMiddle, contentsRect().width());
    setText(shown);
    setToolTip(shown == m_text ? QString() : m_text);
    setAccessibleName(m_text);
}

} // namespace pagesmith
