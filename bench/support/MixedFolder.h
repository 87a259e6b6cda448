#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace pagesmith::bench {

// Fills a folder with `files` small files as a scanned folder holds them:
// TIFF files of every compression the filter tells apart (some with several
// pages), and one in five not TIFF at all (named .tif or .dat). False when a
// file could not be written.
bool generateMixedFolder(const std::filesystem::path& folder, int files);

// The options of a benchmark over a generated folder:
//   --files N (10000), --repeat N (5), --keep (leave the folder for a look)
struct FolderBenchOptions {
    int files = 10000;
    int repeat = 5;
    bool keep = false;
};

// False, after printing the usage line for program, on an unknown option.
bool parseFolderBenchOptions(int argc, char** argv, const char* program,
                             FolderBenchOptions& options);

// A fresh folder under the system's temporary folder, removed with what it
// holds when the object goes unless kept.
class BenchFolder {
public:
    BenchFolder(const char* program, bool keep);
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    // Empty when the folder could not be made.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    bool m_keep;
};

// Wall-clock seconds the work takes.
double secondsOf(const std::function<void()>& work);

} // namespace pagesmith::bench
