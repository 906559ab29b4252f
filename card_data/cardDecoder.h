#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <memory>

namespace mdlZorv {

// Decodes the bytes of a card file piece by piece, appending to one text.
//   - A file that starts with the UTF-8 byte-order mark is UTF-8 (the mark dropped).
//   - Otherwise it is code page 932 (Shift-JIS). Bytes that do not decode become U+FFFD: a lead
//     byte without a valid trail byte gives one U+FFFD and the next byte is decoded afresh, so a
//     comma or a line end is never swallowed. ASCII bytes always stand for themselves.
//   - Where code page 932 is not available, the system's encoding is used instead.
// Pieces may split a character anywhere; finish() settles what is left at the end.
class CardDecoder
{
public:
    CardDecoder();
    // A decoder for bytes from the middle of a file, at the start of a line, that starts with
    // fileStart: it decodes them as the file's own decoder would.
    static std::unique_ptr<CardDecoder> midFile(QByteArrayView fileStart);
    ~CardDecoder();
    CardDecoder(const CardDecoder &) = delete;
    CardDecoder &operator=(const CardDecoder &) = delete;

    void decode(QByteArrayView bytes, QString &out);
    void finish(QString &out);

    // Decodes a whole file's bytes at once.
    static QString decodeAll(QByteArrayView bytes);

    // True when a file's bytes may be decoded in pieces cut at line ends: a line end byte never
    // stands inside a character of the file's encoding.
    static bool canStartMidFile(QByteArrayView fileStart);

private:
    enum class Mode { Undecided, Cp932, Utf8, System };

    void chooseMode(QByteArrayView &bytes);
    void decodeCp932(QByteArrayView bytes, QString &out);

    Mode mode_ = Mode::Undecided;
    QByteArray pending_; // bytes kept back: an unfinished mark or a lead byte at a piece's end
    std::unique_ptr<QStringDecoder> decoder_;
};

} // namespace mdlZorv
