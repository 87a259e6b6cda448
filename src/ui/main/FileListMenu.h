#pragma once

#include "ui/main/MainFrameTexts.h"

#include <QMenu>
#include <QObject>
#include <QString>

#include <map>

class QAction;

namespace pagesmith {

class MainFrame;

// The context menu of a row of the file list: open the file with the
// desktop's viewer, show it in its folder, check or uncheck it, show its
// information report.
class FileListMenu : public QObject {
    Q_OBJECT

public:
    explicit FileListMenu(MainFrame& frame);

    // Opens the menu for the file of that name at a point of the screen.
    void popup(const QString& name, const QPoint& at);

    QMenu* menu() { return &m_menu; }
    QAction* action(RowMenuItem item) const { return m_actions.at(item); }
    // The file the menu was last opened for.
    QString name() const { return m_name; }

private:
    void run(RowMenuItem item);
    void offerCheckOrUncheck();

    MainFrame& m_frame;
    QMenu m_menu;
    std::map<RowMenuItem, QAction*> m_actions;
    QString m_name;
};

} // namespace pagesmith
