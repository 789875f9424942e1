// Arbitrary bytes through the code page 932 decoder. Its result must be what
// iconv gives for the whole text at once (restarted after each bad spot), hold
// no surrogate, and read back unchanged after being written again.

#include "fuzz_support.h"

#include "runtime/cp932.h"

#include <QString>

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <vector>

using namespace sumiraku;

namespace {

bool isLead(uchar b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrail(uchar b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// One bad spot is one U+FFFD: a lead byte with a trail byte counts as one
// spot, any other byte iconv refuses (or a lead byte cut off) as one.
QString throughIconv(const uchar *src, size_t n)
{
    static const iconv_t cd = iconv_open("UTF-16LE", "CP932");
    FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1));
    std::vector<char16_t> buffer(n + 1);
    QString out;
    size_t pos = 0;
    while (pos < n) {
        char *in = reinterpret_cast<char *>(const_cast<uchar *>(src + pos));
        size_t inLeft = n - pos;
        char *to = reinterpret_cast<char *>(buffer.data());
        size_t toLeft = buffer.size() * sizeof(char16_t);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &in, &inLeft, &to, &toLeft);
        FUZZ_CHECK(r != size_t(-1) || errno != E2BIG);
        out += QStringView(buffer.data(), (to - reinterpret_cast<char *>(buffer.data())) / 2);
        pos = n - inLeft;
        if (r == size_t(-1)) {
            out += QChar(0xFFFD);
            pos += isLead(src[pos]) && pos + 1 < n && isTrail(src[pos + 1]) ? 2 : 1;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString text = decodeCp932(bytes);

    FUZZ_CHECK(text.size() <= bytes.size());
    for (QChar c : text)
        FUZZ_CHECK(!c.isSurrogate());
    FUZZ_CHECK(text == throughIconv(data, size));

    // Every decoded character can be written back; only the replacements for
    // bad bytes, which code page 932 lacks, come back as "?".
    QString expected = text;
    expected.replace(QChar(0xFFFD), u'?');
    FUZZ_CHECK(decodeCp932(encodeCp932(text)) == expected);
    return 0;
}
