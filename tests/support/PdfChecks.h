#pragma once

#include "engine/ConversionOptions.h"
#include "engine/ConvertResult.h"
#include "support/PdfTools.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pagesmith {
class ProgressReport;
}

namespace pagesmith::test {

// Converts the first `count` inputs into the document `pdf` (its name ends in
// ".pdf"), as the program does with the PDF mode.
ConvertResult convertToPdf(int count, const std::vector<std::string>& inputs,
                           const std::filesystem::path& pdf, ConversionOptions options,
                           ProgressReport& report);

// A TIFF page as the program's rules make it 8-bit (EightBitRows): grey,
// RGB or CMYK samples, rows top to bottom.
struct EightBitPage {
    int width = 0;
    int length = 0;
    int channels = 0;
    std::vector<std::uint8_t> samples;
};
EightBitPage eightBitPage(const std::filesystem::path& tiff, int page = 0);

// The largest difference between page `page` of the document, rendered at
// the given resolution, and the samples: grey and RGB against the samples
// themselves, CMYK against a rendering of the same samples stored plain.
int renderedDifference(const std::filesystem::path& pdf, int page, const EightBitPage& expected,
                       double xResolution, double yResolution);

// The same for a JPEG page whose strips of `stripRows` rows were joined: the
// decoder smooths halved colour across each join, which each strip decoded
// alone cannot. The rows away from the joins are compared (the result); the
// largest difference on the two rows at each join goes to `atJoins`.
int renderedDifferenceAwayFromJoins(const std::filesystem::path& pdf, int page,
                                    const EightBitPage& expected, double xResolution,
                                    double yResolution, int stripRows, int& atJoins);

} // namespace pagesmith::test
