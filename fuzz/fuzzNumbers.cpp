// The lenient number reading and the number-to-text rule: any text reads without harm, and the
// text of a finite number reads back as that number to 15 significant digits.

#include "card_data/numberText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double read = mdlZorv::readNumber(text);
    check(!std::isnan(read));
    // Blanks, tabs and line feeds are skipped wherever they stand.
    QString spaced;
    for (const QChar c : text)
        spaced.append(c).append(u' ');
    check(mdlZorv::readNumber(spaced) == read);

    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) {
            const double back = mdlZorv::readNumber(mdlZorv::numberText(value));
            // 15 digits of the largest doubles round beyond the range, and of subnormal ones may
            // lose all their digits.
            const bool nearTheTop = std::fabs(value) > 1.7976931348623e308;
            check(std::isinf(back) ? nearTheTop && (back > 0) == (value > 0)
                                   : std::fabs(back - value) <= std::fabs(value) * 1e-14 ||
                                         std::fabs(value) < 1e-300);
        }
    }
    return 0;
}
