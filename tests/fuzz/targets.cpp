// The fuzz targets: invariants of each reader on arbitrary bytes, one function
// an area in the table at the end. Built with SUMIRAKU_FUZZ_TARGET=<name> this
// is that libFuzzer target; otherwise it is `replay <name> <corpus folder>`,
// which every build's tests run over the committed inputs.

#include "files/dictionary_file.h"
#include "files/history_file.h"
#include "files/settings_file.h"
#include "helpviewer/chmarchive.h"
#include "helpviewer/chmcheck.h"
#include "helpviewer/chmcontents.h"
#include "runtime/cp932.h"
#include "runtime/seqfile.h"
#include "sandbox.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>

using namespace sumiraku;

namespace {

// On in every build type; an abort makes the fuzzer keep the input.
#define CHECK(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "broken: %s (line %d)\n", #condition, __LINE__), std::abort()))

// What a file reader makes of the input, or nothing when it refuses it with
// the program's own error, which must name the file. Any other exception
// escapes and is a finding.
template <typename Read>
auto readOrRefuse(const QString &fileName, Read read, int *error = nullptr) -> std::optional<decltype(read())>
{
    try {
        return read();
    } catch (const RuntimeError &e) {
        CHECK(e.file() == fileName);
        if (error)
            *error = int(e.number());
        return std::nullopt;
    }
}

// Reads as iconv does, restarting after each bad spot, and back unchanged
// once written, but for "?" in place of each replacement.
void cp932Decode(const QByteArray &bytes)
{
    const QString text = decodeCp932(bytes);
    CHECK(text == testing::fromSjis(bytes));
    CHECK(decodeCp932(encodeCp932(text)) == QString(text).replace(QChar(0xFFFD), u'?'));
}

// The first byte says whether the rest is UTF-8 or raw UTF-16 units (lone
// surrogates too). What is written reads back as the text with one "?" for
// each character or pair that code page 932 lacks, judged the same wherever
// it stands; written again, it gives the same bytes.
void cp932Encode(const QByteArray &input)
{
    const QByteArray rest = input.mid(1);
    const QString text = !input.isEmpty() && (input[0] & 1)
                             ? QString::fromUtf8(rest)
                             : QString(reinterpret_cast<const QChar *>(rest.constData()), rest.size() / 2);
    const QByteArray bytes = encodeCp932(text);
    CHECK(bytes.size() <= 2 * text.size());
    QString expected;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView c = QStringView(text).sliced(i, 1);
        const bool pair = c[0].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        i += pair;
        expected += pair || decodeCp932(encodeCp932(c)) != c ? QStringView(u"?") : c;
    }
    CHECK(decodeCp932(bytes) == expected);
    CHECK(encodeCp932(expected) == bytes);
}

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

