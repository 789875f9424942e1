// Arbitrary bytes as the dictionary file, code page 932 or UTF-8 with its
// byte-order mark. Only the program's own runtime errors, naming the file, may
// come out; the entries read, written one a line in quotes in the same
// encoding, read back the same.

#include "fuzz_support.h"

#include "files/dictionary_file.h"
#include "runtime/cp932.h"
#include "runtime/seqfile.h"

#include <algorithm>
#include <cstdint>

using namespace sumiraku;

namespace {

const QString kName = QStringLiteral("辞書.txt");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fileBytes(data, size);
    const std::optional<QStringList> read =
        readOrRefuse(kName, [&] { return parseDictionary(bytes, kName); });
    if (!read)
        return 0;
    const QStringList &entries = *read;
    FUZZ_CHECK(entries.size() <= 32767);
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    // Every byte of code page 932 is part of some character, so only an
    // empty file has no entry. (A UTF-8 file may hold nothing but marks.)
    if (!utf8)
        FUZZ_CHECK(entries.isEmpty() == bytes.isEmpty());

    const auto unwritable = [utf8](const QString &entry) {
        return entry.contains(u'"') || (!utf8 && entry.contains(QChar(0xFFFD)));
    };
    if (std::any_of(entries.cbegin(), entries.cend(), unwritable))
        return 0;
    QString text;
    for (const QString &entry : entries)
        text += formatRecord({entry});
    const QByteArray written = utf8 ? "\xEF\xBB\xBF" + text.toUtf8() : encodeCp932(text);
    FUZZ_CHECK(parseDictionary(written, kName) == entries);
    return 0;
}
