#include "support/TempFolder.h"

#include <cstdio>
#include <cstdlib>

namespace pagesmith::bench {

TempFolder::TempFolder(const std::string& benchmark) {
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    std::string pattern =
        ((error ? std::filesystem::path("/tmp") : temp) / ("pagesmith-" + benchmark + "-XXXXXX"))
            .string();
    if (mkdtemp(pattern.data()))
        m_path = pattern;
    else
        std::perror("mkdtemp");
}

TempFolder::~TempFolder() {
    if (m_path.empty() || m_keep)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void TempFolder::keep() {
    m_keep = true;
    std::printf("  files kept in %s\n", m_path.c_str());
}

} // namespace pagesmith::bench
