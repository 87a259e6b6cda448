#pragma once

#include <filesystem>
#include <string>

namespace pagesmith::bench {

// A fresh folder under the system's temporary folder, named after the
// benchmark, removed with everything in it when the object goes unless kept.
class TempFolder {
public:
    explicit TempFolder(const std::string& benchmark);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Empty when the folder could not be made.
    const std::filesystem::path& path() const { return m_path; }
    explicit operator bool() const { return !m_path.empty(); }

    // Leaves the files for a closer look, and says where they are.
    void keep();

private:
    std::filesystem::path m_path;
    bool m_keep = false;
};

} // namespace pagesmith::bench
