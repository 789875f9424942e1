// Arbitrary text through the code page 932 encoder: the input's first byte
// says whether the rest is UTF-8 (mostly real characters) or raw UTF-16 units
// (lone surrogates and unassigned code points too). What is written must read
// back as the text, with one "?" for each character or surrogate pair that code
// page 932 lacks, judged the same wherever it stands; written again, it gives
// the same bytes.

#include "fuzz_support.h"

#include "runtime/cp932.h"

#include <QString>

using namespace sumiraku;

FUZZ_TARGET(input)
{
    const QByteArray rest = input.mid(1);
    const QString text = !input.isEmpty() && (input[0] & 1)
                             ? QString::fromUtf8(rest)
                             : QString(reinterpret_cast<const QChar *>(rest.constData()), rest.size() / 2);
    const QByteArray bytes = encodeCp932(text);
    FUZZ_CHECK(bytes.size() <= 2 * text.size());

    QString expected;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView c = QStringView(text).sliced(i, 1);
        const bool pair = c[0].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        i += pair;
        expected += pair || decodeCp932(encodeCp932(c)) != c ? QStringView(u"?") : c;
    }
    FUZZ_CHECK(decodeCp932(bytes) == expected);
    FUZZ_CHECK(encodeCp932(expected) == bytes);
}
