#include "support/ConvertOnce.h"

#include "engine/run/ConvertFiles.h"
#include "tiff/TiffDiagnostics.h"

#include <cstdio>

namespace pagesmith::bench {

namespace {

// The run's lines, kept to show why a page failed; a fault is shown at once.
class CollectedReport : public ProgressReport {
public:
    void addLine(const ReportLine& line) override { lines += line.text; }
    void showError(const std::string& caption, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    void noteFailure() override {}
    std::string lines;
};

} // namespace

int convertOnce(const char* input, const char* outputBase, CompressionMode compressionMode,
                int outputTiled, const char* scratchFile) {
    silenceTiffDiagnostics();
    ConversionOptions options;
    options.compressionMode = compressionMode;
    options.outputTiled = outputTiled;
    options.keepName = 1;
    options.tempFile = scratchFile;
    CollectedReport report;
    const ConvertResult result = convertFiles(1, {std::string(input)}, outputBase, options, report);
    if (report.lines.find("failed") != std::string::npos) {
        std::fprintf(stderr, "%s", report.lines.c_str());
        return 1;
    }
    return result == ConvertResult::Done ? 0 : 1;
}

} // namespace pagesmith::bench
