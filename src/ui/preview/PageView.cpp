#include "ui/preview/PageView.h"

#include "ui/preview/PreviewTexts.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace pagesmith {

namespace {
constexpr int kFocusFrameWidth = 2;
} // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QString::fromLatin1(PreviewTexts::kPicture));
    // Around the page, a shade apart from white paper and from the text.
    viewport()->setBackgroundRole(QPalette::Mid);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void PageView::setZoom(PreviewZoom zoom) {
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    emit viewChanged();
}

PreviewView PageView::view() const {
    PreviewView view;
    view.width = std::uint32_t(std::max(1, viewport()->width()));
    view.length = std::uint32_t(std::max(1, viewport()->height()));
    view.zoom = m_zoom;
    if (m_zoom == PreviewZoom::ActualSize) {
        view.scrollX = std::uint32_t(std::max(0, horizontalScrollBar()->value()));
        view.scrollY = std::uint32_t(std::max(0, verticalScrollBar()->value()));
    }
    return view;
}

void PageView::showPicture(const QImage& picture, const PageFacts& facts, const ShownPage& shown) {
    m_picture = picture;
    m_facts = facts;
    m_shown = shown;
    m_message.clear();
    updateScrollBars();
    viewport()->update();
}

void PageView::showMessage(const QString& text) {
    m_picture = {};
    m_shown = {};
    m_message = text;
    updateScrollBars();
    viewport()->update();
}

void PageView::clear() {
    showMessage({});
}

QSize PageView::shownSize() const {
    if (m_shown.width == 0)
        return {};
    PreviewView now = view();
    const ShownPage page = showPage(m_facts, now);
    return QSize(int(std::min<std::uint32_t>(page.width, 1 << 30)),
                 int(std::min<std::uint32_t>(page.length, 1 << 30)));
}

QRect PageView::pageRect() const {
    const QSize size = shownSize();
    if (size.isEmpty())
        return {};
    const QSize room = viewport()->size();
    // Centred where it is smaller than the view, scrolled where it is larger.
    const int x = size.width() < room.width() ? (room.width() - size.width()) / 2
                                              : -horizontalScrollBar()->value();
    const int y = size.height() < room.height() ? (room.height() - size.height()) / 2
                                                : -verticalScrollBar()->value();
    return QRect(QPoint(x, y), size);
}

void PageView::updateScrollBars() {
    const QSize size = m_zoom == PreviewZoom::ActualSize ? shownSize() : QSize();
    const QSize room = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, size.width() - room.width()));
    verticalScrollBar()->setRange(0, std::max(0, size.height() - room.height()));
    horizontalScrollBar()->setPageStep(room.width());
    verticalScrollBar()->setPageStep(room.height());
    horizontalScrollBar()->setSingleStep(std::max(1, room.width() / 20));
    verticalScrollBar()->setSingleStep(std::max(1, room.height() / 20));
}

// Whether the picture in hand was drawn for the view as it is: the same size
// on screen, and at its own size covering all that is in view.
bool PageView::pictureFitsView() const {
    if (m_picture.isNull())
        return true;
    const QRect page = pageRect();
    if (page.width() != int(m_shown.width) || page.height() != int(m_shown.length))
        return false;
    const QRect drawn(page.topLeft() + QPoint(int(m_shown.region.x), int(m_shown.region.y)),
                      QSize(int(m_shown.region.width), int(m_shown.region.length)));
    return drawn.contains(page.intersected(viewport()->rect()));
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    drawPage(painter);
    // The page itself takes the keys (scrolling, turning pages): a frame
    // shows when it has them, as the style has none for a plain area.
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusFrameWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
    }
}

void PageView::drawPage(QPainter& painter) {
    if (!m_picture.isNull()) {
        const QRect page = pageRect();
        // The picture covers its region of the page it was drawn for; a view
        // of another size shows it scaled until the new one comes.
        const double sx = double(page.width()) / m_shown.width;
        const double sy = double(page.height()) / m_shown.length;
        const QRectF target(page.x() + m_shown.region.x * sx, page.y() + m_shown.region.y * sy,
                            m_shown.region.width * sx, m_shown.region.length * sy);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, sx != 1.0 || sy != 1.0);
        painter.drawImage(target, m_picture);
        return;
    }
    if (m_message.isEmpty())
        return;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(viewport()->rect().adjusted(12, 12, -12, -12),
                     Qt::AlignCenter | Qt::TextWordWrap, m_message);
}

void PageView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void PageView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    if (!pictureFitsView())
        emit viewChanged();
}

void PageView::scrollContentsBy(int, int) {
    viewport()->update();
    if (!pictureFitsView())
        emit viewChanged();
}

void PageView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        event->ignore(); // the pane turns the page
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace pagesmith
