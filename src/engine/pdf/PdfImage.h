#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pagesmith {

enum class PdfColourSpace { Gray, Rgb, Cmyk, Indexed };

// An entry of an image's /DecodeParms.
struct PdfParameter {
    std::string key; // "/K", "/Columns", ...
    std::int64_t value = 0;
    bool isBoolean = false; // written as true or false
};

// One image of a page as it goes into the document: its dictionary, and the
// provider that writes its data, already filtered, when the document is
// written. A page is one image, or one per strip where its strips cannot be
// joined; each covers `rows` rows of the page from row `top`.
struct PdfImage {
    std::uint32_t width = 0;
    std::uint32_t rows = 0;
    std::uint32_t top = 0;
    int bitsPerComponent = 8;
    PdfColourSpace colour = PdfColourSpace::Gray;
    std::string palette;   // Indexed: red, green, blue of each index
    bool inverted = false; // /Decode turns every component round
    std::string filter;    // "/CCITTFaxDecode", "/DCTDecode" or "/FlateDecode"
    std::vector<PdfParameter> parameters;
    std::shared_ptr<QPDFObjectHandle::StreamDataProvider> data;
};

} // namespace pagesmith
