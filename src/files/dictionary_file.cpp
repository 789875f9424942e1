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
    QByteArray bytes = ownedTextOfFile(file);
    // Editors on Linux save UTF-8, some with a byte-order mark; read as code
    // page 932 such a file would be garbage.
    static constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
    const bool marked = bytes.startsWith(kUtf8Bom);
    utf8_ = marked || isJapaneseUtf8(bytes);
    FieldReader reader(std::move(bytes), fileName);
    if (marked)
        reader.seek(kUtf8Bom.size());

    constexpr size_t kMaxEntries = 32767;
    while (!reader.atEnd()) {
        if (spans_.size() == kMaxEntries) {
            throw RuntimeError(ErrorNumber::Overflow, fileName,
                               QStringLiteral("項目が 32767 個を超えています"), Access::Read);
        }
        // A view into the reader's bytes, which bytes_ shares.
        const QByteArrayView entry = reader.readView();
        spans_.emplace_back(qint32(entry.data() - reader.text().constData()), qint32(entry.size()));
    }
    bytes_ = reader.text();
}

QString DictionaryEntries::at(qsizetype index) const
{
    const auto [start, length] = spans_.at(size_t(index));
    const QByteArrayView entry = QByteArrayView(bytes_).sliced(start, length);
    return utf8_ ? QString::fromUtf8(entry) : decodeCp932(entry);
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
