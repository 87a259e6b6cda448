// The program: the window code hands its window mode and its message boxes to
// the entry, which never includes the window code itself.

#include "app/Run.h"
#include "platform/ProgramArguments.h"
#include "ui/main/WindowMode.h"
#include "ui/toolkit/DialogMessageSink.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    // UTF-8 on every platform; Windows hands argv over in its ANSI code page.
    const std::vector<std::string> arguments = pagesmith::platform::programArguments(argc, argv);
    std::vector<const char*> texts;
    for (const std::string& argument : arguments)
        texts.push_back(argument.c_str());
    texts.push_back(nullptr);
    pagesmith::DialogMessageSink dialogs;
    return pagesmith::run(int(arguments.size()), texts.data(), pagesmith::runWindowMode, dialogs);
}
