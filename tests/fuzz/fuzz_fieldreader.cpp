// The field reader driven by the input: the last eight bytes pick the reads
// (view, string or integer, two bits each, repeating), one bit says whether the
// text is code page 932 or UTF-8. A second reader takes every field as a view
// alongside; both must agree, every read must consume text, only the reader's
// own errors may escape, and the fields read must come back unchanged through
// the record writer.

#include "fuzz_support.h"

#include "runtime/cp932.h"
#include "runtime/seqfile.h"

#include <QStringList>

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>

using namespace sumiraku;

namespace {

const QString kName = QStringLiteral("欄.txt");

bool isDelimiter(QChar c) { return c == u',' || c == u'\r' || c == u'\n'; }
bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// What the integer read must make of a field: an optional sign and decimal
// digits within 16 bits; TypeMismatch or Overflow otherwise.
std::optional<qint16> expectedInteger(QStringView field, ErrorNumber &error)
{
    QStringView s = field;
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.mid(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (s.isEmpty() || !std::all_of(s.begin(), s.end(), isDigit)) {
        error = ErrorNumber::TypeMismatch;
        return std::nullopt;
    }
    while (s.size() > 1 && s.front() == u'0')
        s = s.mid(1);
    const qint64 magnitude = s.size() > 6 ? 1000000 : s.toLongLong();
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767) {
        error = ErrorNumber::Overflow;
        return std::nullopt;
    }
    return qint16(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const quint64 program = provider.ConsumeIntegral<quint64>();
    const bool utf8 = provider.ConsumeBool();
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QString text = utf8 ? QString::fromUtf8(rest.data(), qsizetype(rest.size()))
                              : decodeCp932(QByteArrayView(rest.data(), qsizetype(rest.size())));

    FieldReader reader(text, kName);
    FieldReader views(text, kName);
    const QChar *const begin = text.constData();
    QStringList fields;
    for (qsizetype step = 0;; ++step) {
        // Each read consumes at least one character.
        FUZZ_CHECK(step <= text.size());
        FUZZ_CHECK(reader.atEnd() == views.atEnd());
        const int op = int(program >> (2 * (step % 32))) & 3;
        if (reader.atEnd()) {
            try {
                op >= 2 ? void(reader.readInteger()) : void(reader.readView());
                FUZZ_CHECK(false); // a read past the end succeeded
            } catch (const RuntimeError &e) {
                FUZZ_CHECK(e.number() == ErrorNumber::InputPastEnd && e.file() == kName);
            }
            break;
        }

        const QStringView field = views.readView();
        // A view into the shared text, not a copy.
        FUZZ_CHECK(field.isEmpty()
                   || (field.data() >= begin && field.data() + field.size() <= begin + text.size()));
        // Only a quoted field holds a delimiter, and a quoted field holds no quote.
        if (std::any_of(field.begin(), field.end(), isDelimiter))
            FUZZ_CHECK(!field.contains(u'"'));
        fields.append(field.toString());

        if (op == 0) {
            FUZZ_CHECK(reader.readView() == field);
        } else if (op == 1) {
            FUZZ_CHECK(reader.readString() == field);
        } else {
            ErrorNumber expectedError{};
            const std::optional<qint16> expected = expectedInteger(field, expectedError);
            try {
                const qint16 value = reader.readInteger();
                FUZZ_CHECK(expected && *expected == value);
            } catch (const RuntimeError &e) {
                FUZZ_CHECK(!expected && e.number() == expectedError && e.file() == kName);
            }
        }
    }

    // Fields without a quote go through the writer and read back as they were.
    const auto hasQuote = [](const QString &f) { return f.contains(u'"'); };
    if (std::none_of(fields.cbegin(), fields.cend(), hasQuote)) {
        QString written;
        for (const QString &f : fields)
            written += formatRecord({f});
        FieldReader again(written, kName);
        for (const QString &f : fields)
            FUZZ_CHECK(again.readString() == f);
        FUZZ_CHECK(again.atEnd());
    }
    return 0;
}
