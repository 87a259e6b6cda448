#include "ui/toolkit/SwallowedKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace pagesmith {

SwallowedKeys::SwallowedKeys(QWidget* window, QList<QKeyCombination> keys)
    : QObject(window), m_window(window), m_keys(std::move(keys)) {
    // Every key event of the application passes here first, before the
    // shortcut map and before the focused widget's own handling.
    QCoreApplication::instance()->installEventFilter(this);
}

SwallowedKeys::~SwallowedKeys() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool SwallowedKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!m_keys.contains(QKeyCombination(modifiers, Qt::Key(key->key()))))
        return false;
    // An accepted override keeps the shortcut map out; the key press that
    // follows is then eaten here before the widget sees it.
    event->accept();
    return true;
}

} // namespace pagesmith
