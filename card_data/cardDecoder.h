#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QSysInfo>

#include <memory>
#include <optional>

namespace mdlZorv {

// Tells whether bytes, given piece by piece, are wholly valid UTF-8 holding at least one character
// beyond ASCII. Shift-JIS text with any kana or kanji never is.
class Utf8Detector
{
public:
    void feed(QByteArrayView bytes);
    // False as soon as the bytes cannot be such UTF-8, whatever follows.
    bool stillPossible() const { return !invalid_; }
    bool isUtf8Text() const { return !invalid_ && pending_ == 0 && nonAscii_; }

    static bool isUtf8Text(QByteArrayView bytes);

private:
    int pending_ = 0;  // continuation bytes still to come
    uchar low_ = 0x80; // the range the next continuation byte must fall in
    uchar high_ = 0xBF;
    bool invalid_ = false;
    bool nonAscii_ = false;
};

// Decodes the bytes of a card file piece by piece, appending to one text.
//   - A file that starts with the UTF-16 byte-order mark, FF FE or FE FF, is UTF-16,
//     little-endian or big-endian (the mark dropped). A surrogate without its partner, and a
//     last byte short of a code unit, become U+FFFD. No Shift-JIS text starts with FE or FF.
//   - A file that starts with the UTF-8 byte-order mark is UTF-8 (the mark dropped), and so is
//     one that the reader found to be UTF-8 text (see Utf8Detector).
//   - Otherwise it is code page 932 (Shift-JIS). Bytes that do not decode become U+FFFD: a lead
//     byte without a valid trail byte gives one U+FFFD and the next byte is decoded afresh, so a
//     comma or a line end is never swallowed. ASCII bytes always stand for themselves.
//   - Code page 932 is Windows' own on Windows, whatever the system's code page, and ICU's
//     elsewhere: the same characters either way. Without either, the system's encoding is used.
// Pieces may split a character anywhere; finish() settles what is left at the end.
class CardDecoder
{
public:
    // utf8Text: the file is UTF-8 text without a mark.
    explicit CardDecoder(bool utf8Text = false);
    // A decoder for bytes from the middle of a file, at the start of a line, that starts with
    // fileStart: it decodes them as the file's own decoder would.
    static std::unique_ptr<CardDecoder> midFile(QByteArrayView fileStart, bool utf8Text);
    ~CardDecoder();
    CardDecoder(const CardDecoder &) = delete;
    CardDecoder &operator=(const CardDecoder &) = delete;

    void decode(QByteArrayView bytes, QString &out);
    void finish(QString &out);

    // Decodes a whole file's bytes at once, telling UTF-8 text itself.
    static QString decodeAll(QByteArrayView bytes);
    // True when the text may hold U+FFFD for bytes that did not decode: nothing else can make
    // it but UTF-8 text itself.
    bool mayReplace() const { return mode_ != Mode::Utf8 || !utf8Text_; }

    // True when a file's bytes may be decoded in pieces cut at line ends: a line end byte (a
    // line end code unit, in UTF-16) never stands inside a character of the file's encoding.
    static bool canStartMidFile(QByteArrayView fileStart, bool utf8Text);

    // The byte order of a UTF-16 file that starts with fileStart: FF FE -> LittleEndian,
    // FE FF -> BigEndian; nothing when the file is not UTF-16.
    static std::optional<QSysInfo::Endian> utf16Order(QByteArrayView fileStart);

private:
    enum class Mode { Undecided, Cp932, Utf8, Utf16, System };

    void chooseMode(QByteArrayView &bytes);
    void decodeCp932(QByteArrayView bytes, QString &out);
    void decodeUtf16(QByteArrayView bytes, QString &out);

    Mode mode_ = Mode::Undecided;
    bool utf8Text_ = false;
    QByteArray pending_; // bytes kept back: an unfinished mark or a lead byte at a piece's end
    std::unique_ptr<QStringDecoder> decoder_;
    // UTF-16: the text ends in a high surrogate whose partner may come with the next bytes, and
    // the decoder holds half a code unit.
    bool heldHighSurrogate_ = false;
    bool oddByte_ = false;
};

} // namespace mdlZorv
