#include "engine/tiffout/FloatingSampleLimits.h"

#include "engine/tiffout/TagCopy.h"
#include "tiff/RawDirectory.h"

namespace pagesmith {

bool keepFloatingSampleLimits(TIFF* in, TIFF* out) {
    for (const std::uint16_t tag : {TIFFTAG_SMINSAMPLEVALUE, TIFFTAG_SMAXSAMPLEVALUE}) {
        const std::uint16_t type = storedFieldType(in, tag);
        if (type != TIFF_FLOAT && type != TIFF_DOUBLE)
            continue;
        const std::vector<double> values = valuesPerSample(in, tag);
        if (!values.empty() && !rewriteLastEntryAsDoubles(out, tag, values))
            return false;
    }
    return true;
}

} // namespace pagesmith
