#include "support/CapturedStandardError.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace pagesmith::test {

CapturedStandardError::CapturedStandardError() {
    std::fflush(stderr);
    const int file = ::open(m_dir.file("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (file < 0)
        return;
    m_saved = ::dup(STDERR_FILENO);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
}

CapturedStandardError::~CapturedStandardError() {
    if (m_saved < 0)
        return;
    std::fflush(stderr);
    ::dup2(m_saved, STDERR_FILENO);
    ::close(m_saved);
}

std::string CapturedStandardError::text() const {
    std::fflush(stderr);
    return readTextFile(m_dir.path() / "stderr");
}

} // namespace pagesmith::test
