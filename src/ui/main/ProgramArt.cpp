#include "ui/main/ProgramArt.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace pagesmith {

namespace {

const QColor kOutline(0x40, 0x40, 0x40);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kInk(0x20, 0x20, 0x20);
const QColor kBlue(0x1f, 0x5f, 0xbf);
const QColor kLightBlue(0xcf, 0xe0, 0xf7);
const QColor kGreen(0x2e, 0x8b, 0x2e);
const QColor kFolder(0xf0, 0xc0, 0x40);
const QColor kFolderEdge(0x9a, 0x70, 0x10);
const QColor kGold(0xd8, 0xa0, 0x20);

// A transparent square image whose painter works on a grid of `units` units.
class Canvas {
public:
    Canvas(int size, qreal units) : m_image(size, size, QImage::Format_ARGB32_Premultiplied) {
        m_image.fill(Qt::transparent);
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.scale(size / units, size / units);
    }
    QPainter& painter() { return m_painter; }
    QImage finish() {
        m_painter.end();
        return m_image;
    }

private:
    QImage m_image;
    QPainter m_painter;
};

QPen outlinePen(QColor colour, qreal width = 1.0) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet of paper with its top right corner folded down.
void drawPage(QPainter& p, const QRectF& r, QColor fill, qreal fold, qreal pen = 1.0) {
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(outlinePen(kOutline, pen));
    p.setBrush(fill);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(Qt::NoBrush);
    p.drawPath(corner);
}

// Lines of text on a page, as a scanner sees them.
void drawTextLines(QPainter& p, qreal left, qreal right, qreal top, qreal bottom, qreal step,
                   qreal width) {
    p.setPen(QPen(kInk, width, Qt::SolidLine, Qt::FlatCap));
    int line = 0;
    for (qreal y = top; y <= bottom; y += step, ++line)
        p.drawLine(QPointF(left, y), QPointF(line % 3 == 2 ? (left + right) / 2 : right, y));
}

void drawArrow(QPainter& p, QPointF from, QPointF to, QColor colour, qreal width, qreal head) {
    const QPointF direction = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF normal(-direction.y(), direction.x());
    p.setPen(outlinePen(colour, width));
    p.drawLine(from, to - direction * head * 0.8);
    QPolygonF tip{to, to - direction * head + normal * head * 0.6,
                  to - direction * head - normal * head * 0.6};
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(tip);
}

void drawFolder(QPainter& p, const QRectF& r) {
    QPainterPath folder;
    folder.moveTo(r.left(), r.top() + 1);
    folder.lineTo(r.left() + r.width() * 0.4, r.top() + 1);
    folder.lineTo(r.left() + r.width() * 0.5, r.top() + 2);
    folder.lineTo(r.right(), r.top() + 2);
    folder.lineTo(r.right(), r.bottom());
    folder.lineTo(r.left(), r.bottom());
    folder.closeSubpath();
    p.setPen(outlinePen(kFolderEdge));
    p.setBrush(kFolder);
    p.drawPath(folder);
}

void drawCheckBox(QPainter& p, const QRectF& r) {
    p.setPen(outlinePen(kOutline));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(outlinePen(kGreen, 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(r.left() + r.width() * 0.22, r.top() + r.height() * 0.52);
    tick.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.75);
    tick.lineTo(r.left() + r.width() * 0.80, r.top() + r.height() * 0.25);
    p.drawPath(tick);
}

void drawRoundBadge(QPainter& p) {
    p.setPen(outlinePen(kBlue.darker(130)));
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1, 1, 14, 14));
}

void drawConvert(QPainter& p) {
    drawPage(p, QRectF(1.5, 0.5, 8, 10), kPaper, 2.5);
    drawTextLines(p, 3, 7, 4, 9, 2, 1);
    drawPage(p, QRectF(6.5, 5.5, 8, 10), kLightBlue, 2.5);
    drawArrow(p, QPointF(4, 12.5), QPointF(6, 12.5), kBlue, 1.2, 2.2);
    p.setPen(QPen(kInk, 1, Qt::SolidLine, Qt::FlatCap));
    for (qreal y = 9; y <= 14; y += 2)
        p.drawLine(QPointF(8.5, y), QPointF(12.5, y));
}

void drawMerge(QPainter& p) {
    drawPage(p, QRectF(0.5, 0.5, 6, 7), kPaper, 2);
    drawPage(p, QRectF(0.5, 8.5, 6, 7), kPaper, 2);
    drawPage(p, QRectF(9.5, 3.5, 6, 9), kLightBlue, 2);
    drawArrow(p, QPointF(6.5, 4), QPointF(9.5, 6.5), kBlue, 1.2, 2.4);
    drawArrow(p, QPointF(6.5, 12), QPointF(9.5, 9.5), kBlue, 1.2, 2.4);
}

