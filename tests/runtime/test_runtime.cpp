// The classic runtime: 16-bit arithmetic, the two roundings, the leading-number
// rule, the display patterns, and code page 932 against bytes written out by
// hand (the fuzz corpora hold every byte pair and every UTF-16 unit once, so
// their replay checks each against iconv and on its way there and back); the
// comma-separated field reader, the record writer and the file writes,
// including their failures.

#include "runtime/cp932.h"
#include "runtime/numbers.h"
#include "runtime/seqfile.h"
#include "runtime/write_faults.h"
#include "runtime/runtime_error.h"
#include "sandbox.h"

#include <QDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <limits>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sumiraku;
using namespace sumiraku::testing;
using namespace Qt::StringLiterals;

// The runtime error an operation raises, if any.
template <typename Operation>
std::optional<RuntimeError> failureOf(Operation operation)
{
    try {
        operation();
    } catch (const RuntimeError &e) {
        return e;
    }
    return std::nullopt;
}

class TestRuntime : public QObject {
    Q_OBJECT

    enum Fault { None, FileReadOnly, FolderReadOnly, DiskFull, DiskFullPartWay, RenameFails, SizeLimit,
                 FolderInTheWay, NoSuchFolder, SyncFails, InPlacePartWay };

private slots:
    // Every row is tried; those that fail are listed together.
    void computesAsTheClassicRuntimeDoes()
    {
        QStringList wrong;
        // "overflow" expects the classic error 6.
        const auto row = [&wrong](const char *name, const std::function<QVariant()> &operation,
                                  const QString &expected) {
            QString got;
            const auto error = failureOf([&] { got = operation().toString(); });
            got = error && error->number() == ErrorNumber::Overflow ? u"overflow"_s : error ? error->message() : got;
            if (got != expected)
                wrong << u"%1: %2, not %3"_s.arg(name, got, expected);
        };
        row("add up to the top", [] { return add16(32766, 1); }, u"32767"_s);
        row("add past the top", [] { return add16(32767, 1); }, u"overflow"_s);
        row("add past the bottom", [] { return add16(-32768, -1); }, u"overflow"_s);
        row("round 2.5 to even", [] { return roundToInt16(2.5); }, u"2"_s);
        row("round -1.5 to even", [] { return roundToInt16(-1.5); }, u"-2"_s);
        row("round -32768.5", [] { return roundToInt16(-32768.5); }, u"-32768"_s);
        row("round 32767.5", [] { return roundToInt16(32767.5); }, u"overflow"_s);
        row("round nan", [] { return roundToInt16(qQNaN()); }, u"overflow"_s);
        row("val mode text", [] { return leadingNumber(u"2:ノーマル"_s); }, u"2"_s);
        row("val random mode", [] { return leadingNumber(u"R:ランダム"_s); }, u"0"_s);
        row("val blanks inside", [] { return leadingNumber(u" - 16 15\t19"_s); }, u"-161519"_s);
        row("val full-width space stops", [] { return leadingNumber(u"1\u30002"_s); }, u"1"_s);
        row("val exponent d", [] { return leadingNumber(u"2.5D-1x"_s); }, u"0.25"_s);
        row("val exponent without digits", [] { return leadingNumber(u"7e+x"_s); }, u"7"_s);
        row("val hex integer sign", [] { return leadingNumber(u"&HFFFF"_s); }, u"-1"_s);
        row("val hex long", [] { return leadingNumber(u"&H10000"_s); }, u"65536"_s);
        row("val full-width digits", [] { return leadingNumber(u"１２"_s); }, u"0"_s);
        row("val past double", [] { return leadingNumber(u"1e400"_s); }, u"overflow"_s);
        row("val hex past 32 bits", [] { return leadingNumber(u"&H100000000"_s); }, u"overflow"_s);
        row("speed 107/40", [] { return formatPerSecond(107, 40); }, u"2.68/秒"_s);
        row("speed in no time", [] { return formatPerSecond(10, 0); }, u"overflow"_s);
        row("rate 1/16", [] { return formatRate(1, 16); }, u"6.3%"_s);
        row("rate of nothing", [] { return formatRate(0, 0); }, u"overflow"_s);
        row("carry through nines", [] { return formatQuotient(9995, 1000, 2); }, u"10.00"_s);
        row("negative half", [] { return formatQuotient(-1, 2, 0); }, u"-1"_s);
        row("negative rounding to zero", [] { return formatQuotient(-1, 1000, 2); }, u"0.00"_s);
        row("most negative", [] { return formatQuotient(std::numeric_limits<qint64>::min(), 1, 0); },
            u"-9223372036854775808"_s);
        row("date and time", [] { return formatDate({2026, 5, 6}) + formatTime({9, 5, 7}); },
            u"2026/05/0609:05:07"_s);
        // Where code page 932 has two codes for a character, Windows writes
        // the first of them; what it lacks is one "?".
        const auto cp932 = [&](const char *name, const QString &text, const char *hex) {
            row(name, [text] { return encodeCp932(text).toHex(); }, QString::fromLatin1(hex));
        };
        cp932("settings line", u"60,1,\"2:ノーマル\"\r\n"_s, "36302c312c22323a836d815b837d838b220d0a");
        cp932("halfwidth katakana and control bytes", u"ｱﾟ\x1a\x7f"_s, "b1df1a7f");
        cp932("nec roman one", u"\u2160"_s, "8754");
        cp932("because takes the jis code", u"\u2235"_s, "81e6");
        cp932("ibm kanji takes the ibm code", u"\u7E8A"_s, "fa5c");
        cp932("yen sign and wave dash lack", u"\u00A5\u301C\uFF5E"_s, "3f3f8160");
        cp932("surrogate pair is one mark", u"一😀二"_s, "88ea3f93f1");
        cp932("tag character and lone surrogates", u"\U000E0041"_s + QChar(0xD83D) + u"A"_s + QChar(0xDE00), "3f3f413f");
        // One replacement for an unassigned pair, one for any other bad byte.
        row("record as the classic write puts it",
            [] { return formatRecord({qint32(-5), u"2:ノーマル"_s, u"a\"b"_s, QString()}); },
            u"-5,\"2:ノーマル\",\"a\"b\",\"\"\r\n"_s);
        // The classic text of error 70 blames writing alone; a read says it was one.
        row("an unreadable file is not called unwritable", [] {
            const QString text = RuntimeError(ErrorNumber::PermissionDenied, u"履歴.txt"_s, {}, Access::Read).message();
            return text.contains(u"読み込みできません。"_s) && !text.contains(u"書き込み"_s);
        }, u"true"_s);
        row("bad spots", [] { return decodeCp932("\x85\x40\x95\x62\x81\x7f\x80\xa0\xfd\x41\xed\x40\x81"); },
            u"\uFFFD秒\uFFFD\x7f\uFFFD\uFFFD\uFFFDA\u7E8A\uFFFD"_s);
        row("ascii runs of 16 and more around double bytes", [] {
            const QString text = QString(17, u'a') + u"秒"_s + QString(33, u'b') + u"ｱ\x7f秒"_s + QString(16, u'c');
            return decodeCp932(encodeCp932(text)) == text;
        }, u"true"_s);
        // The field reader, field by field, each in brackets. (The fuzz target
        // checks what integer reads make of fields, and the classic error 62,
        // naming the file, for a read past the end.)
        const auto fields = [&](const char *name, const QString &text, const QString &expected) {
            row(name, [text] {
                FieldReader reader(encodeCp932(text), u"f"_s);
                QString read;
                while (!reader.atEnd())
                    read += u'[' + reader.readString() + u']';
                return read;
            }, expected);
        };
        fields("fields of nothing", QString(), QString());
        fields("fields of a settings line", u"60,1,\"2:ノーマル\"\r\n"_s, u"[60][1][2:ノーマル]"_s);
        fields("fields with blanks", u"  a b \t, \" c \" ,\u3000d"_s, u"[a b][ c ][\u3000d]"_s);
        fields("text after closing quote", u"\"a,b\"cd,e"_s, u"[a,b][e]"_s);
        fields("comma at line end, empty line, final line end", u"a,\r\n\r\nb\r\n"_s, u"[a][][][b]"_s);
        fields("lone lf and cr", u"a\nb\rc\n\rd"_s, u"[a][b][c][][d]"_s);
        fields("unclosed quote", u"\"ab,c\r\nd"_s, u"[ab,c\r\nd]"_s);
        // Fields found sixteen bytes at a time: a delimiter inside the quotes,
        // delimiters in the last byte of a step, just past it and beyond, and
        // text after a closing quote over more than one step.
        fields("long fields", u"\"a,b\"cd,"_s + QString(15, u'a') + u',' + QString(16, u'b') + u',' + QString(30, u'c')
                                  + u"秒\r\n\"q\""_s + QString(20, u'x') + u",end\r\n"_s,
               u"[a,b][%1][%2][%3秒][q][end]"_s.arg(QString(15, u'a'), QString(16, u'b'), QString(30, u'c')));
        QCOMPARE(wrong, QStringList());
    }

