#pragma once

#include <QLabel>

namespace pagesmith {

// A one-line label that never widens its pane: a text too long for its width
// is cut in the middle ("colour-p...g4.tif"), and shown whole in its tooltip.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_text; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString m_text;
};

} // namespace pagesmith
