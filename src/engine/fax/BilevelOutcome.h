#pragma once

namespace pagesmith {

// How a page bound for fax ended.
enum class BilevelOutcome {
    Dithered,           // a one-bit page is in the output's current directory
    PageFailed,         // the page cannot go to fax; nothing usable was written
    ScratchUnavailable, // the scratch file cannot be created
};

} // namespace pagesmith
