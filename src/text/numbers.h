#pragma once
// Numbers and texts shared by the whole panel: the board's replies, the files,
// the listing and the labels all go through these few rules.

#include <QString>
#include <QStringView>
#include <optional>

namespace text {

// Leading-number reading: blanks, tabs and line feeds are ignored anywhere;
// an optional sign, digits with at most one "." and an optional exponent form
// the number; reading stops at the first other character; no number gives 0.
// The decimal point is always "."; a comma ends the number.
double leadingNumber(QStringView s);

// The same reading, but the first "." or "," met is the decimal point (used
// where files or boxes may have been written under either regional setting).
double leadingNumberAnyPoint(QStringView s);

// The leading-number reading one character at a time, for texts that are
// never held whole (a line of a file read in pieces): memory and time stay
// bounded whatever the length.
class NumberReader {
public:
    explicit NumberReader(bool anyPoint = false) : anyPoint_(anyPoint) {}
    // Takes the next character; false once the number has ended (this
    // character and all later ones are not part of it).
    bool take(char16_t c);
    bool ended() const { return state_ == State::Done; }
    // The number read so far; nothing when no digit was seen.
    std::optional<double> result() const;
    // How many characters belong to the number (blanks included); an
    // exponent mark without digits does not.
    qsizetype consumed() const { return mark_ >= 0 && !expDigit_ ? mark_ : taken_; }

private:
    enum class State : unsigned char { Sign, Mantissa, ExpSign, ExpDigits, Done };
    static constexpr int kMaxDigits = 40;

    bool anyPoint_;
    State state_ = State::Sign;
    bool negative_ = false, seenPoint_ = false, anyDigit_ = false;
    bool expNegative_ = false, expDigit_ = false;
    char digits_[kMaxDigits] = {};
    int count_ = 0;
    long long scale_ = 0, exponent_ = 0;
    qsizetype taken_ = 0, mark_ = -1;
};

// The whole text (blanks around it allowed) is one number with "." or "," as
// its decimal point; nothing otherwise, nor for a number beyond the range of
// a double (it would read as infinite).
std::optional<double> parseAnyPoint(QStringView s);

// Nearest 16-bit whole number, a half going to the even neighbour; nothing
// when the value is not a number or lies outside -32768 … 32767.
std::optional<qint16> toInt16(double v);

// The user's regional decimal separator ("." or "," under French settings).
QString decimalSeparator();

// "0.##": at most two decimals, trailing zero decimals dropped, the separator
// kept even when no decimals remain (5 gives "5." or "5,").
QString twoDecimals(double v);
QString twoDecimals(double v, QStringView separator);

// Plain decimal text of a number (up to 15 significant digits) with the given
// or the regional separator, no group separators: 12.5 gives "12,5" in French.
// The few largest doubles, whose fifteen digits would lie beyond the largest
// double, are written with the digits that read back exactly.
QString plainNumber(double v);
QString plainNumber(double v, QStringView separator);

// A text read as a number with the regional separator: the whole text (blanks
// around it allowed) must be a number; "5," is five under French settings.
// A number beyond the range of a double is no number.
std::optional<double> readRegional(QStringView s);
std::optional<double> readRegional(QStringView s, QStringView separator);

}  // namespace text