// The last eight bytes pick the reads (view, string or integer, two bits each,
// repeating; taken from the end as libFuzzer's data provider takes integers),
// the byte before them whether the rest is code page 932 or UTF-8. A second
// reader takes every field as a view alongside; both must agree, every read
// consumes text, and the fields come back unchanged through the record writer.
void fieldReader(const QByteArray &bytes)
{
    QByteArrayView rest = bytes;
    quint64 program = 0;
    for (int i = 0; i < 8 && !rest.isEmpty(); ++i, rest.chop(1))
        program = program << 8 | uchar(rest.back());
    const bool utf8 = !rest.isEmpty() && (rest.back() & 1);
    rest.chop(rest.isEmpty() ? 0 : 1);
    const auto decode = [utf8](QByteArrayView field) { return utf8 ? QString::fromUtf8(field) : decodeCp932(field); };
    const QByteArray text = rest.toByteArray();
    const QString name = QStringLiteral("欄.txt");

    FieldReader reader(text, name), views(text, name);
    QStringList fields;
    for (qsizetype step = 0;; ++step) {
        CHECK(step <= text.size() && reader.atEnd() == views.atEnd());
        const int op = int(program >> (2 * (step % 32))) & 3;
        int error = 0;
        if (reader.atEnd()) {
            readOrRefuse(name, [&] { return op >= 2 ? reader.readInteger() : reader.readView().size(); }, &error);
            CHECK(error == int(ErrorNumber::InputPastEnd));
            break;
        }
        const QByteArrayView field = views.readView();
        // A view into the text, not a copy; only a quoted field holds a
        // delimiter, and a quoted field holds no quote.
        CHECK(field.isEmpty() || (field.data() >= text.data() && field.end() <= text.end()));
        CHECK(!field.contains('"') || !(field.contains(',') || field.contains('\r') || field.contains('\n')));
        fields.append(decode(field));
        ErrorNumber expectedError{};
        const std::optional<qint16> expected = expectedInteger(fields.back(), expectedError);
        if (op == 0)
            CHECK(reader.readView() == field);
        else if (op == 1)
            CHECK(reader.readString() == decodeCp932(field));
        else
            CHECK(readOrRefuse(name, [&] { return reader.readInteger(); }, &error) == expected
                  && (expected || error == int(expectedError)));
    }
    const QString all = fields.join(QString());
    if (all.contains(u'"') || (!utf8 && all.contains(QChar(0xFFFD))))
        return;   // not writable in quotes, or lacking in code page 932
    QString written;
    for (const QString &f : fields)
        written += formatRecord({f});
    FieldReader again(utf8 ? written.toUtf8() : encodeCp932(written), name);
    for (const QString &f : fields)
        CHECK(decode(again.readView()) == f);
    CHECK(again.atEnd());
}

// Code page 932 or UTF-8, with its mark or without. The entries read, written one a line
// in quotes in the same encoding, read back the same.
void dictionary(const QByteArray &bytes)
{
    const QString name = kDictionaryFile.toString();
    const auto entries = readOrRefuse(name, [&] { return parseDictionary(bytes, name); });
    if (!entries)
        return;
    // Every byte of code page 932 is part of some character, so only an empty
    // text has no entry. (A UTF-8 file may hold nothing but marks.)
    const QByteArrayView text = textOfFile(bytes);
    const QByteArray mark = text.startsWith("\xEF\xBB\xBF") ? "\xEF\xBB\xBF" : "";
    const bool utf8 = !mark.isEmpty() || isJapaneseUtf8(text);
    CHECK(utf8 || entries->isEmpty() == text.isEmpty());
    QString written;
    for (const QString &entry : *entries) {
        if (entry.contains(u'"') || (!utf8 && entry.contains(QChar(0xFFFD))))
            return;   // not writable in quotes, or lacking in code page 932
        written += formatRecord({entry});
    }
    const QByteArray back = utf8 ? mark + written.toUtf8() : encodeCp932(written);
    if (!utf8 && isJapaneseUtf8(back))
        return;   // code page 932 that happens to be UTF-8 too
    CHECK(parseDictionary(back, name) == *entries);
}

auto fields(const HistoryRecord &r)
{
    return std::tie(r.date, r.time, r.questions, r.ok, r.ng, r.rate, r.perSecond, r.length, r.mode);
}

// Records checked at start-up and made when asked for are those read all at
// once: the start-up check raises the same error, and a record it passed reads
// back without one. One that the program could write (questions a plain
// number, texts without quotes or replacements) reads back the same once written.
void history(const QByteArray &bytes)
{
    const QString name = kHistoryFile.toString();
    int allError = 0, checkError = 0;
    const auto all = readOrRefuse(name, [&] { return parseHistory(bytes, name); }, &allError);
    const auto rows = readOrRefuse(name, [&] { return HistoryRows(HistoryReader::fromBytes(bytes, name)); }, &checkError);
    CHECK(checkError == allError && (!all || qsizetype(all->size()) == rows->size()));
    std::vector<HistoryRecord> streamed;
    for (qsizetype i = 0; rows && i < rows->size(); ++i)
        streamed.push_back(rows->at(i));
    for (size_t i = 0; all && i < all->size(); ++i)
        CHECK(fields((*all)[i]) == fields(streamed[i]));
    for (const HistoryRecord &r : streamed) {
        const QString texts = r.date + r.time + r.rate + r.perSecond + r.length + r.mode;
        if (QString::number(r.questions.toInt()) != r.questions || texts.contains(u'"')
            || texts.contains(QChar(0xFFFD)))
            continue;
        const std::vector<HistoryRecord> back = parseHistory(historyRecordBytes(r), name);
        CHECK(back.size() == 1 && fields(back[0]) == fields(r));
    }
}

