// The field reader driven by the input: the last eight bytes pick the reads
// (view, string or integer, two bits each, repeating), the byte before them
// whether the rest is code page 932 or UTF-8. A second reader takes every field
// as a view alongside; both must agree, every read must consume text, only the
// reader's own errors may escape, and the fields read must come back unchanged
// through the record writer.

#include "fuzz_support.h"

#include "runtime/cp932.h"
#include "runtime/seqfile.h"

#include <QRegularExpression>
#include <QStringList>

using namespace sumiraku;

namespace {

// What the integer read must make of a field: an optional sign and decimal
// digits within 16 bits; a type mismatch or an overflow otherwise.
std::optional<qint16> expectedInteger(QStringView field, ErrorNumber &error)
{
    static const QRegularExpression integer(QStringLiteral("\\A[ \t]*([+-]?)0*([0-9]*)[ \t]*\\z"));
    const QRegularExpressionMatch m = integer.match(field);
    const bool digits = m.capturedLength(2) > 0 || field.contains(u'0');
    error = m.hasMatch() && digits ? ErrorNumber::Overflow : ErrorNumber::TypeMismatch;
    const qint32 value = (m.captured(1) == u"-" ? -1 : 1) * m.captured(2).left(6).toInt();
    if (error == ErrorNumber::TypeMismatch || m.capturedLength(2) > 5 || qint16(value) != value)
        return std::nullopt;
    return qint16(value);
}

} // namespace

FUZZ_TARGET(bytes)
{
    // Taken from the end, as libFuzzer's FuzzedDataProvider takes integers.
    QByteArrayView rest = bytes;
    quint64 program = 0;
    for (int i = 0; i < 8 && !rest.isEmpty(); ++i, rest.chop(1))
        program = program << 8 | uchar(rest.back());
    const bool utf8 = !rest.isEmpty() && (rest.back() & 1);
    rest.chop(rest.isEmpty() ? 0 : 1);
    const QString text = utf8 ? QString::fromUtf8(rest) : decodeCp932(rest);
    const QString name = QStringLiteral("欄.txt");

    FieldReader reader(text, name);
    FieldReader views(text, name);
    QStringList fields;
    for (qsizetype step = 0;; ++step) {
        FUZZ_CHECK(step <= text.size() && reader.atEnd() == views.atEnd());
        const int op = int(program >> (2 * (step % 32))) & 3;
        if (reader.atEnd()) {
            int error = 0;
            readOrRefuse(name, [&] { return op >= 2 ? reader.readInteger() : reader.readView().size(); }, &error);
            FUZZ_CHECK(error == int(ErrorNumber::InputPastEnd));
            break;
        }
        const QStringView field = views.readView();
        // A view into the shared text, not a copy.
        FUZZ_CHECK(field.isEmpty() || (field.data() >= text.data() && field.end() <= text.end()));
        // Only a quoted field holds a delimiter, and a quoted field holds no quote.
        static const QRegularExpression delimiter(QStringLiteral("[,\r\n]"));
        FUZZ_CHECK(!field.contains(u'"') || !field.contains(delimiter));
        fields.append(field.toString());
        ErrorNumber expectedError{};
        const std::optional<qint16> expected = expectedInteger(field, expectedError);
        int error = 0;
        if (op == 0)
            FUZZ_CHECK(reader.readView() == field);
        else if (op == 1)
            FUZZ_CHECK(reader.readString() == field);
        else
            FUZZ_CHECK(readOrRefuse(name, [&] { return reader.readInteger(); }, &error) == expected
                       && (expected || error == int(expectedError)));
    }

    // Counted in the bytes, code page 932 gives as many fields as decoded.
    FUZZ_CHECK(utf8 || countFields(rest) == fields.size());

    // Fields without a quote go through the writer and read back as they were.
    if (!fields.join(QString()).contains(u'"')) {
        QString written;
        for (const QString &f : fields)
            written += formatRecord({f});
        FieldReader again(written, name);
        for (const QString &f : fields)
            FUZZ_CHECK(again.readString() == f);
        FUZZ_CHECK(again.atEnd());
    }
}
