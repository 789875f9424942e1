#include "runtime/cp932.h"

#include "runtime/runtime_error.h"

#include <QSysInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sumiraku {

namespace {

// The byte order of QChar data, so iconv reads and writes QString storage directly.
constexpr const char *kUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE"
                                                                              : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;

// One converter per thread and direction: iconv_t is not safe to share, and
// opening one per call costs more than the conversion of a short record.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns 0 or the errno that stopped it.
    int convert(const char *&in, size_t &inLeft, char *&out, size_t &outLeft)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char *src = const_cast<char *>(in);
        const size_t r = iconv(cd_, &src, &inLeft, &out, &outLeft);
        in = src;
        return r == static_cast<size_t>(-1) ? errno : 0;
    }

private:
    iconv_t cd_;
};

Converter &converter(bool decoding)
{
    thread_local Converter dec(kUtf16, "CP932");
    thread_local Converter enc("CP932", kUtf16);
    Converter &c = decoding ? dec : enc;
    if (!c.valid()) {
        // Without the converter every Japanese text would be lost or written as
        // "?", so stop rather than corrupt the files.
        throw RuntimeError(ErrorNumber::DeviceIo, {},
                           QStringLiteral("文字コード変換 (CP932) が使えません"));
    }
    return c;
}

bool isLeadByte(uchar b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(uchar b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// glibc's converter costs some forty instructions a byte, ASCII included, and
// a history of thousands of records repeats a handful of characters. So the
// decoder asks it once per byte and per byte pair met, and remembers the
// answer: the result is the converter's, at a table look-up a character.
class DecodeMemo {
public:
    enum Kind : quint8 { Unknown, Char, Lead, Bad };
    struct Answer {
        Kind kind = Unknown;
        char16_t unit = 0;
    };

    // A byte from 0x80 on its own: a character, the lead byte of a pair, or bad.
    Answer single(uchar b)
    {
        Answer &a = singles_[b - 0x80];
        if (a.kind == Unknown)
            a = ask(reinterpret_cast<const char *>(&b), 1);
        return a;
    }

    // A lead byte with the byte after it: a character or bad.
    Answer pair(uchar lead, uchar trail)
    {
        Answer &a = pairs_[(lead - 0x80) * 256 + trail];
        if (a.kind == Unknown) {
            const char bytes[2] = {char(lead), char(trail)};
            a = ask(bytes, 2);
            if (a.kind == Lead)
                a.kind = Bad;
        }
        return a;
    }

private:
    static Answer ask(const char *bytes, size_t size)
    {
        char16_t unit = 0;
        const char *in = bytes;
        size_t inLeft = size;
        char *out = reinterpret_cast<char *>(&unit);
        size_t outLeft = sizeof unit;
        const int err = converter(true).convert(in, inLeft, out, outLeft);
        if (err == 0 && inLeft == 0 && outLeft == 0)
            return {Char, unit};
        return {err == EINVAL && size == 1 ? Lead : Bad, 0};
    }

    std::array<Answer, 128> singles_{};
    std::array<Answer, 128 * 256> pairs_{};
};

// One per thread, as the converter it asks; made when the first byte above
// ASCII is met.
DecodeMemo &decodeMemo()
{
    thread_local std::unique_ptr<DecodeMemo> memo;
    if (!memo)
        memo = std::make_unique<DecodeMemo>();
    return *memo;
}

// glibc maps these to code page 932 but decodes the bytes to other characters
// (U+301C → 81 60 → U+FF5E, U+00A5 → 5C → "\"). Code page 932 lacks them, so
// they are written as "?" like any other missing character and every written
// character reads back unchanged.
bool isOneWay(char16_t c)
{
    switch (c) {
    case 0x00A2: case 0x00A3: case 0x00A5: case 0x00AC: case 0x2014:
    case 0x2016: case 0x203E: case 0x2212: case 0x301C:
        return true;
    default:
        return false;
    }
}

// What iconv is asked about. Code page 932 has nothing beyond the basic plane,
// and glibc drops some of those characters (the tags, U+E0000 on) without an
// error instead of refusing them, so surrogates never reach it.
bool needsIconv(char16_t c)
{
    return c >= 0x80 && !isOneWay(c) && !QChar::isSurrogate(c);
}

// Widens the run of ASCII that starts at src to UTF-16; returns its end. A
// history is almost all ASCII, so this is most of the work of reading one.
const uchar *copyAscii(const uchar *src, const uchar *end, char16_t *&dst)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (end - src >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
        if (_mm_movemask_epi8(bytes) != 0)   // a byte of 0x80 or more
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 8), _mm_unpackhi_epi8(bytes, zero));
        src += 16;
        dst += 16;
    }
