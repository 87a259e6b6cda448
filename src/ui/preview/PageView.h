#pragma once

#include "engine/preview/ShownPage.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QString>

class QPainter;

namespace pagesmith {

// The page preview's picture of a page: fitted into the view and centred, or
// at its own size with scroll bars. It shows the picture in hand where it
// belongs, scaled to the view's size until a new one comes, and asks for a
// new one (viewChanged) when the view grows, shrinks or scrolls past it.
// Page Up and Page Down are left to the pane, which turns pages with them.
class PageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit PageView(QWidget* parent = nullptr);

    PreviewZoom zoom() const { return m_zoom; }
    // At its own size the page starts at its top-left corner.
    void setZoom(PreviewZoom zoom);
    // The view as a picture is asked for: its size, zoom and scrolling.
    PreviewView view() const;

    // A picture of `shown.region` of a page with these facts.
    void showPicture(const QImage& picture, const PageFacts& facts, const ShownPage& shown);
    // A text in place of a picture (why there is none).
    void showMessage(const QString& text);
    // Neither picture nor text.
    void clear();

    const QImage& picture() const { return m_picture; }
    const QString& message() const { return m_message; }
    // Where the page's top-left corner is in the viewport, and its size.
    QRect pageRect() const;

signals:
    // The picture in hand no longer shows the view as it is.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void drawPage(QPainter& painter);
    // The page's size on screen for the view as it is.
    QSize shownSize() const;
    void updateScrollBars();
    bool pictureFitsView() const;

    PreviewZoom m_zoom = PreviewZoom::Fit;
    QImage m_picture;
    PageFacts m_facts;
    ShownPage m_shown; // what m_picture was drawn for
    QString m_message;
};

} // namespace pagesmith
