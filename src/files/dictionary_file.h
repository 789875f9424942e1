#pragma once

// The dictionary file: one idiom per field, normally one per line.

#include "files/data_files.h"
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sumiraku {

// Every entry in file order, read by the classic field rules. The file is code
// page 932, or UTF-8 when it begins with the UTF-8 byte-order mark or is
// valid UTF-8 holding Japanese. More than
// 32,767 entries is an overflow error, as the 16-bit count would be.
QStringList readDictionary(const QString &fileName = kDictionaryFile.toString());
// The same from the file's bytes already read; fileName names it in errors.
QStringList parseDictionary(const QByteArray &bytes, const QString &fileName);

} // namespace sumiraku
