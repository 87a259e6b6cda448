#include "fuzz/FuzzEntry.h"

#include "engine/CompressionChoice.h"
#include "engine/run/ConvertFiles.h"
#include "inspect/TiffInfo.h"
#include "platform/PrivateFolder.h"
#include "platform/Utf8Paths.h"
#include "tiff/OpenForReading.h"
#include "tiff/TiffDiagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace pagesmith::test {

namespace {

// Lines and marks are of no interest here; only what the run does to memory.
class DiscardedReport : public ProgressReport, public ReportLines {
public:
    void addLine(const ReportLine&) override {}
    void addLine(const std::string&) override {}
    void showError(const std::string&, const std::string&) override {}
    void noteFailure() override {}
};

// One private folder per process for the input, the outputs and the scratch
// file, removed when the process ends.
class WorkFolder {
public:
    WorkFolder() {
        silenceTiffDiagnostics();
        const std::string folder = platform::createPrivateFolder("pagesmith-fuzz-");
        if (folder.empty())
            std::abort();
        m_path = platform::pathFromUtf8(folder);
    }
    ~WorkFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

const std::filesystem::path& workFolder() {
    static const WorkFolder folder;
    return folder.path();
}

// Conversions take time in proportion to the pixels a page claims: a file of a
// few bytes may claim gigabytes of blank rows, which are written out as the
// page says (the memory for them stays bounded; the hostile-header tests check
// that). The fuzzer is after faults, not long writes, so it converts only
// files whose pages claim little.
constexpr double kMostClaimedBytes = 16.0 * (1 << 20);
constexpr int kMostPages = 64;

// Every page the chain counts, as the engine takes them: past a directory
// that cannot be read too.
bool claimsLittle(const std::string& path) {
    TiffHandle file = openTiffForReading(path, "rm");
    if (!file)
        return true; // nothing to convert: cheap
    const tdir_t pages = TIFFNumberOfDirectories(file.get());
    if (pages > kMostPages)
        return false;
    for (tdir_t page = 0; page < pages; ++page) {
        if (!TIFFSetDirectory(file.get(), page))
            continue;
        std::uint32_t width = 0, length = 0;
        std::uint16_t bits = 1, samples = 1;
        TIFFGetField(file.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(file.get(), TIFFTAG_IMAGELENGTH, &length);
        TIFFGetFieldDefaulted(file.get(), TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(file.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
        // Pages with samples wider than 64 bits are refused at once.
        const double claimed = bits > 64 ? 0 : double(width) * length * samples * bits / 8;
        if (claimed > kMostClaimedBytes)
            return false;
    }
    return true;
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
    if (!claimsLittle(input))
        return;

    ConversionOptions options;
    options.tempFile = (folder / "scratch.tbw").string();
    const std::string outputBase = (folder / "out").string();
    for (int mode = 0; mode < kCompressionModeCount; ++mode) {
        options.compressionMode = CompressionMode(mode);
        convertFiles(1, {input}, outputBase, options, report);
        std::error_code ignored;
        std::filesystem::remove(outputBase + ".tif", ignored);
    }
    // A merge: pages renumbered, and a page list taking them out of order.
    options.compressionMode = CompressionMode::Lzw;
    convertFiles(2, {input, input + ",1,0"}, outputBase, options, report);
    std::error_code ignored;
    std::filesystem::remove(outputBase + ".tif", ignored);
}

} // namespace pagesmith::test
