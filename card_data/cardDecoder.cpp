#include "card_data/cardDecoder.h"

#include <array>
#include <optional>
#include <vector>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace mdlZorv {

namespace {

constexpr char16_t replacement = u'\uFFFD';
constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF", 3);
constexpr QByteArrayView utf16LeMark("\xFF\xFE", 2);
constexpr QByteArrayView utf16BeMark("\xFE\xFF", 2);

// True while bytes are too few to tell whether a file starts with a byte-order mark.
bool mayStartMark(QByteArrayView bytes)
{
    for (const QByteArrayView mark : {utf8Mark, utf16LeMark, utf16BeMark}) {
        if (bytes.size() < mark.size() && mark.startsWith(bytes))
            return true;
    }
    return false;
}

// Replaces each surrogate of text from `from` on that has no partner by U+FFFD. A high surrogate
// at the very end is left for the bytes still to come: returns true when there is one.
bool replaceLoneSurrogates(QString &text, qsizetype from)
{
    QChar *chars = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size; ++i) {
        if (chars[i].isHighSurrogate()) {
            if (i + 1 == size)
                return true;
            if (chars[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
        }
        if (chars[i].isSurrogate())
            chars[i] = QChar(replacement);
    }
    return false;
}

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

// Code page 932 as two lookup tables: what each byte stands for on its own, and what each lead
// byte stands for with each following byte. The double-byte characters are decoded once through
// the platform's converter. Looking up keeps decoding linear and free of per-call overhead, and it
// keeps single bytes away from the converter, which maps a few ASCII control bytes (0x1A, 0x1C,
// 0x7F) to other control characters.
class Cp932Table
{
public:
    static constexpr char16_t leadByte = 0xFFFF; // in singles: look at the next byte
    static constexpr char16_t noPair = 0;        // in pairs: the next byte cannot trail

    static const Cp932Table &instance()
    {
        static const Cp932Table table;
        return table;
    }

    bool isValid() const { return valid_; }
    char16_t single(uchar b) const { return singles_[b]; }
    char16_t pair(uchar lead, uchar trail) const { return pairs_[leadIndex(lead)][trail]; }

private:
    static int leadIndex(uchar lead) { return lead < 0xE0 ? lead - 0x81 : lead - 0xE0 + 0x1F; }
    static constexpr int leadCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

    Cp932Table()
    {
        for (int b = 0; b < 256; ++b) {
            singles_[size_t(b)] = b < 0x80                        ? char16_t(b)
                                  : isHalfWidthKatakana(uchar(b)) ? char16_t(0xFF61 + (b - 0xA1))
                                  : isLeadByte(uchar(b))          ? leadByte
                                                                  : replacement;
        }
        QByteArray allPairs;
        for (int lead = 0; lead < 256; ++lead) {
            for (int trail = 0; trail < 256; ++trail) {
                if (isLeadByte(uchar(lead)) && isTrailByte(uchar(trail)))
                    allPairs.append(char(lead)).append(char(trail));
            }
        }
        const std::optional<QString> decoded = decodePairs(allPairs);
        if (!decoded)
            return;
        for (qsizetype i = 0; i < decoded->size(); ++i) {
            const char16_t c = decoded->at(i).unicode();
            pairs_[size_t(leadIndex(uchar(allPairs[2 * i])))][uchar(allPairs[2 * i + 1])] =
                (c < 0x20 || c == 0x7F) ? replacement : c;
        }
        valid_ = true;
    }

    // One character for each pair of bytes: what the pair stands for, or U+FFFD. Windows decodes
    // code page 932 itself, whatever the system's code page; elsewhere ICU does.
    static std::optional<QString> decodePairs(const QByteArray &pairs)
    {
#ifdef Q_OS_WIN
        QString decoded;
        decoded.reserve(pairs.size() / 2);
        for (qsizetype i = 0; i < pairs.size(); i += 2) {
            wchar_t c[2] = {};
            const int count =
                MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, pairs.data() + i, 2, c, 2);
            decoded.append(count == 1 ? QChar(char16_t(c[0])) : QChar(replacement));
        }
        return decoded;
#else
        QStringDecoder decoder("windows-31j");
        if (!decoder.isValid())
            return std::nullopt;
        QString decoded = decoder(pairs);
        // One pair must give one character; anything else means an unexpected converter.
        if (decoded.size() != pairs.size() / 2)
            return std::nullopt;
        return decoded;
#endif
    }

    std::array<char16_t, 256> singles_{};
    std::array<std::array<char16_t, 256>, leadCount> pairs_{}; // noPair where no trail byte
    bool valid_ = false;
};

} // namespace

void Utf8Detector::feed(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (invalid_)
            return;
        const auto b = uchar(byte);
        if (pending_ > 0) {
            invalid_ = b < low_ || b > high_;
            low_ = 0x80;
            high_ = 0xBF;
            --pending_;
            continue;
        }
        if (b < 0x80)
            continue;
        nonAscii_ = true;
        // The lead byte: how many continuation bytes follow, and the range of the first, which
        // rules out overlong forms, surrogates and code points past U+10FFFF.
        if (b >= 0xC2 && b <= 0xDF) {
            pending_ = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            pending_ = 2;
            low_ = b == 0xE0 ? 0xA0 : 0x80;
            high_ = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            pending_ = 3;
            low_ = b == 0xF0 ? 0x90 : 0x80;
            high_ = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            invalid_ = true;
        }
    }
}

