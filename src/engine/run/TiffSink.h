#pragma once

#include "engine/ConversionOptions.h"
#include "engine/run/PageSink.h"
#include "engine/tiffout/OutputFile.h"
#include "engine/tiffout/OutputPageSetup.h"
#include "engine/tiffout/PagePrefetch.h"
#include "engine/tiffout/PageSettings.h"

#include <string>

namespace pagesmith {

class CoreBudget;
class ReadDamage;

// A TIFF output: every page set up and its pixels copied as it comes, or,
// for a colour or grey page bound for fax, reduced to grey and dithered.
// The run's settings are its own, reset before each page.
class TiffSink : public PageSink {
public:
    // `outputPath`: the file to write (outputPathOf); `inputCount`: the
    // run's inputs, which decide whether pages keep their PageNumber.
    TiffSink(std::string outputPath, const ConversionOptions& options, int inputCount,
             CoreBudget& cores);

    const std::string& path() const override { return m_path; }
    bool begin() override;
    void inputOpened(const InputPages& input, const std::string& nextWhole) override;
    PageStep addPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& added) override;
    bool dropPage() override;
    bool removeLastPage() override;
    OutputEnd finish() override;
    void abandon() override { m_output.discard(); }

private:
    PageStep copyPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& added);
    PageStep ditherPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& added);
    void writeSetupFailure(TIFF* in, PageSetupResult setup, int pageIndex, ProgressReport& report);
    PageStep added(TIFF* in, const ReadDamage& damage, AddedPage& page);
    bool interrupted() const { return isInterrupted(m_options); }
    static bool pixelsStarted(TIFF* out);

    const std::string m_path;
    const ConversionOptions& m_options;
    CoreBudget& m_cores;
    PageSettings m_settings;
    PagePrefetch m_nextPages; // reads m_settings
    OutputFile m_output;
    int m_pagesAdded = 0;
};

} // namespace pagesmith
