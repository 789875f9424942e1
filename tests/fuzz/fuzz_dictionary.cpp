// Arbitrary bytes as the dictionary file, code page 932 or UTF-8 with its
// byte-order mark. Only the program's own runtime errors, naming the file, may
// come out; the entries read, written one a line in quotes in the same
// encoding, read back the same.

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
    // file has no entry. (A UTF-8 file may hold nothing but marks.)
    const QByteArray mark = "\xEF\xBB\xBF";
    const bool utf8 = bytes.startsWith(mark);
    FUZZ_CHECK(utf8 || entries->isEmpty() == bytes.isEmpty());

    QString text;
    for (const QString &entry : *entries) {
        if (entry.contains(u'"') || (!utf8 && entry.contains(QChar(0xFFFD))))
            return;   // not writable in quotes, or lacking in code page 932
        text += formatRecord({entry});
    }
    FUZZ_CHECK(parseDictionary(utf8 ? mark + text.toUtf8() : encodeCp932(text), name) == *entries);
}
