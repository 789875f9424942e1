// Arbitrary text through the code page 932 encoder: the input's first byte
// says whether the rest is UTF-8 (mostly real characters) or raw UTF-16 units
// (lone surrogates and unassigned code points too). What is written must be
// valid code page 932 that reads back as the text, character for character,
// with "?" for exactly those characters that code page 932 lacks, wherever
// they stand.

#include "fuzz_support.h"

#include "runtime/cp932.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstring>

using namespace sumiraku;

namespace {

// Whether one character on its own survives writing and reading: the
// encoder's verdict in isolation, to compare with its verdict in a run.
bool keptAlone(char16_t c)
{
    static std::array<qint8, 0x10000> known{};
    qint8 &k = known[c];
    if (k == 0) {
        const QChar ch(c);
        k = decodeCp932(encodeCp932(QStringView(&ch, 1))) == QStringView(&ch, 1) ? 1 : -1;
    }
    return k > 0;
}

QString textFrom(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype restSize = qsizetype(size - 1);
    if (data[0] & 1)
        return QString::fromUtf8(rest, restSize);
    QString text(restSize / 2, Qt::Uninitialized);
    std::memcpy(text.data(), rest, size_t(text.size()) * 2);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = textFrom(data, size);
    const QByteArray bytes = encodeCp932(text);
    FUZZ_CHECK(bytes.size() <= 2 * text.size());

    const QString back = decodeCp932(bytes);
    FUZZ_CHECK(!back.contains(QChar(0xFFFD)));

    qsizetype j = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++j) {
        FUZZ_CHECK(j < back.size());
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // Code page 932 has nothing beyond the basic plane: one "?" a pair.
            FUZZ_CHECK(back[j] == u'?');
            ++i;
            continue;
        }
        if (c < 0x80)
            FUZZ_CHECK(back[j] == c);
        else
            FUZZ_CHECK(back[j] == (keptAlone(c) ? QChar(c) : QChar(u'?')));
    }
    FUZZ_CHECK(j == back.size());
    // Written text is a fixed point: writing what was read changes nothing.
    FUZZ_CHECK(encodeCp932(back) == bytes);
    return 0;
}
