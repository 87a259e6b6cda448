#include "engine/threads/ParallelParts.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace pagesmith {

void runInParallel(int parts, const std::function<void(int part)>& work) {
    std::vector<std::thread> others;
    std::vector<int> leftOver; // parts no thread could be started for
    for (int part = 1; part < parts; ++part) {
        try {
            others.emplace_back(work, part);
        } catch (const std::system_error&) {
            leftOver.push_back(part);
        }
    }
    if (parts >= 1)
        work(0);
    for (int part : leftOver)
        work(part);
    for (std::thread& thread : others)
        thread.join();
}

int coresForParts(int most) {
    const int cores = int(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, std::max(most, 1));
}

} // namespace pagesmith
