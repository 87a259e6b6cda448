#include "ui/toolkit/GuiApplication.h"

#include <QApplication>

namespace pagesmith {

void ensureGuiApplication() {
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "pagesmith";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives until the process ends
}

} // namespace pagesmith
