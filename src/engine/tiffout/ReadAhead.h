#pragma once

namespace pagesmith {

class CoreBudget;
class PagePrefetch;

// What a page copy may use to decode ahead of its writing: spare cores of
// the run's budget, and the run's page decoded ahead while the page before
// was written. Either may be missing: the copy then decodes on its own
// thread.
struct ReadAhead {
    CoreBudget* cores = nullptr;
    PagePrefetch* nextPages = nullptr;
};

inline CoreBudget* coresOf(const ReadAhead* ahead) {
    return ahead ? ahead->cores : nullptr;
}

} // namespace pagesmith
