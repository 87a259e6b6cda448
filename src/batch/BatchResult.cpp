#include "batch/BatchResult.h"

#include <algorithm>

namespace pagesmith {

int OutputPages::outputPageOf(int sourcePage) const {
    const auto found = std::find(sourcePages.begin(), sourcePages.end(), sourcePage);
    return found == sourcePages.end() ? -1 : firstPage + int(found - sourcePages.begin());
}

} // namespace pagesmith
