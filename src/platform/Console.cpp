#include "platform/Console.h"

#include <cstdio>

#ifdef _WIN32
#include "platform/Utf8Paths.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <csignal>

#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace pagesmith::platform {

namespace {

std::FILE* stdioOf(StandardStream stream) {
    return stream == StandardStream::Output ? stdout : stderr;
}

} // namespace

#ifdef _WIN32

namespace {

HANDLE handleOf(StandardStream stream) {
    return GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool isRedirected(StandardStream stream) {
    const HANDLE handle = handleOf(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return false;
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

// A console whose only process is this one was opened by the system for a
// program started outside any console.
bool ownsConsoleAlone() {
    DWORD processes[2];
    return GetConsoleWindow() != nullptr && GetConsoleProcessList(processes, 2) == 1;
}

} // namespace

void prepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (ownsConsoleAlone() && !isRedirected(StandardStream::Output) &&
        !isRedirected(StandardStream::Error)) {
        ShowWindow(GetConsoleWindow(), SW_HIDE);
        FreeConsole();
    }
}

bool prefersTextOutput() {
    return GetConsoleWindow() != nullptr || isRedirected(StandardStream::Output) ||
           isRedirected(StandardStream::Error);
}

bool isConsole(StandardStream stream) {
    DWORD mode = 0;
    return GetConsoleMode(handleOf(stream), &mode) != 0;
}

std::size_t consoleColumns(StandardStream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(handleOf(stream), &info))
        return 0;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? std::size_t(columns) : 0;
}

bool writeToStream(StandardStream stream, const std::string& text) {
    std::fflush(stdioOf(stream));
    const HANDLE handle = handleOf(stream);
    if (isConsole(stream)) {
        // The console shows characters, whatever its code page.
        const std::wstring wide = wideFromUtf8(text);
        DWORD written = 0;
        return WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr) &&
               written == wide.size();
    }
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        if (!WriteFile(handle, text.data() + done, DWORD(text.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

#else

namespace {

int descriptorOf(StandardStream stream) {
    return stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO;
}

} // namespace

void prepareStandardStreams() {
    std::signal(SIGPIPE, SIG_IGN);
}

bool prefersTextOutput() {
    return false;
}

bool isConsole(StandardStream stream) {
    return isatty(descriptorOf(stream)) == 1;
}

std::size_t consoleColumns(StandardStream stream) {
    winsize size{};
    if (ioctl(descriptorOf(stream), TIOCGWINSZ, &size) == 0)
        return size.ws_col;
    return 0;
}

bool writeToStream(StandardStream stream, const std::string& text) {
    std::fflush(stdioOf(stream));
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written =
            ::write(descriptorOf(stream), text.data() + done, text.size() - done);
        if (written <= 0)
            return false;
        done += std::size_t(written);
    }
    return true;
}

#endif

} // namespace pagesmith::platform
