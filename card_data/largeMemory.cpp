#include "card_data/largeMemory.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

#include <cstdint>

namespace mdlZorv {

void adviseHugePages([[maybe_unused]] void *data, [[maybe_unused]] size_t bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t hugePage = 2 * 1024 * 1024;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(hugePage - 1);
    if (data && last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE); // only a hint
#endif
}

void prefault([[maybe_unused]] void *data, [[maybe_unused]] size_t bytes)
{
#ifdef Q_OS_LINUX
    constexpr int populateWrite = 23; // MADV_POPULATE_WRITE, Linux 5.14; older kernels refuse it
    constexpr size_t smallest = 64 * 1024;
    constexpr std::uintptr_t page = 4096;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
    const std::uintptr_t last = (begin + bytes) & ~(page - 1);
    if (data && bytes >= smallest && last > first)
        madvise(reinterpret_cast<void *>(first), last - first, populateWrite); // only a hint
#endif
}

} // namespace mdlZorv
