#pragma once

#include <QKeyCombination>
#include <QList>
#include <QObject>

class QWidget;

namespace pagesmith {

// Takes a set of key combinations away from every widget of one window, so that
// they do nothing there: no shortcut fires and no widget sees them, the text
// editors' own copy, cut, paste and undo keys included. Dialogs and other
// windows keep them.
class SwallowedKeys : public QObject {
public:
    SwallowedKeys(QWidget* window, QList<QKeyCombination> keys);
    ~SwallowedKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QList<QKeyCombination> m_keys;
};

} // namespace pagesmith
