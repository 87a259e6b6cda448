#pragma once

#include "engine/threads/CoreBudget.h"

#include <functional>

namespace pagesmith {

// Runs parts of one piece of work at once: part 0 on the calling thread, and
// one more part on a thread of its own for each core `helpers` holds (parts
// 1 to helpers.cores()); returns when all have ended. Without cores no thread
// is started. A part whose thread cannot be started runs on the calling
// thread after part 0.
void runInParallel(const CoreLease& helpers, const std::function<void(int part)>& work);

} // namespace pagesmith
