#pragma once

#include "engine/preview/ShownPage.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace pagesmith {

class CoreBudget;

// A page of a file, to be shown in `view`.
struct PictureRequest {
    std::string path;
    int page = 0; // from 0
    PreviewView view;
};

// What the preview shows of a page: the picture of the part of it in view,
// or why there is none.
struct PagePicture {
    int pageCount = 0; // the file's pages; 0 when it does not open as TIFF
    PageFacts facts;
    ShownPage shown;
    // shown.region, row by row, a 0xFFRRGGBB word a pixel; empty on a failure.
    std::vector<std::uint32_t> pixels;
    std::string failure;  // why there is no picture; empty when there is one
    bool stopped = false; // the request was given up before the picture was done
};

// Draws the page of the request as its view shows it, reading it a strip or
// band at a time (the rows it needs, on as many cores as its storage lets
// work apart), each shown pixel the average of the source pixels it covers.
// Within the preview's limits of MemoryLimits.h, whatever the page's header
// claims: a page that needs more, cannot be decoded or is damaged gets its
// reason instead of a picture. Gives up, as soon as it next looks, once
// `stop` turns true.
PagePicture drawPagePicture(const PictureRequest& request, const std::atomic<bool>& stop);

// The same, reading the page in parts on cores of `cores` that are free, as
// many as the page lets work apart. The calling thread holds one.
PagePicture drawPagePicture(const PictureRequest& request, const std::atomic<bool>& stop,
                            CoreBudget& cores);

} // namespace pagesmith
