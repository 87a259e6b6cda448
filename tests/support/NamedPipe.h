#pragma once

#include "support/TempDir.h"

#include <string>

namespace pagesmith::test {

// A named pipe that nobody writes to, for inputs that must be refused
// without waiting: a FIFO in the folder on Linux; on Windows, which keeps its
// pipes out of the file system, a pipe in its pipe namespace ("\\.\pipe\"),
// open on the server side for as long as the object lives.
class NamedPipe {
public:
    NamedPipe(const TempDir& folder, const std::string& name);
    ~NamedPipe();
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    // Empty when it could not be made.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    void* m_server = nullptr;
};

// How many files and other system objects the process holds open.
std::size_t openHandleCount();

} // namespace pagesmith::test
