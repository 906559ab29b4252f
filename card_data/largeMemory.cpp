#include "card_data/largeMemory.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

#include <cstdint>

namespace mdlZorv {

namespace {

// Gives the system advice on the whole pages of unit bytes inside a block. The advice is only a
// hint: a system that does not take it leaves the block as it was.
[[maybe_unused]] void adviseWholePages([[maybe_unused]] void *data, [[maybe_unused]] size_t bytes,
                                       [[maybe_unused]] size_t unit, [[maybe_unused]] int advice)
{
#ifdef Q_OS_LINUX
    auto *begin = static_cast<char *>(data);
    const size_t misalignment = reinterpret_cast<std::uintptr_t>(begin) % unit;
    const size_t skip = misalignment == 0 ? 0 : unit - misalignment;
    if (!data || bytes <= skip)
        return;
    const size_t length = (bytes - skip) / unit * unit;
    if (length > 0)
        madvise(begin + skip, length, advice);
#endif
}

} // namespace

void adviseHugePages([[maybe_unused]] void *data, [[maybe_unused]] size_t bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr size_t hugePage = size_t(2) << 20;
    adviseWholePages(data, bytes, hugePage, MADV_HUGEPAGE);
#endif
}

void prefault([[maybe_unused]] void *data, [[maybe_unused]] size_t bytes)
{
#ifdef Q_OS_LINUX
    constexpr int populateWrite = 23; // MADV_POPULATE_WRITE, Linux 5.14; older kernels refuse it
    constexpr size_t smallest = size_t(64) << 10;
    constexpr size_t page = 4096;
    if (bytes >= smallest)
        adviseWholePages(data, bytes, page, populateWrite);
#endif
}

} // namespace mdlZorv
