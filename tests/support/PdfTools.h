#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pagesmith::test {

// Poppler's and qpdf's command-line tools, run on written documents.

// Whether pdfimages, pdftoppm, pdfinfo and qpdf can be run.
bool pdfToolsPresent();

// A line of `pdfimages -list`.
struct ListedImage {
    int page = 0;
    int width = 0;
    int height = 0;
    std::string colour; // "gray", "rgb", "cmyk", "index"
    int bitsPerComponent = 0;
    std::string encoding; // "ccitt", "jpeg", "image" (Flate), ...
};
std::vector<ListedImage> listImages(const std::filesystem::path& pdf);

// Whether `qpdf --check` finds the document sound (exit status 0, no warning).
bool qpdfChecks(const std::filesystem::path& pdf, std::string* output = nullptr);

// `pdfinfo` of the document: "Title", "Producer", "Pages", "Page    1 size", ...
std::string pdfInfo(const std::filesystem::path& pdf, int lastPage = 1);
// The value of one field of that text, blanks around it removed.
std::string infoField(const std::string& info, const std::string& field);

// A page rendered by pdftoppm without anti-aliasing: grey (one channel) or
// RGB (three), rows top to bottom.
struct RenderedPage {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<std::uint8_t> pixels;
};
RenderedPage renderPage(const std::filesystem::path& pdf, int page, double xResolution,
                        double yResolution, bool grey);

// Writes a one-page document of `samples` (1 grey, 3 RGB or 4 CMYK
// components, 8 bits, rows top to bottom) stored without any filter, at
// 72 / resolution points a pixel: what a page of those samples shows.
void writePlainPdf(const std::filesystem::path& pdf, int width, int height, int components,
                   const std::vector<std::uint8_t>& samples, double xResolution,
                   double yResolution);

// The largest difference between two renderings' samples; 256 when their
// sizes differ.
int largestDifference(const RenderedPage& a, const RenderedPage& b);
int largestDifference(const RenderedPage& page, const std::vector<std::uint8_t>& samples,
                      int channels);

} // namespace pagesmith::test
