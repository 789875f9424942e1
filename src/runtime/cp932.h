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

// Whether bytes are valid UTF-8 holding Japanese (kana, kanji, full-width
// forms). Code page 932 text practically never is valid UTF-8, and where its
// bytes happen to be (ﾅム is C5 83 6D, Ńm), they spell no Japanese.
bool isJapaneseUtf8(QByteArrayView bytes);

} // namespace sumiraku
