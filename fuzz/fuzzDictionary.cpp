// Reads a dictionary of readings that the input changed: the bytes of the dictionary the build made
// with some of them overwritten (where the input's first four bytes say) and maybe cut short,
// then, if it still reads, the readings of names made of the input's own characters. A damaged
// dictionary must be refused or read safely, never crash.

#include "card_rules/nameReadings.h"

#include <QFile>
#include <QtEndian>

#include <cstdint>
#include <cstdlib>

namespace {

const QByteArray &goodBytes()
{
    static const QByteArray bytes = [] {
        QFile file(QStringLiteral(ZORV_NAME_READINGS_PATH));
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        return file.readAll();
    }();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    QByteArray bytes = goodBytes();
    const auto at = qsizetype(qFromLittleEndian<quint32>(data) % quint32(bytes.size()));
    const bool cut = (data[4] & 1) != 0;
    const QByteArrayView patch(data + 5, qsizetype(size - 5));
    for (qsizetype i = 0; i < patch.size() && at + i < bytes.size(); ++i)
        bytes[at + i] = patch[i];
    if (cut)
        bytes.truncate(at + patch.size());
    QString problem;
    const auto dictionary = nameReadings::Dictionary::fromBytes(bytes, problem);
    if (!dictionary) {
        if (problem.isEmpty())
            std::abort();
        return 0;
    }
    const QString names = QString::fromUtf8(patch) + QStringLiteral("燐光の鍛冶師々");
    nameReadings::Reader reader(*dictionary);
    for (qsizetype start = 0; start < names.size(); start += 7) {
        if (reader.readingCodes(QStringView(names).sliced(start)).empty())
            std::abort();
    }
    return 0;
}
