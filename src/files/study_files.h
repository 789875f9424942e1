#pragma once

// The study features' own files, UTF-8 text with one idiom a line:
//   読みと意味.txt  idiom TAB reading TAB meaning
//   苦手.txt        idiom TAB misses TAB reveals TAB right answers TAB last seen (yyyy-MM-dd)
// Neither is a classic file, and neither may stop a game: a reader reports a
// problem as text for the feature to show, never as an error.

#include <QDate>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace sumiraku {

struct IdiomNote {
    QString reading;
    QString meaning;
};

struct MissTally {
    int misses = 0;
    int reveals = 0;
    int rights = 0;
    QDate lastSeen;
    bool operator==(const MissTally &) const = default;
};
using MissRecord = QMap<QString, MissTally>;

// The whole file's bytes, or the problem with it in Japanese, naming the file.
// A missing file is an empty one when `missingIsEmpty`.
std::optional<QByteArray> readStudyFile(const QString &fileName, bool missingIsEmpty, QString *problem);

std::optional<QHash<QString, IdiomNote>> parseNotes(const QByteArray &bytes, const QString &fileName,
                                                     QString *problem);
std::optional<MissRecord> parseMisses(const QByteArray &bytes, const QString &fileName, QString *problem);
QByteArray formatMisses(const MissRecord &record);

// The record after a game: every idiom missed or revealed in it joins; an
// idiom already recorded has this game's counts added; both are seen today.
MissRecord mergeGame(MissRecord record, const MissRecord &game, const QDate &today);

// One of the recorded idioms that the dictionary holds, weighted by misses
// plus reveals, for r in [0, 1); empty when there is none.
QString pickMissed(const MissRecord &record, const QStringList &dictionary, double r);

} // namespace sumiraku
