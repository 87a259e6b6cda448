#pragma once

#include "engine/pdf/PdfImage.h"
#include "engine/pdf/PdfPageSource.h"

#include <tiffio.h>

#include <memory>
#include <string>
#include <vector>

namespace pagesmith {

class CoreBudget;

// A page decoded and written losslessly with Flate. Kinds PDF shows as they
// are keep their samples: grey, RGB and CMYK of 1, 2, 4 or 8 bits in one
// plane (min-is-white through /Decode), palettes of up to 8 bits as an
// Indexed space of their colour map made 8-bit. Every other kind goes in as
// the 8-bit samples it makes (16-bit and floating-point samples scaled,
// separate planes joined, alpha composited on white, YCbCr and CIE L*a*b*
// as RGB). 8-bit samples go through PNG's filters. A page whose rows
// exceed kMostPdfImageBytes is cut into images of whole rows. Empty, with the
// reason in `refusal` where there is one, when the page cannot be decoded.
std::vector<PdfImage> flateImages(TIFF* in, const PdfPageSource& source,
                                  const std::shared_ptr<PageDamage>& damage, int level,
                                  CoreBudget* cores, std::string& refusal);

} // namespace pagesmith
