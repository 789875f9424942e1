#include "runtime/numbers.h"

#include "runtime/runtime_error.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <limits>

namespace sumiraku {

namespace {

[[noreturn]] void overflow(const QString &value)
{
    throw RuntimeError(ErrorNumber::Overflow, {}, QStringLiteral("値: %1").arg(value));
}

// The value of an ASCII digit in the radix, or -1.
int digitValue(QChar c, int radix)
{
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= '0' && u <= '9')
        v = u - '0';
    else if (u >= 'a' && u <= 'f')
        v = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        v = u - 'A' + 10;
    return v < radix ? v : -1;
}

bool isDigitOf(QChar c, int radix)
{
    return digitValue(c, radix) >= 0;
}

// "&H…" and "&O…": up to 16 bits the digits are an Integer, up to 32 bits a
// Long, with the top bit as the sign (so "&HFFFF" is -1).
double radixLiteral(const QString &s, int radix)
{
    quint64 value = 0;
    qsizetype i = 2;
    for (; i < s.size() && isDigitOf(s[i], radix); ++i) {
        value = value * radix + quint64(digitValue(s[i], radix));
        if (value > 0xFFFFFFFFu)
            overflow(s.left(i + 1));
    }
    if (value <= 0xFFFF)
        return qint16(quint16(value));
    return qint32(quint32(value));
}

} // namespace

qint16 checked16(qint64 value)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        overflow(QString::number(value));
    return qint16(value);
}

qint16 add16(qint16 a, qint16 b)
{
    return checked16(qint64(a) + b);
}

qint16 roundToInt16(double value)
{
    if (!std::isfinite(value))
        overflow(QString::number(value));
    // Explicit rather than nearbyint(), which would follow whatever rounding
    // mode the process happens to be in.
    const double floor = std::floor(value);
    const double frac = value - floor;
    double rounded = floor;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1;
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        overflow(QString::number(value, 'g', 17));
    return qint16(rounded);
}

double leadingNumber(const QString &text)
{
    // Blanks, tabs and line feeds are ignored wherever they stand, so
    // " 1 2" reads as 12.
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            s.append(c);
    }

    if (s.size() >= 2 && s[0] == u'&') {
        const char16_t kind = s[1].toUpper().unicode();
        if (kind == 'H')
            return radixLiteral(s, 16);
        if (kind == 'O')
            return radixLiteral(s, 8);
        return 0;
    }

    qsizetype i = 0;
    const auto digitsFrom = [&s](qsizetype at) {
        while (at < s.size() && isDigitOf(s[at], 10))
            ++at;
        return at;
    };
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    const qsizetype intStart = i;
    i = digitsFrom(i);
    qsizetype digitCount = i - intStart;
    if (i < s.size() && s[i] == u'.') {
        const qsizetype fracStart = i + 1;
        i = digitsFrom(fracStart);
        digitCount += i - fracStart;
    }
    if (digitCount == 0)
        return 0;

    QString number = s.left(i);
    if (i < s.size() && QStringLiteral("EeDd").contains(s[i])) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        const qsizetype expEnd = digitsFrom(j);
        if (expEnd > j)
            number += u'e' + s.mid(i + 1, expEnd - i - 1);
    }

    bool ok = false;
    const double value = number.toDouble(&ok);   // locale-independent
    if (!std::isfinite(value))
        overflow(number);
    return ok ? value : 0.0;   // an underflow reads as 0
}

QString formatQuotient(qint64 num, qint64 den, int decimals)
{
    Q_ASSERT(den != 0);
    Q_ASSERT(decimals >= 0);
    const bool negative = (num < 0) != (den < 0);
    // Magnitudes as unsigned, so that the most negative values are exact too.
    const quint64 n = num < 0 ? 0 - quint64(num) : quint64(num);
    const quint64 d = den < 0 ? 0 - quint64(den) : quint64(den);
    Q_ASSERT(d <= quint64(1) << 59);   // rem * 10 below must not wrap

    QString integerPart = QString::number(n / d);
    quint64 rem = n % d;
    QString fraction;
    for (int k = 0; k < decimals; ++k) {
        rem *= 10;
        fraction += QChar(u'0' + int(rem / d));
        rem %= d;
    }

    // Half away from zero on the exact value: carry the increment leftwards.
    if (rem >= d - rem) {
        qsizetype k = fraction.size() - 1;
        for (; k >= 0 && fraction[k] == u'9'; --k)
            fraction[k] = u'0';
        if (k >= 0)
            fraction[k] = QChar(fraction[k].unicode() + 1);
        else
            integerPart = QString::number(n / d + 1);
    }

    QString text = integerPart;
    if (decimals > 0)
        text += u'.' + fraction;
    // A value that rounds to zero shows no sign.
    const bool zero = std::all_of(text.cbegin(), text.cend(),
                                  [](QChar c) { return c == u'0' || c == u'.'; });
    return negative && !zero ? u'-' + text : text;
}

QString formatRate(qint16 ok, qint16 total)
{
    // 0 / 0 is the classic's overflow error.
    if (total == 0)
        overflow(QStringLiteral("%1 / %2").arg(ok).arg(total));
    return formatQuotient(qint64(ok) * 100, total, 1) + u'%';
}

QString formatPerSecond(qint16 characters, qint16 seconds)
{
    if (seconds == 0)
        overflow(QStringLiteral("%1 / %2").arg(characters).arg(seconds));
    return formatQuotient(characters, seconds, 2) + QStringLiteral("/秒");
}

QString formatDate(const QDate &date)
{
    return date.toString(u"yyyy/MM/dd");
}

QString formatTime(const QTime &time)
{
    return time.toString(u"HH:mm:ss");
}

} // namespace sumiraku
