#pragma once

#include "engine/pdf/PdfImage.h"
#include "engine/pdf/PdfPageSource.h"

#include <tiffio.h>

#include <memory>
#include <vector>

namespace pagesmith {

// A JPEG page in strips as the document holds it without decoding:
// DCTDecode of the stored data, with the tables of the page's JPEGTables put
// in front. Grey, RGB, YCbCr (turned to RGB by the reader) and CMYK; CMYK
// data that carries Adobe's marker is stored inverted, as Adobe writes it,
// and is turned back by /Decode. The strips become one image where they
// share their tables and each holds whole rows of MCUs (in groups of a
// bounded size): restart markers then mark where one ends and the next
// begins. Otherwise each strip is an image.
// Empty when the page cannot go so (tiles, separate planes, 12-bit or
// arithmetic coding, colours PDF has no space for).
std::vector<PdfImage> jpegImages(TIFF* in, const PdfPageSource& source,
                                 const std::shared_ptr<PageDamage>& damage);

} // namespace pagesmith
