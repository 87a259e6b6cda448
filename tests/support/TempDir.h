#pragma once

#include <filesystem>
#include <string>

namespace pagesmith::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The folder as UTF-8 text, the program's form of a path.
    std::string str() const;
    // path() / name, as UTF-8 text with the system's separators ("sub/a.tif"
    // becomes "sub\a.tif" on Windows, as the program writes it).
    std::string file(const std::string& name) const;

private:
    std::filesystem::path m_path;
};

// Writes text to a file (creating it or replacing its contents).
void writeTextFile(const std::filesystem::path& path, const std::string& text);
std::string readTextFile(const std::filesystem::path& path);

// The folder of real TIFF files written by other programs, or empty when this
// checkout has none (a user's clone).
std::filesystem::path sharedTestData();

} // namespace pagesmith::test
