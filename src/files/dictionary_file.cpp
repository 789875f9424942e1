#include "files/dictionary_file.h"

#include "runtime/cp932.h"
#include "runtime/seqfile.h"


namespace sumiraku {

QStringList readDictionary(const QString &fileName)
{
    return DictionaryEntries(fileName).toList();
}

QStringList parseDictionary(const QByteArray &bytes, const QString &fileName)
{
    return DictionaryEntries(bytes, fileName).toList();
}

DictionaryEntries::DictionaryEntries(const QString &fileName)
    : DictionaryEntries(readFileBytes(fileName), fileName)
{
}

DictionaryEntries::DictionaryEntries(const QByteArray &file, const QString &fileName)
{
    const QByteArrayView bytes = textOfFile(file);
    // Editors on Linux save UTF-8, some with a byte-order mark; read as code
    // page 932 such a file would be garbage.
    static constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
    text_ = bytes.startsWith(kUtf8Bom) ? QString::fromUtf8(bytes.sliced(kUtf8Bom.size()))
            : isJapaneseUtf8(bytes)    ? QString::fromUtf8(bytes)
                                       : decodeCp932(bytes);
    FieldReader reader(text_, fileName);

    constexpr size_t kMaxEntries = 32767;
    while (!reader.atEnd()) {
        if (spans_.size() == kMaxEntries) {
            throw RuntimeError(ErrorNumber::Overflow, fileName,
                               QStringLiteral("項目が 32767 個を超えています"), Access::Read);
        }
        // A view into the reader's text, which shares text_'s characters.
        const QStringView entry = reader.readView();
        spans_.emplace_back(qint32(entry.data() - text_.constData()), qint32(entry.size()));
    }
}

QString DictionaryEntries::at(qsizetype index) const
{
    const auto [start, length] = spans_.at(size_t(index));
    return text_.mid(start, length);
}

QStringList DictionaryEntries::toList() const
{
    QStringList entries;
    entries.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        entries.append(at(i));
    return entries;
}

} // namespace sumiraku
