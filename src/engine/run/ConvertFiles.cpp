#include "engine/run/ConvertFiles.h"

#include "engine/CompressionChoice.h"
#include "engine/run/ConversionRun.h"
#include "engine/run/PdfSink.h"
#include "engine/run/TiffSink.h"
#include "engine/threads/CoreBudget.h"

namespace pagesmith {

std::string outputPathOf(const std::string& outputBase, const ConversionOptions& options) {
    const CompressionModeInfo* mode = compressionModeInfo(options.compressionMode);
    if (!mode)
        return outputBase + ".tif";
    return outputBase + (options.keepName ? "" : mode->suffix) + mode->extension;
}

ConvertResult convertFiles(int count, const std::vector<std::string>& inputs,
                           const std::string& outputBase, const ConversionOptions& options,
                           ProgressReport& report) {
    CoreBudget cores(CoreBudget::coresFor(options.threads));
    return convertFiles(count, inputs, outputBase, options, report, cores);
}

ConvertResult convertFiles(int count, const std::vector<std::string>& inputs,
                           const std::string& outputBase, const ConversionOptions& options,
                           ProgressReport& report, CoreBudget& cores) {
    if (count < 0 || std::size_t(count) > inputs.size())
        count = int(inputs.size());
    const std::vector<std::string> taken(inputs.begin(), inputs.begin() + count);
    const std::string outputPath = outputPathOf(outputBase, options);
    if (options.compressionMode == CompressionMode::Pdf) {
        PdfSink document(outputPath, options, &cores);
        return ConversionRun(options, report, document).run(taken);
    }
    TiffSink file(outputPath, options, count, cores);
    return ConversionRun(options, report, file).run(taken);
}

} // namespace pagesmith
