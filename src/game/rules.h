#pragma once

// The rules of a game that need no window: the draw, the hidden cells, the
// clock and the bar, the mode tests, and the texts a finished game shows and
// records. The procedures in this folder apply them to the form.

#include "files/history_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>

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

// The two tests of "the player opens the cells himself". They differ on
// purpose and must stay apart: the countdown, a start, a cell click and a
// mode pick go by the first letter, so any text beginning with "S" counts;
// the answer path compares the whole text, so only "S:指定" itself does, and
// after a right answer under a typed "S…" the cells are hidden by count.
bool opensCellsByLetter(const QString &mode);
bool opensCellsByName(const QString &mode);

// Seconds from now to the end, held in 16 bits: a machine that slept through
// the game comes back far past its end.
qint16 secondsLeft(qint32 end, qint32 now);

// Width of the time bar for the seconds left, computed as the classic
// expression does in double precision; never negative.
int barWidth(qint16 secondsLeft, qint16 playByou, qint16 fullWidth);

// An idiom as it is compared: each 々 stands for the character before it, so
// 戦々恐々 and 戦戦恐恐 are one idiom.
QString spelledOut(const QString &idiom);

// Whether an answer is right: the idiom drawn, or any other idiom of the
// dictionary that agrees with every character the cells show (`captions`,
// empty where a cell is hidden). Where several idioms fit what the player
// sees, the player cannot know which was drawn.
bool isRightAnswer(const QString &answer, const QString &mondai,
                   const std::array<QString, 4> &captions, const QStringList &dictionary);

// The first four characters of an idiom, one for each cell: a character as the
// reader sees one (a pair of surrogates, a letter with its combining marks or
// variation selector), not a UTF-16 unit. Cells past the idiom's end are empty.
std::array<QString, 4> cellCharacters(const QString &idiom);

// The solved list's entry: the cells' captions, a hidden one as "□".
QString solvedEntry(const std::array<QString, 4> &captions);

// The rate shown when time is up: "0.0%" when no character was typed right,
// even if there were misses.
QString endRateText(qint16 ok, qint16 ng, qint16 characters);

// The record of a game as the history keeps it, dated `now`.
HistoryRecord gameRecord(qint16 ok, qint16 ng, qint16 characters, qint16 playByou,
                         const QString &mode, const QDateTime &now);

} // namespace sumiraku
