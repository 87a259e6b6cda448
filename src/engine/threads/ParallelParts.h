#pragma once

#include <functional>

namespace pagesmith {

// Runs `parts` parts of one piece of work at once: part 0 on the calling
// thread, every other part on a thread of its own; returns when all have
// ended. With one part (or fewer) no thread is started.
void runInParallel(int parts, const std::function<void(int part)>& work);

// Threads worth starting for work split into parts: the machine's cores, at
// most `most`, at least 1.
int coresForParts(int most);

} // namespace pagesmith
