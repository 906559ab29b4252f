#include "card_data/numberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace mdlZorv {

namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Walks a text while skipping blanks, tabs and line feeds.
class NumberScanner
{
public:
    explicit NumberScanner(QStringView text) : text_(text) { skip(); }

    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return atEnd() ? QChar() : text_[pos_]; }
    void advance()
    {
        ++pos_;
        skip();
    }
    qsizetype position() const { return pos_; }
    void rewind(qsizetype pos) { pos_ = pos; }

private:
    void skip()
    {
        while (!atEnd() && isSkipped(text_[pos_]))
            ++pos_;
    }

    QStringView text_;
    qsizetype pos_ = 0;
};

// The pieces of a number as written, ready for std::from_chars.
struct NumberParts
{
    bool negative = false;
    std::string mantissa; // digits with at most one period
    bool hasDigits = false;
    long long exponent = 0;
};

void scanMantissa(NumberScanner &scan, NumberParts &parts)
{
    bool seenPeriod = false;
    while (!scan.atEnd()) {
        const QChar c = scan.peek();
        if (isDigit(c)) {
            parts.mantissa.push_back(char(c.unicode()));
            parts.hasDigits = true;
        } else if (c == u'.' && !seenPeriod) {
            parts.mantissa.push_back('.');
            seenPeriod = true;
        } else {
            break;
        }
        scan.advance();
    }
}

// An exponent counts only when its letter is followed by digits; otherwise the number ends
// before the letter.
void scanExponent(NumberScanner &scan, NumberParts &parts)
{
    if (scan.peek() != u'e' && scan.peek() != u'E')
        return;
    const qsizetype letterPos = scan.position();
    scan.advance();
    bool negative = false;
    if (scan.peek() == u'+' || scan.peek() == u'-') {
        negative = scan.peek() == u'-';
        scan.advance();
    }
    if (!isDigit(scan.peek())) {
        scan.rewind(letterPos);
        return;
    }
    constexpr long long cap = 1'000'000; // far beyond any double exponent
    long long value = 0;
    while (isDigit(scan.peek())) {
        value = std::min(cap, value * 10 + (scan.peek().unicode() - u'0'));
        scan.advance();
    }
    parts.exponent = negative ? -value : value;
}

// Decimal position of the leading significant digit: 3 for "123.4", -2 for "0.001".
long long leadingDigitPosition(const std::string &mantissa)
{
    const auto period = mantissa.find('.');
    const auto firstNonZero = mantissa.find_first_of("123456789");
    if (firstNonZero == std::string::npos)
        return 0;
    const auto integerEnd = period == std::string::npos ? mantissa.size() : period;
    if (firstNonZero < integerEnd)
        return static_cast<long long>(integerEnd - firstNonZero);
    return -static_cast<long long>(firstNonZero - period - 1);
}

double toDouble(const NumberParts &parts)
{
    std::string text;
    if (parts.negative)
        text.push_back('-');
    if (parts.mantissa.front() == '.')
        text.push_back('0');
    text += parts.mantissa;
    if (text.back() == '.')
        text.pop_back();
    text += 'e';
    text += std::to_string(parts.exponent);

    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool overflow = leadingDigitPosition(parts.mantissa) + parts.exponent > 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
        return parts.negative ? -value : value;
    }
    return value;
}

// Most numeric fields are plain whole numbers: read those directly. Up to 15 digits a double
// holds them exactly, so the result is the same as the general reading gives.
std::optional<double> plainWholeNumber(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative ? text.sliced(1) : text;
    if (digits.isEmpty() || digits.size() > 15)
        return std::nullopt;
    long long value = 0;
    for (const QChar c : digits) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -double(value) : double(value);
}

} // namespace

double readNumber(QStringView text)
{
    if (const auto plain = plainWholeNumber(text))
        return *plain;
    NumberScanner scan(text);
    NumberParts parts;
    if (scan.peek() == u'+' || scan.peek() == u'-') {
        parts.negative = scan.peek() == u'-';
        scan.advance();
    }
    scanMantissa(scan, parts);
    if (!parts.hasDigits)
        return 0;
    scanExponent(scan, parts);
    return toDouble(parts);
}

QString numberText(double value)
{
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("∞") : QStringLiteral("-∞");
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    QString text = QString::number(value, 'g', 15);
    text.replace(u'e', u'E');
    return text;
}

} // namespace mdlZorv
