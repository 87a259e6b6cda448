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

// Wall-clock seconds the work takes.
double secondsOf(const std::function<void()>& work);

} // namespace pagesmith::bench
