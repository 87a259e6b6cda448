// The program: the window code hands its window mode and its message boxes to
// the entry, which never includes the window code itself.

#include "app/Run.h"
#include "ui/main/WindowMode.h"
#include "ui/toolkit/DialogMessageSink.h"

int main(int argc, char** argv) {
    pagesmith::DialogMessageSink dialogs;
    return pagesmith::run(argc, argv, pagesmith::runWindowMode, dialogs);
}
