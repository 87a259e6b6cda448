#include "support/NamedPipe.h"

#include <filesystem>

#ifdef _WIN32
#include "platform/PrivateFolder.h"
#include "platform/Utf8Paths.h"

#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace pagesmith::test {

#ifdef _WIN32

NamedPipe::NamedPipe(const TempDir& folder, const std::string& name) {
    const std::string path =
        "\\\\.\\pipe\\" + platform::utf8FromPath(folder.path().filename()) + "-" + name;
    const HANDLE server = CreateNamedPipeW(
        platform::wideFromUtf8(path).c_str(), PIPE_ACCESS_OUTBOUND,
        PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 4096, 4096, 0, nullptr);
    if (server == INVALID_HANDLE_VALUE)
        return;
    m_server = server;
    m_path = path;
}

NamedPipe::~NamedPipe() {
    if (m_server)
        CloseHandle(m_server);
}

std::size_t openHandleCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

#else

NamedPipe::NamedPipe(const TempDir& folder, const std::string& name) {
    const std::string path = folder.file(name);
    if (::mkfifo(path.c_str(), 0600) == 0)
        m_path = path;
}

NamedPipe::~NamedPipe() = default;

std::size_t openHandleCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

#endif

} // namespace pagesmith::test