    void aWriteLeavesTheOldBytesOrTheNew_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("expected");   // error number, 0 for success

        // Classic error numbers: 57 device I/O, 61 disk full, 70 permission
        // denied, 75 path/file access.
        const char *const operations[] = {"replace", "append", "empty", "create"};
        const struct { const char *name; int expected[4]; } faults[] = {   // in the order of Fault
            {"no fault", {0, 0, 0, 0}},
            {"file read-only", {70, 70, 70, 0}},
            {"folder read-only", {0, 0, 0, 70}},   // an existing file is replaced in place
            {"disk full", {61, 61, 0, 61}},
            {"disk full part-way", {61, 61, 0, 61}},
            {"rename fails", {57, 0, 0, 0}},
            {"file size limit", {61, 61, 0, 61}},
            {"a folder in the way", {75, 75, 75, 75}},
            {"no such folder", {75, 75, 75, 75}},
            {"flush to disk fails", {57, 57, 0, 57}},
            {"folder read-only, disk full part-way", {61, 61, 0, 70}},
        };
        for (int fault = 0; fault < int(std::size(faults)); ++fault)
            for (int op = 0; op < 4; ++op)
                QTest::addRow("%s: %s", faults[fault].name, operations[op])
                    << QString::fromLatin1(operations[op]) << fault << faults[fault].expected[op];
    }

    // Whatever fails, the file holds its old bytes or its new ones, never a
    // part unless it had to be written over in place, and no scratch copy is
    // left beside it; a file that was there keeps its mode, and its owner where
    // we may set it. Root ignores permission bits, so those faults are
    // injected; a file size limit makes the system itself take part of a write
    // and refuse the rest.
    void aWriteLeavesTheOldBytesOrTheNew()
    {
        QFETCH(QString, operation);
        QFETCH(int, fault);
        QFETCH(int, expected);
        Sandbox box;
        box.write(kSettings, "old settings, longer than the new\r\n");
        box.write(kHistory, "old record\r\n");
        const QString file = (fault == NoSuchFolder ? u"nowhere/"_s : QString())
                             + (operation == u"replace" ? kSettings : operation == u"create" ? kDictionary : kHistory);
        if (fault == FolderInTheWay)
            box.remove(file), QDir(box.path()).mkdir(file);
        const QStringList files = QDir(box.path()).entryList(QDir::Files);
        const QByteArray before = box.read(file);
        const QByteArray path = QFile::encodeName(QDir(box.path()).filePath(file));
        const bool existed = QFileInfo(QFile::decodeName(path)).isFile();
        const uid_t owner = ::geteuid() == 0 ? 4321 : ::geteuid();
        QVERIFY(!existed || (::chmod(path, 0604) == 0 && ::chown(path, owner, owner) == 0));
        const QByteArray record = "new record\r\n";

        const bool partWay = fault == DiskFullPartWay || fault == InPlacePartWay;
        WriteFaults faults{fault == FileReadOnly, fault == FolderReadOnly || fault == InPlacePartWay,
                           fault == DiskFull ? 0 : partWay ? 4 : -1, fault == RenameFails, fault == SyncFails};
        setWriteFaults(&faults);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limited{fault == SizeLimit ? 4 : saved.rlim_cur, saved.rlim_max};
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
        const auto error = failureOf([&] {
            operation == u"replace" ? replaceFile(file, record)
            : operation == u"empty" ? emptyFile(file) : appendToFile(file, record);
        });
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        setWriteFaults(nullptr);

        QCOMPARE(error ? int(error->number()) : 0, expected);
        QVERIFY(!error || (error->file() == file && error->access() == Access::Write));
        // A folder that takes no new file is blamed, not the file.
        if (error && (fault == FolderReadOnly || fault == FileReadOnly))
            QVERIFY(error->message().contains(fault == FileReadOnly ? u"このファイルに書き込む"_s : u"フォルダー "_s + box.path()));
        const QByteArray after = operation == u"append" ? before + record : operation == u"empty" ? "" : record;
        // Where no scratch copy can be made the file is written over, so a
        // failure part-way leaves the part written: still reported as failed.
        const bool overwritten = fault == InPlacePartWay && operation == u"replace";
        QCOMPARE(box.read(file), overwritten ? record.left(4) : expected ? before : after);
        QCOMPARE(QDir(box.path()).entryList(QDir::Files).size(), files.size() + (operation == u"create" && !expected));
        struct stat st {};
        QVERIFY(!existed || (::stat(path, &st) == 0 && (st.st_mode & 07777) == 0604 && st.st_uid == owner));
    }
};

QTEST_GUILESS_MAIN(TestRuntime)
#include "test_runtime.moc"
