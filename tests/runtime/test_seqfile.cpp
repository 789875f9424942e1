// The comma-separated field reader, the record writer and the file operations,
// including their failures.

#include "runtime/seqfile.h"
#include "runtime/write_faults.h"
#include "raised.h"
#include "sandbox.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace sumiraku;
using namespace sumiraku::testing;
using namespace Qt::StringLiterals;

class TestSeqFile : public QObject {
    Q_OBJECT

private slots:
    void readsFieldsLikeTheClassicInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("integers");
        QTest::addColumn<QStringList>("fields");

        const auto row = [](const char *name, const QString &text, QStringList fields, bool ints = false) {
            QTest::newRow(name) << text << ints << (fields << u"error 62 f "_s);
        };
        row("nothing", {}, {});
        row("settings line", u"60,1,\"2:ノーマル\"\r\n"_s, {"60", "1", u"2:ノーマル"_s});
        row("blanks", u"  a b \t, \" c \" ,\u3000d"_s, {"a b", " c ", u"\u3000d"_s});
        row("text after closing quote", u"\"a,b\"cd,e"_s, {"a,b", "e"});
        row("comma at line end, empty line, final line end", u"a,\r\n\r\nb\r\n"_s, {"a", "", "", "b"});
        row("lone lf and cr", u"a\nb\rc\n\rd"_s, {"a", "b", "c", "", "d"});
        row("unclosed quote", u"\"ab,c\r\nd"_s, {"ab,c\r\nd"});
        row("integers", u" +007 ,\"-32768\",32767,32768,99999999999999999999,,- 5,12.5"_s,
            {"7", "-32768", "32767", u"error 6 f 値: \"32768\""_s,
             u"error 6 f 値: \"99999999999999999999\""_s, u"error 13 f 値: \"\""_s,
             u"error 13 f 値: \"- 5\""_s, u"error 13 f 値: \"12.5\""_s}, true);
        const QString shortened = u"error 13 f 値: \"%1…\""_s.arg(QString(40, u'x'));
        row("long field shortened", QString(50, u'x'), {shortened}, true);
    }

    // Each field as text, or as an integer, or the error that reading it raises
    // (classic numbers: 6 overflow, 13 type mismatch, 62 input past end); the last
    // read is always past the end.
    void readsFieldsLikeTheClassicInput()
    {
        QFETCH(QString, text);
        QFETCH(bool, integers);
        QFETCH(QStringList, fields);
        FieldReader reader(text, u"f"_s);
        QStringList read;
        for (bool end = false; !end;) {
            end = reader.atEnd();
            QString field;
            const auto error = failureOf([&] {
                field = integers ? QString::number(reader.readInteger()) : reader.readString();
            });
            const auto number = error ? int(error->number()) : 0;
            read << (error ? u"error %1 %2 %3"_s.arg(number).arg(error->file(), error->detail()) : field);
        }
        QCOMPARE(read, fields);
    }

    void writesAndReadsWholeFiles()
    {
        Sandbox box;
        const QString record = formatRecord({qint32(-5), u"2:ノーマル"_s, u"a\"b"_s, QString()});
        QCOMPARE(record, u"-5,\"2:ノーマル\",\"a\"b\",\"\"\r\n"_s);
        replaceFile(kSettings, "old content, longer\r\n");
        replaceFile(kSettings, "5,0\r\n");
        appendToFile(kHistory, "a\r\n");
        appendToFile(kHistory, "b\r\n");
        emptyFile(kDictionary);
        QCOMPARE(readFileBytes(kSettings), QByteArray("5,0\r\n"));
        QCOMPARE(readFileBytes(kHistory), QByteArray("a\r\nb\r\n"));
        QCOMPARE(readFileBytes(kDictionary), QByteArray(""));
        QCOMPARE(QDir(box.path()).entryList(QDir::Files).size(), 3);   // nothing left beside them
    }

    // Root ignores permission bits, so a folder stands where the file should be.
    // Classic error numbers: 53 file not found, 75 path/file access.
    void failuresNameTheFile()
    {
        Sandbox box;
        QVERIFY(QDir(box.path()).mkdir(u"folder"_s));
        QCOMPARE(failureSummary([] { readFileBytes(u"無い.txt"_s); }), u"53 無い.txt"_s);
        QCOMPARE(failureSummary([] { replaceFile(u"folder"_s, "x"); }), u"75 folder"_s);
        QCOMPARE(failureSummary([] { appendToFile(u"folder"_s, "x"); }), u"75 folder"_s);
        QCOMPARE(failureSummary([] { emptyFile(u"nowhere/x.txt"_s); }), u"75 nowhere/x.txt"_s);
        QVERIFY(!failureOf([] { emptyFile(u"nowhere/x.txt"_s); })->detail().isEmpty());   // the reason
    }

    // A file size limit makes the system take part of a write and refuse the rest.
    void aWriteRefusedPartWayLeavesTheFileAsItWas()
    {
        Sandbox box;
        box.write(kSettings, "old\r\n");
        box.write(kHistory, "0123456789");
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = 16;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
        const QByteArray record(20, 'r');
        const QString replaced = failureSummary([&] { replaceFile(kSettings, record); });
        const QString appended = failureSummary([&] { appendToFile(kHistory, record); });
        const QString created = failureSummary([&] { appendToFile(kDictionary, record); });
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(appended, u"61 履歴.txt"_s);   // disk full
        QCOMPARE(box.read(kHistory), QByteArray("0123456789"));
        QCOMPARE(created, u"61 辞書.txt"_s);
        QCOMPARE(QDir(box.path()).entryList(QDir::Files).size(), 2);   // neither it nor a scratch copy
        QCOMPARE(replaced, u"61 設定.txt"_s);
        QCOMPARE(box.read(kSettings), QByteArray("old\r\n"));
    }

    void injectedFailuresLeaveOldOrNewBytes_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("expected");   // error number, 0 for success

        enum { FileReadOnly, FolderReadOnly, DiskFull, DiskFullPartWay, RenameFails };
        const struct {
            const char *name;
            int fault;
            int replace, append, empty, create;
        } plans[] = {
            {"file read-only", FileReadOnly, 70, 70, 70, 0},
            {"folder read-only", FolderReadOnly, 70, 0, 0, 70},
            {"disk full", DiskFull, 61, 61, 0, 61},
            {"disk full part-way", DiskFullPartWay, 61, 61, 0, 61},
            {"rename fails", RenameFails, 57, 0, 0, 0},
        };
        for (const auto &p : plans) {
            const std::pair<const char *, int> ops[] = {
                {"replace", p.replace}, {"append", p.append}, {"empty", p.empty}, {"create", p.create}};
            for (const auto &[op, expected] : ops)
                QTest::addRow("%s: %s", p.name, op) << QString::fromLatin1(op) << p.fault << expected;
        }
    }

    // Whatever fails, the file holds its old bytes or its new ones, never a
    // part, and no scratch copy is left beside it.
    void injectedFailuresLeaveOldOrNewBytes()
    {
        QFETCH(QString, operation);
        QFETCH(int, fault);
        QFETCH(int, expected);
        Sandbox box;
        box.write(kSettings, "60,0,\"2\"\r\n");
        box.write(kHistory, "old record\r\n");
        const QByteArray record = "new record\r\n";

        WriteFaults faults;
        faults.fileReadOnly = fault == 0;
        faults.folderReadOnly = fault == 1;
        faults.diskRoom = fault == 2 ? 0 : fault == 3 ? 4 : -1;
        faults.renameFails = fault == 4;

        const QString file = operation == u"replace"_s ? kSettings
                             : operation == u"create"_s ? kDictionary : kHistory;
        const QByteArray before = box.exists(file) ? box.read(file) : QByteArray("(none)");
        const QByteArray after = operation == u"replace"_s ? record
                                 : operation == u"empty"_s ? QByteArray()
                                 : operation == u"create"_s ? record : before + record;
        setWriteFaults(&faults);
        const auto error = failureOf([&] {
            if (operation == u"replace"_s)
                replaceFile(file, record);
            else if (operation == u"empty"_s)
                emptyFile(file);
            else
                appendToFile(file, record);
        });
        setWriteFaults(nullptr);

        QCOMPARE(error ? int(error->number()) : 0, expected);
        if (error) {
            QCOMPARE(error->file(), file);
            QVERIFY(!error->detail().isEmpty());
        }
        QCOMPARE(box.exists(file) ? box.read(file) : QByteArray("(none)"), expected ? before : after);
        const QStringList left = QDir(box.path()).entryList(QDir::Files);
        QCOMPARE(left.size(), 2 + (operation == u"create"_s && !expected));
    }
};

QTEST_GUILESS_MAIN(TestSeqFile)
#include "test_seqfile.moc"
