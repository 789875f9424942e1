#include "files/history_file.h"

#include "platform/cp932.h"
#include "platform/seqfile.h"

#include <QHash>

#include <algorithm>

namespace sumiraku {

namespace {

// Counts, rates, lengths and modes repeat across thousands of records: each
// distinct text is made once and shared, which saves most of the allocations
// (and the memory) of a long history.
class SharedTexts {
public:
    QString get(QStringView text)
    {
        const auto found = texts_.constFind(text);
        if (found != texts_.cend())
            return *found;
        QString made = text.toString();
        texts_.insert(QStringView(made), made);   // the key views the kept copy's data
        return made;
    }

private:
    QHash<QStringView, QString> texts_;
};

} // namespace

std::vector<HistoryRecord> readHistory(const QString &fileName)
{
    const QString text = decodeCp932(readFileBytes(fileName));
    FieldReader reader(text, fileName);
    // The grid numbers rows with a 16-bit counter that is raised after each
    // record, so the 32,767th record already overflows it.
    constexpr size_t kMaxRecords = 32766;
    std::vector<HistoryRecord> records;
    records.reserve(std::min<size_t>(text.count(u'\n'), kMaxRecords));
    SharedTexts shared;
    while (!reader.atEnd()) {
        if (records.size() == kMaxRecords) {
            throw RuntimeError(ErrorNumber::Overflow, fileName,
                               QStringLiteral("記録が 32767 件以上あります"));
        }
        HistoryRecord r;
        r.date = reader.readString();
        r.time = reader.readString();
        r.questions = shared.get(reader.readView());
        r.ok = reader.readInteger();
        r.ng = reader.readInteger();
        r.rate = shared.get(reader.readView());
        r.perSecond = shared.get(reader.readView());
        r.length = shared.get(reader.readView());
        r.mode = shared.get(reader.readView());
        records.push_back(std::move(r));
    }
    return records;
}

QByteArray historyRecordBytes(const HistoryRecord &record)
{
    bool isNumber = false;
    const int questions = record.questions.toInt(&isNumber);
    if (!isNumber) {
        throw RuntimeError(ErrorNumber::TypeMismatch, {},
                           QStringLiteral("問数: \"%1\"").arg(record.questions));
    }
    return encodeCp932(formatRecord({record.date, record.time, qint32(questions),
                                     qint32(record.ok), qint32(record.ng), record.rate,
                                     record.perSecond, record.length, record.mode}));
}

void appendHistory(const HistoryRecord &record, const QString &fileName)
{
    appendToFile(fileName, historyRecordBytes(record));
}

void emptyHistory(const QString &fileName)
{
    emptyFile(fileName);
}

} // namespace sumiraku
