#include "platform/ProgramArguments.h"

#ifdef _WIN32
#include "platform/Utf8Paths.h"

#include <windows.h>

#include <shellapi.h>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    arguments.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        arguments.push_back(utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

#else

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

#endif

} // namespace pagesmith::platform
