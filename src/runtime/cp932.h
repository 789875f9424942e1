#pragma once

// Text conversion between the program's strings and code page 932, the way the
// Japanese edition of Windows converts (NEC and IBM extensions included).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace sumiraku {

// Invalid or truncated byte sequences become U+FFFD; decoding never fails.
QString decodeCp932(QByteArrayView bytes);

// Characters that code page 932 lacks become "?".
QByteArray encodeCp932(QStringView text);

// Whether bytes are valid UTF-8 with at least one character beyond ASCII: code
// page 932 text with kana or kanji practically never is.
bool isMultibyteUtf8(QByteArrayView bytes);

} // namespace sumiraku