// Accepted settings are usable by a game and read back the same once written
// (but for a mode with a quote or a replacement, which cannot be).
void settings(const QByteArray &bytes)
{
    const QString name = kSettingsFile.toString();
    const auto s = readOrRefuse(name, [&] { return parseSettings(bytes, name); });
    if (!s)
        return;
    CHECK(s->PlayByou >= 1 && (s->AutoSave == 0 || s->AutoSave == 1));
    if (s->HideMode.contains(u'"') || s->HideMode.contains(QChar(0xFFFD)))
        return;
    const QByteArray written = settingsBytes(s->PlayByou, s->AutoSave, s->HideMode);
    if (isJapaneseUtf8(written))
        return;   // code page 932 that spells Japanese in UTF-8 too: refused as UTF-8
    const Settings again = parseSettings(written, name);
    CHECK(again.PlayByou == s->PlayByou && again.AutoSave == s->AutoSave && again.HideMode == s->HideMode);
}

// A compiled help file must be refused or passed quickly by the checks; one
// they pass is opened through chmlib, and its contents, default topic and
// every page named are read and decoded within the archive's limits.
void chm(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ChmLayout layout;
    if (!checkChmFile(buffer, &layout).isEmpty())
        return;
    CHECK(layout.fileSize == quint64(bytes.size()) && layout.dataOffset <= layout.fileSize);
    // One scratch file for every input, in memory where the system offers it.
    static QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/sumiraku-fuzz-XXXXXX") : QString());
    QFile file(dir.filePath(QStringLiteral("help.chm")));
    CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    QString error;
    const std::unique_ptr<ChmArchive> archive = ChmArchive::open(file.fileName(), &error);
    CHECK(archive || !error.isEmpty());
    if (!archive)
        return;
    CHECK(!archive->defaultTopic().isEmpty());
    for (const HelpTopic &topic : archive->contents()) {
        CHECK(topic.depth >= 0);
        if (const auto page = archive->read(topic.path)) {
            CHECK(quint64(page->size()) <= kChmMaxObjectSize);
            decodeHelpPage(*page);
        }
    }
}

using Target = void (*)(const QByteArray &);
const QMap<QByteArray, Target> kTargets{
    {"cp932_decode", cp932Decode}, {"cp932_encode", cp932Encode}, {"fieldreader", fieldReader},
    {"dictionary", dictionary}, {"history", history}, {"settings", settings}, {"chm", chm},
};

} // namespace

#ifdef SUMIRAKU_FUZZ_TARGET
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Target run = kTargets.value(SUMIRAKU_FUZZ_TARGET);
    run(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
#else
int main(int argc, char **argv)
{
    const Target run = argc == 3 ? kTargets.value(argv[1]) : nullptr;
    const QFileInfoList inputs = QDir(QFile::decodeName(argc == 3 ? argv[2] : "")).entryInfoList(QDir::Files);
    if (!run || inputs.isEmpty())   // a misnamed target or folder checks nothing
        return 1;
    for (const QFileInfo &input : inputs) {
        QFile file(input.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        std::fprintf(stderr, "%s\n", qPrintable(input.fileName()));
        run(file.readAll());
    }
}
#endif
