#include "files/dictionary_file.h"

#include "runtime/cp932.h"
#include "runtime/seqfile.h"

#include <algorithm>

namespace sumiraku {

QStringList readDictionary(const QString &fileName)
{
    return parseDictionary(readFileBytes(fileName), fileName);
}

QStringList parseDictionary(const QByteArray &file, const QString &fileName)
{
    const QByteArrayView bytes = textOfFile(file);
    // Editors on Linux save UTF-8, some with a byte-order mark; read as code
    // page 932 such a file would be garbage.
    static constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
    const QString text = bytes.startsWith(kUtf8Bom) ? QString::fromUtf8(bytes.sliced(kUtf8Bom.size()))
                         : isJapaneseUtf8(bytes)   ? QString::fromUtf8(bytes)
                                                    : decodeCp932(bytes);
    FieldReader reader(text, fileName);

    constexpr qsizetype kMaxEntries = 32767;
    QStringList entries;
    entries.reserve(std::min(text.count(u'\n') + 1, kMaxEntries));
    while (!reader.atEnd()) {
        if (entries.size() == kMaxEntries) {
            throw RuntimeError(ErrorNumber::Overflow, fileName,
                               QStringLiteral("項目が 32767 個を超えています"), Access::Read);
        }
        entries.append(reader.readString());
    }
    return entries;
}

} // namespace sumiraku
