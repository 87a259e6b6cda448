#include "ui/jobs/ProgressWindow.h"

#include "ui/toolkit/DialogUnits.h"
#include "ui/toolkit/WindowPlacement.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace pagesmith {

namespace {

// Every text of the window, in one place. The caption says what runs; the
// job sets it ("Converting 12 files").
constexpr const char* kCaption = "Pagesmith";
constexpr const char* kFileLine = "File %1 of %2: %3";
constexpr const char* kCancelText = "Cancel";
constexpr const char* kStoppingText = "Stopping...";
constexpr const char* kFileLineName = "Current file";
constexpr const char* kBarName = "Job progress";

// Places in dialog units.
constexpr QSize kWindowUnits(259, 58);
constexpr QRect kFileLineUnits(7, 6, 245, 8);
constexpr QRect kBarUnits(7, 17, 245, 14);
constexpr QRect kCancelUnits(202, 37, 50, 14);

} // namespace

ProgressWindow::ProgressWindow(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_fileLine(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(QString::fromLatin1(kCancelText), this)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(false);

    const DialogUnits units(font());
    m_fileLine->setGeometry(units.toPixels(kFileLineUnits));
    m_fileLine->setAccessibleName(QString::fromLatin1(kFileLineName));
    m_bar->setGeometry(units.toPixels(kBarUnits));
    m_bar->setAccessibleName(QString::fromLatin1(kBarName));
    m_bar->setRange(0, 1);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_cancel->setGeometry(units.toPixels(kCancelUnits));
    // Enter closes the window and must not stop the job through a focused
    // button.
    m_cancel->setAutoDefault(false);
    setFixedSize(units.toPixels(kWindowUnits));

    connect(m_cancel, &QPushButton::clicked, this, &ProgressWindow::requestStop);
}

void ProgressWindow::setVisible(bool visible) {
    if (visible && !isVisible())
        centreOverOwner(this, parentWidget());
    QDialog::setVisible(visible);
}

void ProgressWindow::setRange(int fileCount) {
    m_fileCount = std::max(0, fileCount);
    m_filesStarted = 0;
    // An empty range would turn the bar into a busy indicator.
    m_bar->setRange(0, std::max(1, m_fileCount));
    m_bar->setValue(0);
    m_fileLine->clear();
}

void ProgressWindow::advance(const QString& fileName) {
    ++m_filesStarted;
    m_bar->setValue(std::min(m_filesStarted - 1, m_fileCount));
    const QString line = QString::fromLatin1(kFileLine)
                             .arg(m_filesStarted)
                             .arg(m_fileCount)
                             .arg(QFileInfo(fileName).fileName());
    m_fileLine->setText(
        m_fileLine->fontMetrics().elidedText(line, Qt::ElideMiddle, m_fileLine->width()));
    m_fileLine->setToolTip(fileName);
}

void ProgressWindow::finish() {
    m_bar->setValue(m_bar->maximum());
    done(Accepted);
}

void ProgressWindow::requestStop() {
    m_cancel->setEnabled(false);
    m_cancel->setText(QString::fromLatin1(kStoppingText));
    emit stopRequested();
}

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace pagesmith