#endif
    const uchar *const stop = std::find_if(src, end, [](uchar c) { return c >= 0x80; });
    dst = std::copy(src, stop, dst);
    return stop;
}

} // namespace

QString decodeCp932(QByteArrayView bytes)
{
    const auto *src = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    // Every character of code page 932 is one UTF-16 unit and takes one or two
    // bytes, so the result is never longer than the input.
    QString result(n, Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(result.data());
    char16_t *const start = dst;

    DecodeMemo *memo = nullptr;
    qsizetype pos = 0;
    while (pos < n) {
        const uchar b = src[pos];
        if (b < 0x80) {
            pos = copyAscii(src + pos, src + n, dst) - src;
            continue;
        }
        if (!memo)
            memo = &decodeMemo();
        const DecodeMemo::Answer alone = memo->single(b);
        if (alone.kind == DecodeMemo::Char) {
            *dst++ = alone.unit;
            ++pos;
            continue;
        }
        if (alone.kind == DecodeMemo::Lead && pos + 1 < n) {
            const DecodeMemo::Answer pair = memo->pair(b, src[pos + 1]);
            if (pair.kind == DecodeMemo::Char) {
                *dst++ = pair.unit;
                pos += 2;
                continue;
            }
        }
        // An unassigned pair, a lone byte or a lead byte cut off at the end:
        // one replacement for an unassigned pair, one for a lone byte.
        *dst++ = kReplacement;
        const bool pair = isLeadByte(b) && pos + 1 < n && isTrailByte(src[pos + 1]);
        pos += pair ? 2 : 1;
    }
    result.truncate(dst - start);
    return result;
}

QByteArray encodeCp932(QStringView text)
{
    const char16_t *src = text.utf16();
    const qsizetype n = text.size();
    QByteArray result(n * 2, Qt::Uninitialized);
    char *dst = result.data();

    qsizetype pos = 0;
    while (pos < n) {
        const char16_t c = src[pos];
        if (c < 0x80) {
            *dst++ = char(c);
            ++pos;
            continue;
        }
        if (!needsIconv(c)) {
            // One "?" for a lacking character, a whole surrogate pair or a
            // lone surrogate.
            *dst++ = '?';
            const bool surrogatePair = QChar::isHighSurrogate(c) && pos + 1 < n
                                       && QChar::isLowSurrogate(src[pos + 1]);
            pos += surrogatePair ? 2 : 1;
            continue;
        }
        qsizetype end = pos + 1;
        while (end < n && needsIconv(src[end]))
            ++end;

        while (pos < end) {
            const char *in = reinterpret_cast<const char *>(src + pos);
            size_t inLeft = size_t(end - pos) * sizeof(char16_t);
            size_t outLeft = size_t(result.size() - (dst - result.data()));
            const int err = converter(false).convert(in, inLeft, dst, outLeft);
            pos = end - qsizetype(inLeft / sizeof(char16_t));
            if (err == 0)
                break;
            // A character code page 932 lacks: one "?".
            *dst++ = '?';
            ++pos;
        }
    }
    result.truncate(dst - result.data());
    return result;
}

bool isJapaneseUtf8(QByteArrayView bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })
        || !bytes.isValidUtf8())
        return false;
    const QString text = QString::fromUtf8(bytes);
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF)
               || (u >= 0xFF00 && u <= 0xFFEF) || c.isSurrogate();
    });
}

} // namespace sumiraku
