#include "PdfChecks.h"

#include "engine/EightBitRows.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <cstring>

namespace pagesmith::test {

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

} // namespace pagesmith::test
