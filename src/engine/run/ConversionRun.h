#pragma once

#include "engine/ConversionOptions.h"
#include "engine/ConvertResult.h"
#include "engine/run/HeldReport.h"
#include "engine/run/PageSink.h"

#include <string>
#include <vector>

namespace pagesmith {

class InputPages;

// One conversion or merge, whatever its output: every page of every input,
// in order, handed to the output, each with its line. A page that fails is
// followed by the next; an input that cannot be read by the next input. The
// output is written whole or not at all: its pages' lines come out once it
// is known whether it was.
class ConversionRun {
public:
    ConversionRun(const ConversionOptions& options, ProgressReport& report, PageSink& output);

    ConvertResult run(const std::vector<std::string>& inputs);

private:
    enum class Outcome { Next, OutputFailed, ScratchUnavailable, Stopped };

    bool outputIsAnInput(const std::vector<std::string>& inputs);
    Outcome copyInputs(const std::vector<std::string>& inputs);
    Outcome copyPages(InputPages& input, const std::vector<std::string>& inputs, std::size_t i);
    Outcome addPage(TIFF* in, int pageIndex);
    Outcome pageAdded(const AddedPage& page, int pageIndex);
    // A page that did not go into the output, after its reason lines.
    Outcome pageFailed(int pageIndex);
    Outcome outputFailed(int pageIndex);
    void writeNotMerged(const std::vector<std::string>& inputs, std::size_t first);
    ConvertResult finish(Outcome outcome);
    ConvertResult stop();
    void writeProblem(const InputPages& input);
    void writePageFailed(int pageIndex);
    bool interrupted() const { return isInterrupted(m_options); }

    const ConversionOptions& m_options;
    HeldReport m_lines;
    PageSink& m_output;
    std::size_t m_inputCount = 0;
    int m_pagesAdded = 0;
};

} // namespace pagesmith
