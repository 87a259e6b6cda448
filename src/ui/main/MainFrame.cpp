#include "ui/main/MainFrame.h"

#include <QApplication>
#include <QCloseEvent>

namespace pagesmith {

MainFrame::MainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Pagesmith"));
}

void MainFrame::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    // Closing the frame ends the message loop with exit code 1.
    if (event->isAccepted())
        QCoreApplication::exit(1);
}

} // namespace pagesmith
