#include "app/ScratchFile.h"

#include "base/Paths.h"
#include "platform/PrivateFolder.h"
#include "platform/Utf8Paths.h"

#include <filesystem>

namespace pagesmith {

namespace {

constexpr const char* kScratchName = "tmptif.tbw";

} // namespace

ScratchFile::ScratchFile() {
    m_folder = platform::createPrivateFolder("pagesmith-");
    if (!m_folder.empty()) {
        m_path = joinPath(m_folder, kScratchName);
    } else {
        // No private folder to be had: the process id still keeps runs apart.
        m_path = joinPath(platform::temporaryFolder(),
                          "tmptif-" + std::to_string(platform::processId()) + ".tbw");
    }
}

ScratchFile::~ScratchFile() {
    std::error_code ignored;
    // The private folder also holds the scratch files of the other threads
    // of a batch run (the path with a number added).
    if (!m_folder.empty())
        std::filesystem::remove_all(platform::pathFromUtf8(m_folder), ignored);
    else
        std::filesystem::remove(platform::pathFromUtf8(m_path), ignored);
}

} // namespace pagesmith
