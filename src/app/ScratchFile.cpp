#include "app/ScratchFile.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace pagesmith {

namespace {

constexpr const char* kScratchName = "tmptif.tbw";

} // namespace

ScratchFile::ScratchFile() {
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    std::string pattern =
        ((error ? std::filesystem::path("/tmp") : temp) / "pagesmith-XXXXXX").string();
    if (mkdtemp(pattern.data())) {
        m_folder = pattern;
        m_path = (std::filesystem::path(m_folder) / kScratchName).string();
    } else {
        // No private folder to be had: the process id still keeps runs apart.
        m_path = ((error ? std::filesystem::path("/tmp") : temp) /
                  ("tmptif-" + std::to_string(getpid()) + ".tbw"))
                     .string();
    }
}

ScratchFile::~ScratchFile() {
    std::error_code ignored;
    // The private folder also holds the scratch files of the other threads
    // of a batch run (the path with a number added).
    if (!m_folder.empty())
        std::filesystem::remove_all(m_folder, ignored);
    else
        std::filesystem::remove(m_path, ignored);
}

} // namespace pagesmith
