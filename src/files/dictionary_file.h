#pragma once

// The dictionary file: one idiom per field, normally one per line.

#include "files/data_files.h"
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace sumiraku {

// Every entry in file order, read by the classic field rules. The file is code
// page 932, or UTF-8 when it begins with the UTF-8 byte-order mark or is
// valid UTF-8 holding Japanese. More than
// 32,767 entries is an overflow error, as the 16-bit count would be.
QStringList readDictionary(const QString &fileName = kDictionaryFile.toString());
// The same from the file's bytes already read; fileName names it in errors.
QStringList parseDictionary(const QByteArray &bytes, const QString &fileName);

// The same entries, read and checked the same way, kept as the file's bytes
// and where each entry lies in them: an entry is decoded only when it is shown.
class DictionaryEntries {
public:
    explicit DictionaryEntries(const QString &fileName = kDictionaryFile.toString());
    DictionaryEntries(const QByteArray &bytes, const QString &fileName);

    qsizetype size() const { return qsizetype(spans_.size()); }
    QString at(qsizetype index) const;
    QStringList toList() const;

private:
    QByteArray bytes_;
    bool utf8_ = false;
    std::vector<std::pair<qint32, qint32>> spans_;   // start and length in bytes_
};

} // namespace sumiraku
