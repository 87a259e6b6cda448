#include "engine/preview/PagePicture.h"

#include "base/MemoryLimits.h"
#include "base/SizeMath.h"
#include "engine/preview/PageReduction.h"
#include "engine/samples/DisplayRows.h"
#include "engine/threads/CoreBudget.h"
#include "engine/threads/ParallelParts.h"
#include "inspect/ReportLines.h"
#include "tiff/OpenForReading.h"

#include <tiffio.h>

#include <algorithm>
#include <memory>

namespace pagesmith {

namespace {

// Opened read rather than mapped: a file that shrinks while it is shown (a
// scanner writing it again) makes a read fail, where a mapping would bring
// the program down.
TiffHandle openPage(const std::string& path, int page, std::size_t mostAllocation) {
    TiffHandle file = openTiffForReading(path, "rm", mostAllocation);
    if (file && page > 0 && !TIFFSetDirectory(file.get(), tdir_t(page)))
        return {};
    return file;
}

// The decoded bytes of the page's storage unit, from its header.
std::uint64_t unitBytes(TIFF* in) {
    return std::uint64_t(TIFFIsTiled(in) ? TIFFTileSize64(in) : TIFFStripSize64(in));
}

// The cores of `cores` that read the page's rows in parts besides the calling
// thread, one part each: several where each part has a few units of its own
// to decode, small enough to keep libtiff's share of the memory within its
// limit on every handle, and their bands together within the preview's.
CoreLease helpersFor(TIFF* in, const DisplayRows& rows, const PageReduction& whole,
                     CoreBudget& cores) {
    if (rows.rowsPerUnit() == 0 || whole.rows().empty())
        return {};
    const std::uint32_t firstUnit = whole.rows().front() / rows.rowsPerUnit();
    const std::uint32_t lastUnit = whole.rows().back() / rows.rowsPerUnit();
    const std::uint32_t units = lastUnit - firstUnit + 1;
    if (unitBytes(in) > kMostPreviewSharedUnitBytes || units < 2 * kPreviewUnitsPerPart)
        return {};
    std::size_t parts = std::min<std::uint32_t>(kMostPreviewParts, units / kPreviewUnitsPerPart);
    if (rows.heldBytes() > 0)
        parts = std::min(parts, std::max<std::size_t>(1, kMostPreviewBandBytes / rows.heldBytes()));
    return CoreLease::ofFree(&cores, int(parts) - 1);
}

struct PartResult {
    std::string failure;
    bool stopped = false;
};

// Reads the rows one part of the picture takes and makes its shown rows.
PartResult drawPart(DisplayRows& rows, PageReduction& reduction, const std::atomic<bool>& stop) {
    PartResult result;
    for (std::uint32_t row : reduction.rows()) {
        if (stop) {
            result.stopped = true;
            return result;
        }
        const std::uint8_t* samples = rows.row(row);
        if (!samples) {
            result.failure =
                formatText("The page is damaged: its row %u cannot be read.", unsigned(row + 1));
            return result;
        }
        reduction.addRow(samples);
    }
    return result;
}

std::string refusalOf(const DisplayRows& rows) {
    if (!rows.refusal().empty())
        return rows.refusal();
    return "The page is damaged: its sizes do not agree with its data.";
}

} // namespace

PagePicture drawPagePicture(const PictureRequest& request, const std::atomic<bool>& stop) {
    // The preview draws one page at a time (its loader runs one request at
    // once), so each drawing may take every core of the machine.
    CoreBudget cores(CoreBudget::coresFor(0));
    return drawPagePicture(request, stop, cores);
}

PagePicture drawPagePicture(const PictureRequest& request, const std::atomic<bool>& stop,
                            CoreBudget& cores) {
    PagePicture picture;
    TiffHandle file = openPage(request.path, 0, kMostPreviewLibraryBytes);
    if (!file) {
        picture.failure = "This is not a TIFF file, or it cannot be read.";
        return picture;
    }
    picture.pageCount = int(std::min<tdir_t>(TIFFNumberOfDirectories(file.get()), 0x7FFFFFFF));
    picture.pageCount = std::max(picture.pageCount, 1);
    if (request.page < 0 || request.page >= picture.pageCount ||
        (request.page > 0 && !TIFFSetDirectory(file.get(), tdir_t(request.page)))) {
        picture.failure = formatText("The file has no page %d.", request.page + 1);
        return picture;
    }
    TIFF* in = file.get();
    picture.facts = readPageFacts(in);
    picture.shown = showPage(picture.facts, request.view);

    DisplayRows rows(in);
    if (!rows.valid()) {
        picture.failure = refusalOf(rows);
        return picture;
    }
    if (rows.heldBytes() > kMostPreviewBandBytes) {
        picture.failure = formatText("The page is stored in pieces too large to show "
                                     "(more than %u MB at once).",
                                     unsigned(kMostPreviewBandBytes >> 20));
        return picture;
    }
    const ShownRegion& region = picture.shown.region;
    const auto pixels = checkedMultiply(region.width, region.length);
    if (!pixels || *pixels == 0 || *pixels > kMostPreviewPictureBytes / 4) {
        picture.failure = "The page has no pixels to show.";
        return picture;
    }
    picture.pixels.assign(*pixels, 0xFFFFFFFFu);

    const auto reductionOf = [&](std::uint32_t first, std::uint32_t end) {
        return PageReduction(rows.width(), rows.length(), picture.shown, rows.channels(),
                             picture.pixels.data(), region.width, first, end);
    };
    PageReduction whole = reductionOf(0, region.length);
    const CoreLease helpers = helpersFor(in, rows, whole, cores);
    const int parts = helpers.cores() + 1;
    std::vector<PartResult> results(static_cast<std::size_t>(parts));
    if (parts == 1) {
        results[0] = drawPart(rows, whole, stop);
    } else {
        runInParallel(helpers, [&](int part) {
            const std::uint32_t first = region.length * std::uint32_t(part) / std::uint32_t(parts);
            const std::uint32_t end =
                region.length * std::uint32_t(part + 1) / std::uint32_t(parts);
            PageReduction reduction = reductionOf(first, end);
            if (part == 0) {
                results[0] = drawPart(rows, reduction, stop);
                return;
            }
            // Each other part reads through a handle of its own.
            TiffHandle own =
                openPage(request.path, request.page, kMostPreviewLibraryBytes / std::size_t(parts));
            std::unique_ptr<DisplayRows> ownRows =
                own ? std::make_unique<DisplayRows>(own.get()) : nullptr;
            if (!ownRows || !ownRows->valid()) {
                results[std::size_t(part)].failure = "The file changed while it was read.";
                return;
            }
            results[std::size_t(part)] = drawPart(*ownRows, reduction, stop);
        });
    }
    for (const PartResult& result : results) {
        if (result.stopped || !result.failure.empty()) {
            picture.stopped = result.stopped;
            picture.failure = result.failure;
            picture.pixels = {};
            return picture;
        }
    }
    return picture;
}

} // namespace pagesmith
