#pragma once

#include <filesystem>
#include <functional>

namespace pagesmith::bench {

// Fills a folder with `files` small files as a scanned folder holds them:
// TIFF files of every compression the filter tells apart (some with several
// pages), and one in five not TIFF at all (named .tif or .dat). False when a
// file could not be written.
bool generateMixedFolder(const std::filesystem::path& folder, int files);

// Wall-clock seconds the work takes.
double secondsOf(const std::function<void()>& work);

} // namespace pagesmith::bench
