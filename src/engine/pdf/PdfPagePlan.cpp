#include "engine/pdf/PdfPagePlan.h"

#include "base/ReportMessages.h"
#include "engine/pdf/CcittImages.h"
#include "engine/pdf/FlateImage.h"
#include "engine/pdf/JpegImages.h"

namespace pagesmith {

PdfPagePlan planPdfPage(TIFF* in, const PdfPageSource& source, CoreBudget* cores) {
    PdfPagePlan plan;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &plan.width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &plan.length);
    if (plan.width == 0 || plan.length == 0) {
        plan.refusal =
            formatMessage<ReportMessage::NoPixels>(unsigned(plan.width), unsigned(plan.length));
        return plan;
    }
    plan.size = pdfPageSize(in, plan.width, plan.length);

    plan.images = ccittImages(in, source, plan.damage);
    if (plan.images.empty())
        plan.images = jpegImages(in, source, plan.damage);
    if (!plan.images.empty())
        return plan;

    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFIsCODECConfigured(compression)) {
        plan.refusal = formatMessage<ReportMessage::UnreadableCompression>(unsigned(compression));
        return plan;
    }
    plan.images = flateImages(in, source, plan.damage, kPdfFlateLevel, cores, plan.refusal);
    return plan;
}

} // namespace pagesmith