void drawSelectAll(QPainter& p) {
    drawCheckBox(p, QRectF(0.5, 0.5, 9, 9));
    drawCheckBox(p, QRectF(6.5, 6.5, 9, 9));
}

void drawIncludeSubFolder(QPainter& p) {
    drawFolder(p, QRectF(0.5, 0.5, 10, 8));
    p.setPen(outlinePen(kOutline));
    p.drawLine(QPointF(3.5, 8.5), QPointF(3.5, 12.5));
    p.drawLine(QPointF(3.5, 12.5), QPointF(5.5, 12.5));
    drawFolder(p, QRectF(5.5, 8.5, 10, 7));
}

void drawKeepFileName(QPainter& p) {
    drawPage(p, QRectF(1.5, 0.5, 10, 13), kPaper, 3);
    drawTextLines(p, 3.5, 8.5, 4.5, 8.5, 2, 1);
    // A padlock: the name stays as it is.
    p.setPen(outlinePen(kFolderEdge, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9.5, 7.5, 4, 5), 0, 180 * 16);
    p.setPen(outlinePen(kFolderEdge));
    p.setBrush(kGold);
    p.drawRect(QRectF(8.5, 10.5, 6, 5));
}

void drawHelp(QPainter& p) {
    drawRoundBadge(p);
    p.setPen(outlinePen(kPaper, 1.8));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.arcMoveTo(QRectF(5.5, 3.5, 5, 5), 160);
    hook.arcTo(QRectF(5.5, 3.5, 5, 5), 160, -250);
    hook.lineTo(8, 9.5);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8, 12), 1.1, 1.1);
}

void drawAbout(QPainter& p) {
    drawRoundBadge(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8, 4.6), 1.2, 1.2);
    p.drawRoundedRect(QRectF(7, 7, 2, 6), 0.6, 0.6);
}

} // namespace

QList<int> programIconSizes() {
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

QImage drawProgramIcon(int size) {
    // Drawn on a 64-unit grid: a stack of scanned pages, the front one with
    // its lines of text, and a round arrow for the conversion. Small sizes
    // keep one page, with lines a pixel or more wide.
    Canvas canvas(size, 64);
    QPainter& p = canvas.painter();
    const bool small = size < 32;
    const qreal pixel = 64.0 / size;
    if (small) {
        drawPage(p, QRectF(6, 2, 42, 56), kPaper, 14, pixel);
        drawTextLines(p, 14, 38, 22, 46, 3 * pixel, 1.5 * pixel);
    } else {
        drawPage(p, QRectF(16, 3, 38, 48), QColor(0xdd, 0xdd, 0xdd), 9, 1.5);
        drawPage(p, QRectF(10, 8, 38, 48), QColor(0xee, 0xee, 0xee), 9, 1.5);
        drawPage(p, QRectF(4, 13, 38, 48), kPaper, 9, 1.5);
        drawTextLines(p, 10, 35, 27, 52, size >= 48 ? 5 : 6, size >= 48 ? 2.5 : 1.5 * pixel);
    }
    const QRectF badge = small ? QRectF(30, 30, 33, 33) : QRectF(34, 34, 28, 28);
    p.setPen(outlinePen(kBlue.darker(130), small ? pixel : 1.5));
    p.setBrush(kBlue);
    p.drawEllipse(badge);
    const QPointF centre = badge.center();
    const qreal radius = badge.width() / 4;
    p.setPen(outlinePen(kPaper, small ? 1.5 * pixel : 4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)), 100 * 16,
              250 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    const qreal head = badge.width() / 4;
    p.drawPolygon(QPolygonF{centre + QPointF(-head / 2, -radius - head * 0.75),
                            centre + QPointF(head * 0.6, -radius),
                            centre + QPointF(-head / 2, -radius + head * 0.75)});
    return canvas.finish();
}

QImage drawCommandImage(CommandImage image, int size) {
    Canvas canvas(size, 16);
    QPainter& p = canvas.painter();
    switch (image) {
    case CommandImage::Convert:
        drawConvert(p);
        break;
    case CommandImage::Merge:
        drawMerge(p);
        break;
    case CommandImage::SelectAll:
        drawSelectAll(p);
        break;
    case CommandImage::IncludeSubFolder:
        drawIncludeSubFolder(p);
        break;
    case CommandImage::KeepFileName:
        drawKeepFileName(p);
        break;
    case CommandImage::Help:
        drawHelp(p);
        break;
    case CommandImage::About:
        drawAbout(p);
        break;
    }
    return canvas.finish();
}

} // namespace pagesmith
