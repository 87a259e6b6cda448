#include "support/PdfChecks.h"

#include "engine/run/ConvertFiles.h"
#include "engine/samples/EightBitRows.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace pagesmith::test {

ConvertResult convertToPdf(int count, const std::vector<std::string>& inputs,
                           const std::filesystem::path& pdf, ConversionOptions options,
                           ProgressReport& report) {
    options.compressionMode = CompressionMode::Pdf;
    std::filesystem::path base = pdf;
    base.replace_extension();
    return convertFiles(count, inputs, base.string(), options, report);
}

EightBitPage eightBitPage(const std::filesystem::path& tiff, int page) {
    EightBitPage decoded;
    TiffHandle file = openPage(tiff, page);
    if (!file)
        return decoded;
    EightBitRows rows(file.get());
    if (!rows.valid())
        return decoded;
    decoded.width = int(rows.width());
    decoded.length = int(rows.length());
    decoded.channels = channelsOf(rows.colour());
    const std::size_t rowBytes = std::size_t(decoded.width) * decoded.channels;
    decoded.samples.resize(rowBytes * decoded.length);
    for (std::uint32_t y = 0; y < rows.length(); ++y) {
        const std::uint8_t* row = rows.row(y);
        if (row)
            std::memcpy(decoded.samples.data() + y * rowBytes, row, rowBytes);
    }
    return decoded;
}

int renderedDifference(const std::filesystem::path& pdf, int page, const EightBitPage& expected,
                       double xResolution, double yResolution) {
    const RenderedPage rendered =
        renderPage(pdf, page, xResolution, yResolution, expected.channels == 1);
    if (rendered.width != expected.width || rendered.height != expected.length)
        return 256;
    if (expected.channels != 4)
        return largestDifference(rendered, expected.samples, expected.channels);
    // Ink has no one rendering: the reader's own conversion of the same inks.
    TempDir folder;
    const std::filesystem::path reference = folder.path() / "reference.pdf";
    writePlainPdf(reference, expected.width, expected.length, 4, expected.samples, xResolution,
                  yResolution);
    return largestDifference(rendered, renderPage(reference, 1, xResolution, yResolution, false));
}

int renderedDifferenceAwayFromJoins(const std::filesystem::path& pdf, int page,
                                    const EightBitPage& expected, double xResolution,
                                    double yResolution, int stripRows, int& atJoins) {
    atJoins = 0;
    const RenderedPage rendered = renderPage(pdf, page, xResolution, yResolution, false);
    if (expected.channels != 3 || rendered.channels != 3 || rendered.width != expected.width ||
        rendered.height != expected.length)
        return 256;
    int away = 0;
    const std::size_t rowBytes = std::size_t(expected.width) * 3;
    for (int y = 0; y < expected.length; ++y) {
        const bool nextToJoin =
            (y > 0 && y % stripRows == 0) || (y + 1 < expected.length && (y + 1) % stripRows == 0);
        int& largest = nextToJoin ? atJoins : away;
        for (std::size_t i = y * rowBytes; i < (y + 1) * rowBytes; ++i)
            largest =
                std::max(largest, std::abs(int(rendered.pixels[i]) - int(expected.samples[i])));
    }
    return away;
}

} // namespace pagesmith::test