bool Utf8Detector::isUtf8Text(QByteArrayView bytes)
{
    Utf8Detector detector;
    detector.feed(bytes);
    return detector.isUtf8Text();
}

CardDecoder::CardDecoder(bool utf8Text) : utf8Text_(utf8Text)
{}
CardDecoder::~CardDecoder() = default;

bool CardDecoder::canStartMidFile(QByteArrayView fileStart, bool utf8Text)
{
    return utf8Text || fileStart.startsWith(utf8Mark) || utf16Order(fileStart) ||
           Cp932Table::instance().isValid();
}

std::optional<QSysInfo::Endian> CardDecoder::utf16Order(QByteArrayView fileStart)
{
    if (fileStart.startsWith(utf16LeMark))
        return QSysInfo::LittleEndian;
    if (fileStart.startsWith(utf16BeMark))
        return QSysInfo::BigEndian;
    return std::nullopt;
}

std::unique_ptr<CardDecoder> CardDecoder::midFile(QByteArrayView fileStart, bool utf8Text)
{
    auto decoder = std::make_unique<CardDecoder>(utf8Text);
    decoder->chooseMode(fileStart);
    return decoder;
}

void CardDecoder::chooseMode(QByteArrayView &bytes)
{
    if (const auto order = utf16Order(bytes)) {
        mode_ = Mode::Utf16;
        bytes = bytes.sliced(utf16LeMark.size());
        // As for UTF-8 below: a U+FEFF at the start of a later piece is a character.
        decoder_ = std::make_unique<QStringDecoder>(
            *order == QSysInfo::BigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE,
            QStringDecoder::Flag::ConvertInitialBom);
    } else if (bytes.startsWith(utf8Mark) || utf8Text_) {
        mode_ = Mode::Utf8;
        if (bytes.startsWith(utf8Mark))
            bytes = bytes.sliced(utf8Mark.size());
        // Each piece is decoded on its own: keep the converter from taking a U+FEFF at the start
        // of a piece for a byte-order mark and dropping it.
        decoder_ = std::make_unique<QStringDecoder>(QStringDecoder::Utf8,
                                                    QStringDecoder::Flag::Stateless |
                                                        QStringDecoder::Flag::ConvertInitialBom);
    } else if (Cp932Table::instance().isValid()) {
        mode_ = Mode::Cp932;
    } else {
        mode_ = Mode::System;
        decoder_ = std::make_unique<QStringDecoder>(QStringDecoder::System);
    }
}

void CardDecoder::decode(QByteArrayView bytes, QString &out)
{
    if (mode_ == Mode::Undecided && pending_.isEmpty() && !mayStartMark(bytes)) {
        chooseMode(bytes);
        decode(bytes, out);
        return;
    }
    if (mode_ == Mode::Undecided) {
        pending_.append(bytes);
        if (mayStartMark(pending_))
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
    if (mode_ == Mode::Utf16) {
        decodeUtf16(bytes, out);
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
    if (mode_ == Mode::Utf16) {
        if (std::exchange(heldHighSurrogate_, false))
            out.back() = QChar(replacement);
        if (std::exchange(oddByte_, false))
            out.append(QChar(replacement)); // half a code unit at the very end
    }
}

// Qt's converter puts code units together across pieces, but passes surrogates through
// unchecked and keeps a last odd byte to itself: both are settled here.
void CardDecoder::decodeUtf16(QByteArrayView bytes, QString &out)
{
    const qsizetype from = out.size() - (heldHighSurrogate_ ? 1 : 0);
    out.append((*decoder_)(bytes));
    oddByte_ = oddByte_ != (bytes.size() % 2 != 0);
    heldHighSurrogate_ = replaceLoneSurrogates(out, from);
}

void CardDecoder::decodeCp932(QByteArrayView bytes, QString &out)
{
    const Cp932Table &table = Cp932Table::instance();
    const QByteArray carried = std::exchange(pending_, {}); // a lead byte that ended the last piece
    const qsizetype oldSize = out.size();
    out.resize(oldSize + carried.size() + bytes.size()); // never more characters than bytes
    char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + oldSize;
    char16_t *const begin = dst;
    const auto *src = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    if (!carried.isEmpty()) {
        if (size == 0) {
            pending_ = carried;
        } else if (const char16_t c = table.pair(uchar(carried[0]), src[0]);
                   c != Cp932Table::noPair) {
            *dst++ = c;
            i = 1;
        } else {
            *dst++ = replacement;
        }
    }
    while (i < size) {
        const uchar b = src[i];
        const char16_t single = table.single(b);
        if (single != Cp932Table::leadByte) {
            *dst++ = single;
            ++i;
        } else if (i + 1 == size) {
            pending_.append(char(b));
            ++i;
        } else if (const char16_t c = table.pair(b, src[i + 1]); c != Cp932Table::noPair) {
            *dst++ = c;
            i += 2;
        } else {
            *dst++ = replacement; // a lead byte without a trail byte: decode the next afresh
            ++i;
        }
    }
    out.resize(oldSize + (dst - begin));
}

QString CardDecoder::decodeAll(QByteArrayView bytes)
{
    CardDecoder decoder(Utf8Detector::isUtf8Text(bytes));
    QString text;
    text.reserve(bytes.size());
    decoder.decode(bytes, text);
    decoder.finish(text);
    return text;
}

} // namespace mdlZorv
