// Arbitrary bytes as the dictionary file, code page 932 or UTF-8 (with its
// byte-order mark or without). Only the program's own runtime errors, naming
// the file, may come out; the entries read, written one a line in quotes in
// the same encoding, read back the same.

#include "fuzz_support.h"

#include "files/dictionary_file.h"
#include "runtime/cp932.h"
#include "runtime/seqfile.h"

using namespace sumiraku;

FUZZ_TARGET(bytes)
{
    const QString name = kDictionaryFile.toString();
    const auto entries = readOrRefuse(name, [&] { return parseDictionary(bytes, name); });
    if (!entries)
        return;
    FUZZ_CHECK(entries->size() <= 32767);
    // Every byte of code page 932 is part of some character, so only an empty
    // text has no entry. (A UTF-8 file may hold nothing but marks.)
    const QByteArrayView text = textOfFile(bytes);
    const QByteArray mark = text.startsWith("\xEF\xBB\xBF") ? "\xEF\xBB\xBF" : "";
    const bool utf8 = !mark.isEmpty() || isJapaneseUtf8(text);
    FUZZ_CHECK(utf8 || entries->isEmpty() == text.isEmpty());

    QString written;
    for (const QString &entry : *entries) {
        if (entry.contains(u'"') || (!utf8 && entry.contains(QChar(0xFFFD))))
            return;   // not writable in quotes, or lacking in code page 932
        written += formatRecord({entry});
    }
    const QByteArray back = utf8 ? mark + written.toUtf8() : encodeCp932(written);
    if (!utf8 && isJapaneseUtf8(back))
        return;   // code page 932 that happens to be UTF-8 too
    FUZZ_CHECK(parseDictionary(back, name) == *entries);
}
