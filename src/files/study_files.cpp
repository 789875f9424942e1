#include "files/study_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace sumiraku {

namespace {

// Far beyond any real file of either kind; a larger one is not read at all.
constexpr qint64 kLargestStudyFile = 16 * 1024 * 1024;

std::optional<QStringList> utf8Lines(const QByteArray &bytes, const QString &fileName, QString *problem)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *problem = QStringLiteral("%1 は UTF-8 のテキストではありません。").arg(fileName);
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.remove(u'\r');
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString lineProblem(const QString &fileName, qsizetype index, const QString &what)
{
    return QStringLiteral("%1 の %2 行目: %3").arg(fileName).arg(index + 1).arg(what);
}

} // namespace

std::optional<QByteArray> readStudyFile(const QString &fileName, bool missingIsEmpty, QString *problem)
{
    const QFileInfo info(fileName);
    if (!info.exists() && missingIsEmpty)
        return QByteArray();
    if (!info.exists()) {
        *problem = QStringLiteral("%1 がありません。").arg(fileName);
        return std::nullopt;
    }
    if (!info.isFile()) {
        *problem = QStringLiteral("%1 は普通のファイルではないため、読み込めません。").arg(fileName);
        return std::nullopt;
    }
    if (info.size() > kLargestStudyFile) {
        *problem = QStringLiteral("%1 は大きすぎるため、読み込めません。").arg(fileName);
        return std::nullopt;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("%1 を読み込めません（%2）。").arg(fileName, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

std::optional<QHash<QString, IdiomNote>> parseNotes(const QByteArray &bytes, const QString &fileName,
                                                     QString *problem)
{
    const auto lines = utf8Lines(bytes, fileName, problem);
    if (!lines)
        return std::nullopt;
    QHash<QString, IdiomNote> notes;
    for (qsizetype i = 0; i < lines->size(); ++i) {
        if (lines->at(i).trimmed().isEmpty() || lines->at(i).startsWith(u'#'))
            continue;
        const QStringList fields = lines->at(i).split(u'\t');
        if (fields.size() != 3 || fields[0].isEmpty()) {
            *problem = lineProblem(fileName, i, QStringLiteral("「熟語<タブ>読み<タブ>意味」の形ではありません。"));
            return std::nullopt;
        }
        notes.insert(fields[0], {fields[1], fields[2]});
    }
    return notes;
}

std::optional<MissRecord> parseMisses(const QByteArray &bytes, const QString &fileName, QString *problem)
{
    const auto lines = utf8Lines(bytes, fileName, problem);
    if (!lines)
        return std::nullopt;
    MissRecord record;
    for (qsizetype i = 0; i < lines->size(); ++i) {
        const QStringList fields = lines->at(i).split(u'\t');
        bool ok = fields.size() == 5 && !fields[0].isEmpty() && !record.contains(fields[0]);
        MissTally tally;
        for (int f = 1; ok && f <= 3; ++f) {
            const int n = fields[f].toInt(&ok);
            ok = ok && n >= 0;
            (f == 1 ? tally.misses : f == 2 ? tally.reveals : tally.rights) = n;
        }
        if (ok)
            tally.lastSeen = QDate::fromString(fields[4], Qt::ISODate);
        if (!ok || !tally.lastSeen.isValid()) {
            *problem = lineProblem(fileName, i, QStringLiteral("記録の形が正しくありません。"));
            return std::nullopt;
        }
        record.insert(fields[0], tally);
    }
    return record;
}

QByteArray formatMisses(const MissRecord &record)
{
    QString text;
    for (auto it = record.cbegin(); it != record.cend(); ++it) {
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                    .arg(it.key())
                    .arg(it->misses)
                    .arg(it->reveals)
                    .arg(it->rights)
                    .arg(it->lastSeen.toString(Qt::ISODate));
    }
    return text.toUtf8();
}

MissRecord mergeGame(MissRecord record, const MissRecord &game, const QDate &today)
{
    for (auto it = game.cbegin(); it != game.cend(); ++it) {
        if (!record.contains(it.key()) && it->misses == 0 && it->reveals == 0)
            continue;
        MissTally &tally = record[it.key()];
        tally.misses += it->misses;
        tally.reveals += it->reveals;
        tally.rights += it->rights;
        tally.lastSeen = today;
    }
    return record;
}

QString pickMissed(const MissRecord &record, const QStringList &dictionary, double r)
{
    const QSet<QString> asked(dictionary.cbegin(), dictionary.cend());
    QList<std::pair<QString, qint64>> weights;
    qint64 total = 0;
    for (auto it = record.cbegin(); it != record.cend(); ++it) {
        const qint64 weight = qint64(it->misses) + it->reveals;
        if (weight > 0 && asked.contains(it.key())) {
            total += weight;
            weights.append({it.key(), total});
        }
    }
    const qint64 at = qint64(r * double(total));
    for (const auto &[idiom, upTo] : weights) {
        if (at < upTo)
            return idiom;
    }
    return weights.isEmpty() ? QString() : weights.last().first;
}

} // namespace sumiraku
