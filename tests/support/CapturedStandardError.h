#pragma once

#include "support/TempDir.h"

#include <string>

namespace pagesmith::test {

// Sends what the process writes to standard error into a file for as long as
// the object lives, so a test can say what was written there.
class CapturedStandardError {
public:
    CapturedStandardError();
    ~CapturedStandardError();
    CapturedStandardError(const CapturedStandardError&) = delete;
    CapturedStandardError& operator=(const CapturedStandardError&) = delete;

    // Everything written since the capture began.
    std::string text() const;

private:
    TempDir m_dir;
    int m_saved = -1;
};

} // namespace pagesmith::test
