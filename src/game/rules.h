#pragma once

#include <QString>

namespace sumiraku {

// The index of the idiom drawn from count entries with r in [0, 1), both in
// single precision as the classic draw computes it. Kept within 1 … count:
// for large counts and r close to 1 the single-precision sum rounds up to
// count + 1, which would read past the end.
qint16 drawIndex(qint16 count, float r);

// The number of cells to hide for a mode: "R:ランダム" draws 0 … 3 from r; any
// other text gives its leading number rounded halves to even, held within 0 … 3.
qint16 hideCountFor(const QString &mode, float r);

// The position (0 … n - 1) taken from a bag of n items with r in [0, 1).
int bagPosition(int n, float r);

// Whole seconds of a clock reading during a game; readings below the one taken
// at the first question belong to the next day, so a game runs past midnight.
qint32 clockReading(double secondsSinceMidnight, qint32 firstReading);

// Width of the time bar for the seconds left, computed as the classic
// expression does in double precision; never negative.
int barWidth(qint16 secondsLeft, qint16 playByou, qint16 fullWidth);

} // namespace sumiraku
