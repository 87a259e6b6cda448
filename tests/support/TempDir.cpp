#include "support/TempDir.h"

#include "platform/PrivateFolder.h"
#include "platform/Utf8Paths.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pagesmith::test {

TempDir::TempDir() {
    const std::string folder = platform::createPrivateFolder("pagesmith-test-");
    if (folder.empty())
        throw std::runtime_error("cannot create a temporary folder");
    m_path = platform::pathFromUtf8(folder);
}

std::string TempDir::str() const {
    return platform::utf8FromPath(m_path);
}

std::string TempDir::file(const std::string& name) const {
    return platform::utf8FromPath((m_path / platform::pathFromUtf8(name)).make_preferred());
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Tests make folders read-only or leave FIFOs; removal must not throw.
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void writeTextFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::filesystem::path sharedTestData() {
    const std::filesystem::path folder = PAGESMITH_SHARED_TESTDATA;
    std::error_code ignored;
    if (std::filesystem::is_directory(folder, ignored))
        return folder;
    return {};
}

} // namespace pagesmith::test
