#include "support/Recorders.h"

#include "app/ProcessState.h"

namespace pagesmith::test {

FakeMainWindow::FakeMainWindow() : m_previous(processState().mainWindow) {
    processState().mainWindow = this;
}

FakeMainWindow::~FakeMainWindow() {
    processState().mainWindow = m_previous;
}

} // namespace pagesmith::test
