#pragma once

#include "engine/pdf/PdfImage.h"
#include "engine/pdf/PdfPageSource.h"

#include <tiffio.h>

#include <memory>
#include <vector>

namespace pagesmith {

// A one-bit page stored with CCITT coding (Group 3 one- or two-dimensional,
// Group 4, or the run lengths of compression 2), as the document holds it
// without decoding: CCITTFaxDecode with the page's own K, EncodedByteAlign,
// BlackIs1, Columns and Rows. Group 3 and run-length strips are joined (in
// groups of a bounded size), each strip beginning as a line of its own;
// Group 4 strips, each coded against a white line of its own, stay one image
// each. Empty when the page cannot go so (tiles, uncompressed mode, strips
// that lie outside the file).
std::vector<PdfImage> ccittImages(TIFF* in, const PdfPageSource& source,
                                  const std::shared_ptr<PageDamage>& damage);

} // namespace pagesmith
