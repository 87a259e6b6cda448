#include "ui/main/FileListMenu.h"

#include "base/Paths.h"
#include "ui/main/FileList.h"
#include "ui/main/MainFrame.h"
#include "ui/toolkit/DesktopCalls.h"

#include <QFile>

namespace pagesmith {

FileListMenu::FileListMenu(MainFrame& frame) : QObject(&frame), m_frame(frame) {
    m_menu.setAccessibleName(QStringLiteral("File actions"));
    for (const RowMenuText& text : MainFrameTexts::rowMenu()) {
        QAction* action = m_menu.addAction(QString::fromLatin1(text.text));
        const RowMenuItem item = text.item;
        connect(action, &QAction::triggered, this, [this, item] { run(item); });
        m_actions[item] = action;
    }
}

void FileListMenu::popup(const QString& name, const QPoint& at) {
    m_name = name;
    offerCheckOrUncheck();
    m_menu.popup(at);
}

void FileListMenu::offerCheckOrUncheck() {
    const FileListModel& model = m_frame.fileList()->fileModel();
    const bool checked = model.isChecked(model.rowOfName(m_name));
    action(RowMenuItem::Check)->setEnabled(!checked);
    action(RowMenuItem::Uncheck)->setEnabled(checked);
}

void FileListMenu::run(RowMenuItem item) {
    FileListModel& model = m_frame.fileList()->fileModel();
    const QString path = QFile::decodeName(QByteArray::fromStdString(
        joinPath(m_frame.currentFolder(), QFile::encodeName(m_name).toStdString())));
    switch (item) {
    case RowMenuItem::Open:
        m_frame.desktopCalls().openPath(path);
        break;
    case RowMenuItem::ShowInFolder:
        m_frame.desktopCalls().showInFolder(path);
        break;
    case RowMenuItem::Check:
    case RowMenuItem::Uncheck:
        model.setChecked(model.rowOfName(m_name), item == RowMenuItem::Check);
        offerCheckOrUncheck();
        break;
    case RowMenuItem::TiffInfo:
        m_frame.showTiffInfo(QFile::encodeName(m_name).toStdString());
        break;
    }
}

} // namespace pagesmith
