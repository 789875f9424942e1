#include "files/history_file.h"

#include "runtime/cp932.h"
#include "runtime/seqfile.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>


namespace sumiraku {

namespace {

// The part of the file the classic reader sees, left undecoded: the records
// are checked on the bytes, and only the texts asked for are decoded.
QByteArray historyText(const QByteArray &file, const QString &fileName)
{
    QByteArray bytes = ownedTextOfFile(file);
    requireCp932(bytes, fileName);
    return bytes;
}

// Where one record as the program writes it ends: texts in quotes, counts
// bare, commas between and CR LF after, nothing else. Null for anything else
// (blanks, a record across lines, a count out of range, the file's end...),
// which is then read field by field to find the same end or to name the fault.
// A long history is almost all such records, and this is most of a start-up.
const char *plainRecordEnd(const char *p, const char *end)
{
    // Texts in quotes, texts bare (the question count), 16-bit counts.
    static constexpr char kFields[] = "QQTNNQQQQ";
    for (int i = 0; i < 9; ++i) {
        if (p == end)
            return nullptr;
        if (kFields[i] == 'Q') {
            if (*p != '"' || (p = std::find(p + 1, end, '"')) == end)
                return nullptr;
            ++p;
        } else if (kFields[i] == 'T') {
            if (*p == '"' || *p == ' ' || *p == '\t')   // read otherwise
                return nullptr;
            p = std::find_if(p, end, [](char c) { return c == ',' || c == '\r' || c == '\n'; });
        } else {
            const bool negative = *p == '-';
            p += negative;
            int value = 0, digits = 0;
            for (; p != end && *p >= '0' && *p <= '9' && digits < 6; ++p, ++digits)
                value = value * 10 + (*p - '0');
            if (digits == 0 || digits == 6 || value > 32767 + negative)
                return nullptr;
        }
        if (p == end || *p != (i < 8 ? ',' : '\r'))
            return nullptr;
        ++p;
    }
    return p != end && *p == '\n' ? p + 1 : nullptr;
}

} // namespace

HistoryReader::HistoryReader(const QString &fileName)
    : HistoryReader(historyText(readFileBytes(fileName), fileName), fileName)
{
}

HistoryReader HistoryReader::fromBytes(const QByteArray &bytes, const QString &fileName)
{
    return HistoryReader(historyText(bytes, fileName), fileName);
}

HistoryReader::HistoryReader(QByteArray text, const QString &fileName)
    : reader_(std::move(text), fileName)
{
}

bool HistoryReader::read(HistoryRecord *r)
{
    if (reader_.atEnd())
        return false;
    if (read_ == kMaxHistoryRecords) {
        throw RuntimeError(ErrorNumber::Overflow, reader_.fileName(),
                           QStringLiteral("記録が 32767 件以上あります"), Access::Read);
    }
    if (!r) {
        const char *const text = reader_.text().constData();
        if (const char *next = plainRecordEnd(text + reader_.position(), text + reader_.text().size())) {
            reader_.seek(next - text);
            ++read_;
            return true;
        }
    }
    // A broken record is named by its line and field, so that the player can
    // mend it by hand.
    int field = 0;
    const auto text = [&] { return ++field, reader_.readView(); };
    const auto number = [&] { return ++field, reader_.readInteger(); };
    try {
        // Views into the reader's bytes, all valid until it ends.
        const QByteArrayView date = text(), time = text(), questions = text();
        const qint16 ok = number(), ng = number();
        const QByteArrayView rate = text(), perSecond = text(), length = text(), mode = text();
        if (r) {
            *r = {decodeCp932(date), decodeCp932(time), shared(questions), ok, ng,
                  shared(rate), shared(perSecond), shared(length), shared(mode)};
        }
    } catch (const RuntimeError &e) {
        static const char *const names[] = {"日付", "時間", "問数", "ＯＫ", "ＮＧ",
                                            "正解率", "秒当たり", "表示秒数", "モード"};
        const QString problem = e.number() == ErrorNumber::InputPastEnd
                                    ? QStringLiteral("がありません。記録が途中で終わっています。")
                                    : QStringLiteral("が読めません。") + e.detail();
        throw RuntimeError(e.number(), reader_.fileName(),
                           QStringLiteral("%1行目、%2番目の項目「%3」%4")
                               .arg(reader_.line()).arg(field).arg(QString::fromUtf8(names[field - 1]), problem),
                           Access::Read);
    }
    ++read_;
    return true;
}

// Counts, rates, lengths and modes repeat across thousands of records: each
// distinct text is made once and shared, which saves most of the allocations
// (and the memory) of a long history.
QString HistoryReader::shared(QByteArrayView text)
{
    const auto found = texts_.constFind(text);
    if (found != texts_.cend())
        return *found;
    return *texts_.insert(text, decodeCp932(text));
}

HistoryRows::HistoryRows(HistoryReader &&reader)
    : fileName_(reader.reader_.fileName())
{
    for (qsizetype start = reader.reader_.position(); reader.skip(); start = reader.reader_.position())
        starts_.push_back(qint32(start));
    bytes_ = reader.reader_.text();
}

HistoryRecord HistoryRows::at(qsizetype index) const
{
    // Read again from where it began: the same fields, already found sound.
    HistoryReader reader(bytes_, fileName_);
    reader.reader_.seek(starts_.at(size_t(index)));
    HistoryRecord record;
    reader.next(record);
    return record;
}

namespace {

std::vector<HistoryRecord> allRecords(HistoryReader &&reader)
{
    std::vector<HistoryRecord> records;
    HistoryRecord r;
    while (reader.next(r))
        records.push_back(r);
    return records;
}

} // namespace

std::vector<HistoryRecord> readHistory(const QString &fileName)
{
    return allRecords(HistoryReader(fileName));
}

std::vector<HistoryRecord> parseHistory(const QByteArray &bytes, const QString &fileName)
{
    return allRecords(HistoryReader::fromBytes(bytes, fileName));
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

namespace {

// Whether text that ends here lacks its last line end, as an editor may
// leave it. The next record would then join that line and its first field
// would be taken into the last field before it, shifting every record after.
bool endsMidLine(QByteArrayView text)
{
    return !text.isEmpty() && !QByteArrayView("\r\n,").contains(text.back());
}

} // namespace

void appendHistory(const HistoryRecord &record, const QString &fileName)
{
    const QByteArray old = QFileInfo::exists(fileName) ? readFileBytes(fileName) : QByteArray();
    const QByteArrayView text = textOfFile(old);
    requireCp932(text, fileName);   // changed since the start
    // Counted in the file as it is now, whatever the grid shows: one more
    // record at the limit would leave a file the next start cannot read.
    if ((countFields(text) + 8) / 9 >= kMaxHistoryRecords) {   // a record cut short counts
        throw RuntimeError(ErrorNumber::Overflow, fileName,
                           QStringLiteral("記録が %1 件に達しています。履歴をクリアしてください。")
                               .arg(kMaxHistoryRecords), Access::Write);
    }
    QByteArray bytes = historyRecordBytes(record);
    if (endsMidLine(text))
        bytes.prepend("\r\n");   // in the same write, so a failure leaves neither
    if (text.size() == old.size())
        return appendToFile(fileName, bytes);
    // Records after a Ctrl-Z would never be read: this one goes before it,
    // and the mark and whatever follows it stay.
    replaceFile(fileName, text.toByteArray() + bytes + old.sliced(text.size()));
}

void emptyHistory(const QString &fileName)
{
    emptyFile(fileName);
}

} // namespace sumiraku
