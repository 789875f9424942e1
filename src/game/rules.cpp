#include "game/rules.h"

#include "runtime/numbers.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace sumiraku {

qint16 drawIndex(qint16 count, float r)
{
    const float k = static_cast<float>(count) * r + 1.0f;
    const int index = static_cast<int>(std::floor(k));
    return static_cast<qint16>(std::clamp(index, 1, std::max<int>(count, 1)));
}

qint16 hideCountFor(const QString &mode, float r)
{
    if (mode == QStringLiteral("R:ランダム"))
        return static_cast<qint16>(std::floor(4.0f * r));
    // A typed mode text may ask for more cells than there are places to record.
    const double count = std::nearbyint(leadingNumber(mode));
    return static_cast<qint16>(std::clamp(count, 0.0, 3.0));
}

int bagPosition(int n, float r)
{
    const float j = static_cast<float>(n) * r;
    return std::clamp(static_cast<int>(std::floor(j)), 0, n - 1);
}

bool opensCellsByLetter(const QString &mode)
{
    return mode.startsWith(u'S');
}

bool opensCellsByName(const QString &mode)
{
    return mode == QStringLiteral("S:指定");
}

qint16 secondsLeft(qint32 end, qint32 now)
{
    return static_cast<qint16>(std::clamp<qint32>(end - now, -32768, 32767));
}

int barWidth(qint16 secondsLeft, qint16 playByou, qint16 fullWidth)
{
    const double width =
        std::floor(static_cast<double>(secondsLeft) / playByou * 100 * fullWidth / 100);
    return static_cast<int>(std::clamp(width, 0.0, 1.0e9));
}

std::array<QString, 4> cellCharacters(const QString &idiom)
{
    std::array<QString, 4> cells;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, idiom);
    qsizetype start = 0;
    for (QString &cell : cells) {
        const qsizetype end = characters.toNextBoundary();
        if (end < 0)
            break;
        cell = idiom.sliced(start, end - start);
        start = end;
    }
    return cells;
}

QString spelledOut(const QString &idiom)
{
    // By whole characters: the kanji before a 々 may be a surrogate pair.
    QString out, previous;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, idiom);
    for (qsizetype start = 0, end; (end = characters.toNextBoundary()) >= 0; start = end) {
        const QString character = idiom.sliced(start, end - start);
        if (character != u"々" || previous.isEmpty())
            previous = character;
        out += previous;
    }
    return out;
}

bool isRightAnswer(const QString &answer, const QString &mondai,
                   const std::array<QString, 4> &captions, const QStringList &dictionary)
{
    const QString typed = spelledOut(answer);
    const QString drawn = spelledOut(mondai);
    if (typed == drawn)
        return true;
    const auto typedCells = cellCharacters(typed), drawnCells = cellCharacters(drawn);
    for (int i = 0; i < 4; ++i) {
        // A cell's caption is a character of the idiom drawn, in its place.
        if (!captions[i].isEmpty() && typedCells[i] != drawnCells[i])
            return false;
    }
    return std::any_of(dictionary.cbegin(), dictionary.cend(),
                       [&](const QString &entry) {
                           return !entry.isEmpty()
                                  && (entry == typed || (entry.contains(u'々') && spelledOut(entry) == typed));
                       });
}

QString solvedEntry(const std::array<QString, 4> &captions)
{
    QString entry;
    for (const QString &caption : captions)
        entry += caption.isEmpty() ? QStringLiteral("□") : caption;
    return entry;
}

QString endRateText(qint16 ok, qint16 ng, qint16 characters)
{
    return characters != 0 ? formatRate(ok, add16(ok, ng)) : QStringLiteral("0.0%");
}

HistoryRecord gameRecord(qint16 ok, qint16 ng, qint16 characters, qint16 playByou,
                         const QString &mode, const QDateTime &now)
{
    HistoryRecord rec;
    rec.date = formatDate(now.date());
    rec.time = formatTime(now.time());
    rec.questions = QString::number(add16(ng, ok));
    rec.ok = ok;
    rec.ng = ng;
    rec.rate = formatRate(ok, add16(ok, ng));
    rec.perSecond = formatPerSecond(characters, playByou);
    rec.length = QStringLiteral("%1秒").arg(playByou);
    rec.mode = mode.left(1);
    return rec;
}

} // namespace sumiraku
