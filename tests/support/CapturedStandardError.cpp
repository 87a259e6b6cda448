#include "support/CapturedStandardError.h"

#include <cstdio>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace pagesmith::test {

namespace {

// The C runtime's descriptor calls. On Windows, moving descriptor 2 moves the
// process's standard error handle too, which the console calls write to.
#ifdef _WIN32
int createFile(const std::string& path) {
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int duplicate(int descriptor) {
    return _dup(descriptor);
}
void moveTo(int from, int to) {
    _dup2(from, to);
    _close(from);
}
#else
int createFile(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
}
int duplicate(int descriptor) {
    return ::dup(descriptor);
}
void moveTo(int from, int to) {
    ::dup2(from, to);
    ::close(from);
}
#endif

constexpr int kStandardError = 2;

} // namespace

CapturedStandardError::CapturedStandardError() {
    std::fflush(stderr);
    const int file = createFile(m_dir.file("stderr"));
    if (file < 0)
        return;
    m_saved = duplicate(kStandardError);
    moveTo(file, kStandardError);
}

CapturedStandardError::~CapturedStandardError() {
    if (m_saved < 0)
        return;
    std::fflush(stderr);
    moveTo(m_saved, kStandardError);
}

std::string CapturedStandardError::text() const {
    std::fflush(stderr);
    return readTextFile(m_dir.path() / "stderr");
}

} // namespace pagesmith::test
