#include "fuzz/FuzzEntry.h"

#include "engine/CompressionChoice.h"
#include "engine/ConvertFiles.h"
#include "inspect/TiffInfo.h"
#include "tiff/TiffDiagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace pagesmith::test {

namespace {

// Lines and marks are of no interest here; only what the run does to memory.
class DiscardedReport : public ProgressReport {
public:
    void addLine(const std::string&) override {}
    void markFile(std::size_t, const std::string&) override {}
    void showError(const std::string&, const std::string&) override {}
    void noteFailure() override {}
};

// One private folder per process for the input, the outputs and the scratch file.
const std::filesystem::path& workFolder() {
    static const std::filesystem::path folder = [] {
        silenceTiffDiagnostics();
        std::string pattern = (std::filesystem::temp_directory_path() / "pagesmith-fuzz-XXXXXX");
        if (!mkdtemp(pattern.data()))
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return folder;
}

bool writeInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

void runFuzzInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& folder = workFolder();
    const std::string input = (folder / "in.tif").string();
    if (!writeInput(input, data, size))
        std::abort();

    DiscardedReport report;
    countTiffPages(input);
    writeTiffInfo(input, report);
    for (int filter = 0; filter < kCompressionFilterCount; ++filter)
        matchesCompressionFilter(input, CompressionFilter(filter));

    ConversionOptions options;
    options.tempFile = (folder / "scratch.tbw").string();
    const std::string outputBase = (folder / "out").string();
    for (int mode = 0; mode < kCompressionModeCount; ++mode) {
        options.compressionMode = CompressionMode(mode);
        convertFiles(1, {input}, outputBase, options, report);
        std::error_code ignored;
        std::filesystem::remove(outputBase + ".tif", ignored);
    }
}

} // namespace pagesmith::test
