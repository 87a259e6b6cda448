#include "ui/toolkit/DialogMessageSink.h"

#include "ui/toolkit/GuiApplication.h"

#include <QMessageBox>

namespace pagesmith {

void DialogMessageSink::show(const std::string& caption, const std::string& text, MessageKind) {
    ensureGuiApplication();
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

} // namespace pagesmith
