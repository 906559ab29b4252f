#pragma once

#include <QString>

#include <vector>

namespace mdlZorv {

// Asks the system to back a large block with huge pages where it can (Linux). A card file of
// 100,000 lines fills tens of megabytes at once, and touching them page by page is a large part
// of the cost of loading on a fresh process.
void adviseHugePages(void *data, size_t bytes);

// Asks the system to provide the pages of a block at once (Linux), which costs far less than
// faulting them in one by one as the block is filled.
void prefault(void *data, size_t bytes);

// Reserves room for exactly the number of elements that will be added.
template <typename T> void reserveExactly(std::vector<T> &vector, size_t count)
{
    vector.reserve(count);
    adviseHugePages(vector.data(), count * sizeof(T));
    prefault(vector.data(), count * sizeof(T));
}

// Reserves room for at most count characters.
inline void reserveAtMost(QString &text, qsizetype count)
{
    text.reserve(count);
    adviseHugePages(text.data(), size_t(text.capacity()) * sizeof(QChar));
}

} // namespace mdlZorv
