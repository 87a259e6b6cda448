#include "ui/toolkit/HyperLinkLabel.h"

#include "ui/toolkit/DesktopIntegration.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolTip>
#include <QUrl>

namespace pagesmith {

namespace {

// Tells assistive tools that the widget is a link, what it says, where it goes
// and how to follow it.
class HyperLinkAccessible : public QAccessibleWidget {
public:
    explicit HyperLinkAccessible(HyperLinkLabel* link)
        : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        const auto* link = static_cast<const HyperLinkLabel*>(widget());
        switch (kind) {
        case QAccessible::Name:
            return link->label();
        case QAccessible::Description:
            return link->target();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<HyperLinkLabel*>(widget())->navigate();
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(HyperLinkLabel::staticMetaObject.className()) &&
        object->isWidgetType())
        return new HyperLinkAccessible(static_cast<HyperLinkLabel*>(object));
    return nullptr;
}

} // namespace

HyperLinkLabel::HyperLinkLabel(const QString& label, QWidget* parent)
    : QWidget(parent), m_label(label) {
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(factoryInstalled);
    setMouseTracking(true);         // the hand appears as soon as the pointer is over the text
    setFocusPolicy(Qt::ClickFocus); // focus from a click, never from Tab
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void HyperLinkLabel::setLabel(const QString& label) {
    m_label = label;
    computeLabelRect();
    updateGeometry();
    update();
}

QString HyperLinkLabel::target() const {
    return m_target.isEmpty() ? m_label : m_target;
}

void HyperLinkLabel::setTarget(const QString& target) {
    m_target = target;
}

void HyperLinkLabel::setLinkColors(QColor link, QColor visited) {
    m_linkColor = link;
    m_visitedColor = visited;
    update();
}

QColor HyperLinkLabel::textColor() const {
    if (!isEnabled())
        return palette().color(QPalette::Disabled, QPalette::WindowText);
    return m_visited ? m_visitedColor : m_linkColor;
}

void HyperLinkLabel::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    computeLabelRect();
    update();
}

QFont HyperLinkLabel::linkFont() const {
    QFont font = this->font();
    font.setUnderline(true);
    return font;
}

void HyperLinkLabel::computeLabelRect() {
    // The text's own extent, word-wrapped in the widget and placed by the
    // alignment, so that blank space beside a short label is no link.
    const QFontMetrics metrics(linkFont());
    const QRect area = contentsRect();
    m_labelRect = metrics.boundingRect(area, int(m_alignment | Qt::TextWordWrap), m_label);
    m_labelRect = m_labelRect.intersected(area);
}

QSize HyperLinkLabel::sizeHint() const {
    const QFontMetrics metrics(linkFont());
    return metrics.size(0, m_label) + QSize(2, 2); // room for the focus rectangle
}

bool HyperLinkLabel::navigate() {
    if (!DesktopIntegration::openUrl(QUrl::fromUserInput(target())))
        return false;
    m_visited = true;
    update();
    return true;
}

bool HyperLinkLabel::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (m_labelRect.contains(help->pos()) && !target().isEmpty())
            QToolTip::showText(help->globalPos(), target(), this, m_labelRect);
        else
            QToolTip::hideText();
        return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::EnabledChange:
        update();
        break;
    case QEvent::FontChange:
        computeLabelRect();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void HyperLinkLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    computeLabelRect();
}

void HyperLinkLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(linkFont());
    painter.setPen(textColor());
    painter.drawText(contentsRect(), int(m_alignment | Qt::TextWordWrap), m_label);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = m_labelRect;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void HyperLinkLabel::mouseMoveEvent(QMouseEvent* event) {
    if (m_labelRect.contains(event->position().toPoint()) && !target().isEmpty())
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void HyperLinkLabel::mousePressEvent(QMouseEvent* event) {
    // Taken here, so a press on the link never reaches the dialog behind it.
    event->accept();
    m_pressedInside =
        event->button() == Qt::LeftButton && m_labelRect.contains(event->position().toPoint());
    if (m_pressedInside)
        setFocus(Qt::MouseFocusReason);
}

void HyperLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasPressed = m_pressedInside;
    m_pressedInside = false;
    if (wasPressed && m_labelRect.contains(event->position().toPoint()))
        navigate();
}

void HyperLinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        navigate();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace pagesmith
