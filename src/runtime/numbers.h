#pragma once

// Number handling with the classic semantics the game's files and labels rely on.

#include <QDate>
#include <QString>
#include <QTime>

namespace sumiraku {

// 16-bit arithmetic that raises the overflow error past -32,768 … 32,767.
qint16 add16(qint16 a, qint16 b);
qint16 checked16(qint64 value);

// Rounds to the nearest integer, halves to the even neighbour (CInt); overflow
// error outside the 16-bit range.
qint16 roundToInt16(double value);

// The leading number of a text (Val): blanks skipped, reading stops at the first
// character that cannot continue a number; 0 when there is none.
double leadingNumber(const QString &text);

// num / den shown with a fixed number of decimals and at least one integer
// digit, rounded half away from zero on the exact decimal value
// (107/40 with 2 decimals gives "2.68"). den must not be 0.
QString formatQuotient(qint64 num, qint64 den, int decimals);

// "0.0%": ok / total as a percentage.
QString formatRate(qint16 ok, qint16 total);
// "0.00/秒": characters per second.
QString formatPerSecond(qint16 characters, qint16 seconds);
// "yyyy/mm/dd" and "hh:nn:ss".
QString formatDate(const QDate &date);
QString formatTime(const QTime &time);

} // namespace sumiraku
