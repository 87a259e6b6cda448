#pragma once

namespace pagesmith {

// How a conversion run (convertFiles) ended. The values are those the batch
// has always been told.
enum class ConvertResult : int {
    Done = 0,             // the output holds at least one page (inputs may have been skipped)
    NoPageWritten = -1,   // no page went through: no output file was left
    OutputUnusable = -2,  // the output cannot be created or written, or is one of the inputs
    ScratchUnusable = -3, // the scratch file of the colour route cannot be created
    Stopped = -4,         // told to stop (options.interruption): no output was left
};

// Whether a run that ended so left an output written.
constexpr bool outputWasWritten(ConvertResult result) {
    return result == ConvertResult::Done || result == ConvertResult::ScratchUnusable;
}

} // namespace pagesmith
