#include "ui/dialogs/MessageBoxes.h"

#include <QMessageBox>

namespace pagesmith {

void PlatformMessageBoxes::showOk(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

MessageBoxes& platformMessageBoxes() {
    static PlatformMessageBoxes boxes;
    return boxes;
}

} // namespace pagesmith
