#pragma once

// Where the code of a word starts in a text of codes: a scan of blocks of starting places at once
// (SSE2, or AVX2 where the processor has it), for the find index.

#include <QtGlobal>

#include <bit>
#include <cstring>
#include <string_view>

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace codeScan {

// Searches may read this far past the end of the code they search, which saves the slow
// handling of the last bytes; every code keeps as many field ends after its end.
inline constexpr size_t readAhead = 64;

#ifdef __SSE2__
// Asking for the text this far ahead of the search keeps memory busy while rows are found; a
// row found makes the search jump, which the processor's own prefetching follows less well.
inline constexpr size_t prefetchAhead = 2048;
#endif

inline bool sameCode(const quint8 *text, std::string_view code)
{
    for (const char byte : code) {
        if (*text++ != quint8(byte))
            return false;
    }
    return true;
}

// The places a code starts at in a text, looked for in blocks of starting places by comparing
// two of its bytes (its probes, the first before the second) at every place of a block at once.
// Each place found is given to onHit, which tells where to go on looking (after that place);
// the search ends at last, one past the last place the code may start at.
template <typename OnHit>
void forEachPlaceInBlocks(const quint8 *text, size_t at, size_t last, std::string_view code,
                          const size_t (&probes)[2], OnHit &onHit)
{
#ifdef __SSE2__
    const __m128i firstByte = _mm_set1_epi8(code[probes[0]]);
    const __m128i secondByte = _mm_set1_epi8(code[probes[1]]);
    while (at < last) {
        _mm_prefetch(reinterpret_cast<const char *>(text + at + prefetchAhead), _MM_HINT_T0);
        const auto *firsts = reinterpret_cast<const __m128i *>(text + at + probes[0]);
        const auto *seconds = reinterpret_cast<const __m128i *>(text + at + probes[1]);
        auto places = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(firsts), firstByte),
                                            _mm_cmpeq_epi8(_mm_loadu_si128(seconds), secondByte))));
        const size_t block = at;
        at += 16;
        for (; places != 0; places &= places - 1) {
            const size_t start = block + size_t(std::countr_zero(places));
            if (start < last && sameCode(text + start, code)) {
                at = onHit(start);
                break;
            }
        }
    }
#else
    for (; at < last; ++at) {
        if (sameCode(text + at, code))
            at = onHit(at) - 1;
    }
#endif
}

#if defined(__GNUC__) && defined(__x86_64__)
#define ZORV_FIND_AVX2
// The same with blocks of 64 places, on processors with AVX2.
template <typename OnHit>
__attribute__((target("avx2"))) void
forEachPlaceInWideBlocks(const quint8 *text, size_t at, size_t last, std::string_view code,
                         const size_t (&probes)[2], OnHit &onHit)
{
    const __m256i firstByte = _mm256_set1_epi8(code[probes[0]]);
    const __m256i secondByte = _mm256_set1_epi8(code[probes[1]]);
    while (at < last) {
        _mm_prefetch(reinterpret_cast<const char *>(text + at + prefetchAhead), _MM_HINT_T0);
        const auto *firsts = reinterpret_cast<const __m256i *>(text + at + probes[0]);
        const auto *seconds = reinterpret_cast<const __m256i *>(text + at + probes[1]);
        const __m256i low =
            _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256(firsts), firstByte),
                             _mm256_cmpeq_epi8(_mm256_loadu_si256(seconds), secondByte));
        const __m256i high =
            _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256(firsts + 1), firstByte),
                             _mm256_cmpeq_epi8(_mm256_loadu_si256(seconds + 1), secondByte));
        const size_t block = at;
        at += 64;
        const __m256i both = _mm256_or_si256(low, high);
        if (_mm256_testz_si256(both, both))
            continue;
        quint64 places =
            quint32(_mm256_movemask_epi8(low)) | quint64(quint32(_mm256_movemask_epi8(high))) << 32;
        for (; places != 0; places &= places - 1) {
            const size_t start = block + size_t(std::countr_zero(places));
            if (start < last && sameCode(text + start, code)) {
                at = onHit(start);
                break;
            }
        }
    }
}

inline bool hasAvx2()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}
#endif

// Gives onHit each place in text, from from to to, where code starts, and goes on from the place
// onHit returns, which lies after the one it was given. The text must be readable to readAhead
// bytes past to.
template <typename OnHit>
void forEachPlace(const quint8 *text, size_t from, size_t to, std::string_view code,
                  const size_t (&probes)[2], OnHit onHit)
{
    if (to < from + code.size())
        return;
    const size_t last = to - code.size() + 1;
    if (code.size() == 1) {
        for (size_t at = from; at < last;) {
            const auto *hit =
                static_cast<const quint8 *>(std::memchr(text + at, code[0], last - at));
            if (!hit)
                return;
            at = onHit(size_t(hit - text));
        }
        return;
    }
#ifdef ZORV_FIND_AVX2
    // Less than a wide block, as one row often is, ends sooner in narrow blocks.
    if (last - from >= 64 && hasAvx2())
        return forEachPlaceInWideBlocks(text, from, last, code, probes, onHit);
#endif
    forEachPlaceInBlocks(text, from, last, code, probes, onHit);
}

inline bool holdsCode(const quint8 *text, size_t from, size_t to, std::string_view code,
                      const size_t (&probes)[2])
{
    bool holds = false;
    forEachPlace(text, from, to, code, probes, [&](size_t) {
        holds = true;
        return to;
    });
    return holds;
}

} // namespace codeScan
