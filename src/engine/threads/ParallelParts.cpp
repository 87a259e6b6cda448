#include "engine/threads/ParallelParts.h"

#include "engine/threads/JoiningThread.h"

#include <system_error>
#include <vector>

namespace pagesmith {

void runInParallel(const CoreLease& helpers, const std::function<void(int part)>& work) {
    const int parts = helpers.cores() + 1;
    std::vector<JoiningThread> others;
    others.reserve(std::size_t(parts - 1));
    std::vector<int> leftOver; // parts no thread could be started for
    for (int part = 1; part < parts; ++part) {
        try {
            others.emplace_back([&work, part] { work(part); });
        } catch (const std::system_error&) {
            leftOver.push_back(part);
        }
    }
    work(0);
    for (int part : leftOver)
        work(part);
    for (JoiningThread& thread : others)
        thread.join();
}

} // namespace pagesmith
