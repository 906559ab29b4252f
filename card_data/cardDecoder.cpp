#include "card_data/cardDecoder.h"

#include <array>
#include <vector>

namespace mdlZorv {

namespace {

constexpr char16_t replacement = u'\uFFFD';
constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF", 3);

bool isLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

bool isHalfWidthKatakana(uchar b)
{
    return b >= 0xA1 && b <= 0xDF;
}

// How many bytes at the end of a piece of UTF-8 begin a character that the piece does not finish.
qsizetype unfinishedUtf8Tail(QByteArrayView bytes)
{
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, bytes.size()); ++back) {
        const uchar b = uchar(bytes[bytes.size() - back]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead
        const qsizetype needed = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return needed > back ? back : 0;
    }
    return 0;
}

// The double-byte characters of code page 932, decoded once through the platform's converter and
// then looked up directly. Looking up keeps decoding linear and free of per-call overhead, and
// it keeps the single bytes out of the converter, which maps a few ASCII control bytes
// (0x1A, 0x1C, 0x7F) to other control characters.
class Cp932Table
{
public:
    static const Cp932Table &instance()
    {
        static const Cp932Table table;
        return table;
    }

    bool isValid() const { return valid_; }
    char16_t pair(uchar lead, uchar trail) const { return chars_[index(lead, trail)]; }

private:
    static constexpr int leadCount = 0xFC - 0x81 + 1;
    static constexpr int trailCount = 0xFC - 0x40 + 1;
    static int index(uchar lead, uchar trail)
    {
        return (lead - 0x81) * trailCount + (trail - 0x40);
    }

    Cp932Table()
    {
        QStringDecoder decoder("windows-31j");
        if (!decoder.isValid())
            return;
        QByteArray allPairs;
        std::vector<int> slots;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isLeadByte(uchar(lead)) || !isTrailByte(uchar(trail)))
                    continue;
                allPairs.append(char(lead)).append(char(trail));
                slots.push_back(index(uchar(lead), uchar(trail)));
            }
        }
        const QString decoded = decoder(allPairs);
        // One pair must give one character; anything else means an unexpected converter.
        if (decoded.size() != qsizetype(slots.size()))
            return;
        chars_.fill(replacement);
        for (size_t i = 0; i < slots.size(); ++i) {
            const char16_t c = decoded[qsizetype(i)].unicode();
            chars_[size_t(slots[i])] = (c < 0x20 || c == 0x7F) ? replacement : c;
        }
        valid_ = true;
    }

    std::array<char16_t, size_t(leadCount) * trailCount> chars_{};
    bool valid_ = false;
};

} // namespace

CardDecoder::CardDecoder() = default;
CardDecoder::~CardDecoder() = default;

void CardDecoder::chooseMode(QByteArrayView &bytes)
{
    if (bytes.startsWith(utf8Mark)) {
        mode_ = Mode::Utf8;
        bytes = bytes.sliced(utf8Mark.size());
        decoder_ =
            std::make_unique<QStringDecoder>(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    } else if (Cp932Table::instance().isValid()) {
        mode_ = Mode::Cp932;
    } else {
        mode_ = Mode::System;
        decoder_ = std::make_unique<QStringDecoder>(QStringDecoder::System);
    }
}

void CardDecoder::decode(QByteArrayView bytes, QString &out)
{
    if (mode_ == Mode::Undecided) {
        pending_.append(bytes);
        // Wait until there are enough bytes to tell whether the file starts with the mark.
        if (pending_.size() < utf8Mark.size() && utf8Mark.startsWith(pending_))
            return;
        const QByteArray start = std::exchange(pending_, {});
        QByteArrayView startView(start);
        chooseMode(startView);
        decode(startView, out);
        return;
    }
    if (mode_ == Mode::Cp932) {
        decodeCp932(bytes, out);
        return;
    }
    if (mode_ == Mode::Utf8) {
        // Each piece is decoded on its own, so keep back a character that it does not finish.
        pending_.append(bytes);
        const qsizetype tail = unfinishedUtf8Tail(pending_);
        out.append((*decoder_)(QByteArrayView(pending_).chopped(tail)));
        pending_.remove(0, pending_.size() - tail);
        return;
    }
    out.append((*decoder_)(bytes));
}

void CardDecoder::finish(QString &out)
{
    if (mode_ == Mode::Undecided) {
        const QByteArray start = std::exchange(pending_, {});
        QByteArrayView startView(start);
        chooseMode(startView);
        decode(startView, out);
    }
    if (mode_ == Mode::Cp932 && !pending_.isEmpty()) {
        out.append(QChar(replacement)); // a lead byte at the very end of the file
        pending_.clear();
    }
    if (mode_ == Mode::Utf8 && !pending_.isEmpty()) {
        out.append((*decoder_)(pending_)); // an unfinished character at the very end
        pending_.clear();
    }
}

void CardDecoder::decodeCp932(QByteArrayView bytes, QString &out)
{
    const Cp932Table &table = Cp932Table::instance();
    qsizetype i = 0;
    if (!pending_.isEmpty()) {
        // A lead byte from the end of the previous piece.
        const uchar lead = uchar(pending_[0]);
        pending_.clear();
        if (bytes.isEmpty()) {
            pending_.append(char(lead));
            return;
        }
        const uchar trail = uchar(bytes[0]);
        if (isTrailByte(trail)) {
            out.append(QChar(table.pair(lead, trail)));
            i = 1;
        } else {
            out.append(QChar(replacement));
        }
    }
    const qsizetype size = bytes.size();
    const qsizetype oldSize = out.size();
    out.resize(oldSize + size); // never more characters than bytes
    char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + oldSize;
    char16_t *const begin = dst;
    const auto *src = reinterpret_cast<const uchar *>(bytes.data());
    while (i < size) {
        const uchar b = src[i];
        if (b < 0x80) {
            *dst++ = b;
            ++i;
        } else if (isHalfWidthKatakana(b)) {
            *dst++ = char16_t(0xFF61 + (b - 0xA1));
            ++i;
        } else if (isLeadByte(b)) {
            if (i + 1 == size) {
                pending_.append(char(b));
                ++i;
            } else if (isTrailByte(src[i + 1])) {
                *dst++ = table.pair(b, src[i + 1]);
                i += 2;
            } else {
                *dst++ = replacement;
                ++i;
            }
        } else {
            *dst++ = replacement; // 0x80, 0xA0 and 0xFD to 0xFF stand for nothing
            ++i;
        }
    }
    out.resize(oldSize + (dst - begin));
}

QString CardDecoder::decodeAll(QByteArrayView bytes)
{
    CardDecoder decoder;
    QString text;
    text.reserve(bytes.size());
    decoder.decode(bytes, text);
    decoder.finish(text);
    return text;
}

} // namespace mdlZorv
