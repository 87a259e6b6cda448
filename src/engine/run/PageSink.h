#pragma once

#include "engine/PageDamage.h"

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>

namespace pagesmith {

class InputPages;
class ProgressReport;

// What became of a page handed to an output.
enum class PageStep {
    Added,              // it is in the output
    Failed,             // it stays out, its reason written; the output goes on
    OutputFailed,       // the output cannot take more: the run ends and drops it
    ScratchUnavailable, // the fax route's scratch file cannot be made: the run ends there
    Stopped,            // told to stop while the page was in hand
};

// A page an output took.
struct AddedPage {
    int sourcePage = 0;       // the input's directory it came from
    std::uint32_t length = 0; // its rows
    // Its rows left blank: known now, or, for an output that reads its pages'
    // data only when it is written whole, once it is.
    std::shared_ptr<const PageDamage> damage;
    bool damageKnown = true;
};

// How writing an output under its name ended.
enum class OutputEnd { Written, Failed, Stopped };

// One kind of output of a conversion run (a TIFF file, a PDF document). The
// run walks the inputs and their pages and hands each page to its output;
// the output holds what it was given until the run has it written or drops
// it. What is said about a page in hand goes to the report the run hands in.
class PageSink {
public:
    virtual ~PageSink() = default;

    // The file the output becomes.
    virtual const std::string& path() const = 0;

    // Creates the output; false when it cannot be.
    virtual bool begin() = 0;

    // The run moves on to `input`. `nextWhole` is the input after it when
    // that one is read whole (for reading ahead), empty otherwise.
    virtual void inputOpened(const InputPages& /*input*/, const std::string& /*nextWhole*/) {}

    // Adds the input's current page, page `pageIndex` of the input in hand.
    // Why a page did not go in (before the run's own line for it) goes to
    // `report`. On Added, `added` says what went in.
    virtual PageStep addPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& added) = 0;

    // Takes what was begun of a page that did not go in out of the output;
    // false when the output cannot be written any more.
    virtual bool dropPage() = 0;

    // Takes the page just added out again; false when the output cannot be
    // written any more.
    virtual bool removeLastPage() = 0;

    // Writes the output under its name.
    virtual OutputEnd finish() = 0;

    // Drops the output: nothing is left under its name (an appended file
    // keeps what it had).
    virtual void abandon() = 0;
};

} // namespace pagesmith
