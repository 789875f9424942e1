#pragma once

// The history file: one record of nine fields per saved game, oldest first.

#include "files/data_files.h"
#include "runtime/seqfile.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

namespace sumiraku {

// The most records a history may hold: the start-up numbers them with a 16-bit
// counter that is raised after each one, so the 32,767th already overflows it.
inline constexpr qsizetype kMaxHistoryRecords = 32766;

struct HistoryRecord {
    QString date;        // "yyyy/mm/dd"
    QString time;        // "hh:nn:ss"
    QString questions;   // a decimal count; read and shown as text, written bare
    qint16 ok = 0;
    qint16 ng = 0;
    QString rate;        // "0.0%"
    QString perSecond;   // "0.00/秒"
    QString length;      // e.g. "60秒"
    QString mode;        // the mode's first character, or empty
};

// All records, nine fields each, taken across line ends as the classic reader
// does. A record cut short is an input-past-end error, fields 4 and 5 that are
// not 16-bit integers a type mismatch or overflow, and 32,767 or more records
// an overflow of the 16-bit record counter; every error names the file.
std::vector<HistoryRecord> readHistory(const QString &fileName = kHistoryFile.toString());
// The same from the file's bytes already read; fileName names it in errors.
std::vector<HistoryRecord> parseHistory(const QByteArray &bytes, const QString &fileName);

// The same records one at a time, with the same errors, for a caller that keeps
// only their texts: no list of all records exists at once.
class HistoryReader {
public:
    // Reads the whole file; a missing or unreadable file is reported here.
    explicit HistoryReader(const QString &fileName = kHistoryFile.toString());
    // Over the file's bytes already read; fileName names it in errors.
    static HistoryReader fromBytes(const QByteArray &bytes, const QString &fileName);

    // The next record into `record`; false at the end of the file.
    bool next(HistoryRecord &record) { return read(&record); }
    // The next record checked as next() checks it, without making its texts.
    bool skip() { return read(nullptr); }

private:
    friend class HistoryRows;
    HistoryReader(QByteArray text, const QString &fileName);
    bool read(HistoryRecord *record);
    QString shared(QByteArrayView text);

    FieldReader reader_;
    qsizetype read_ = 0;
    QHash<QByteArrayView, QString> texts_;   // keys view the reader's bytes
};

// Every record of a history, checked as it is read (the same errors), kept as
// the file's bytes and where each record begins: a record is decoded only when
// asked for, so a long history costs little more than its bytes.
class HistoryRows {
public:
    explicit HistoryRows(HistoryReader &&reader);

    qsizetype size() const { return qsizetype(starts_.size()); }
    HistoryRecord at(qsizetype index) const;

private:
    QByteArray bytes_;
    QString fileName_;
    std::vector<qint32> starts_;   // the formats keep files far below 2 GB
};

// One record in code page 932 ended by CR LF. Fields 3 to 5 are bare integers,
// so questions must hold one (a type mismatch otherwise).
QByteArray historyRecordBytes(const HistoryRecord &record);

// Appends one record in one write; a failed write leaves the file as it was.
// A file that holds kMaxHistoryRecords already is refused (Overflow), and so
// is one now in UTF-8.
void appendHistory(const HistoryRecord &record, const QString &fileName = kHistoryFile.toString());

// Leaves the file existing and empty.
void emptyHistory(const QString &fileName = kHistoryFile.toString());

} // namespace sumiraku
