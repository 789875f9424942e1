// The comma-separated field reader, the record writer and the file writes,
// including their failures.

#include "runtime/seqfile.h"
#include "runtime/write_faults.h"
#include "raised.h"
#include "sandbox.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sumiraku;
using namespace sumiraku::testing;
using namespace Qt::StringLiterals;

class TestSeqFile : public QObject {
    Q_OBJECT

    enum Fault { None, FileReadOnly, FolderReadOnly, DiskFull, DiskFullPartWay, RenameFails, SizeLimit,
                 FolderInTheWay, NoSuchFolder, SyncFails, InPlacePartWay };

private slots:
    void readsFieldsLikeTheClassicInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("nothing") << QString() << QStringList();
        QTest::newRow("settings line") << u"60,1,\"2:ノーマル\"\r\n"_s << QStringList{"60", "1", u"2:ノーマル"_s};
        QTest::newRow("blanks") << u"  a b \t, \" c \" ,\u3000d"_s << QStringList{"a b", " c ", u"\u3000d"_s};
        QTest::newRow("text after closing quote") << u"\"a,b\"cd,e"_s << QStringList{"a,b", "e"};
        QTest::newRow("comma at line end, empty line, final line end") << u"a,\r\n\r\nb\r\n"_s
                                                                         << QStringList{"a", "", "", "b"};
        QTest::newRow("lone lf and cr") << u"a\nb\rc\n\rd"_s << QStringList{"a", "b", "c", "", "d"};
        QTest::newRow("unclosed quote") << u"\"ab,c\r\nd"_s << QStringList{"ab,c\r\nd"};
    }

    // Field by field, then one read past the end: the classic error 62, naming
    // the file. (The fuzz target checks what integer reads make of fields.)
    void readsFieldsLikeTheClassicInput()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        FieldReader reader(text, u"f"_s);
        QStringList read;
        while (!reader.atEnd())
            read << reader.readString();
        QCOMPARE(read, fields);
        const auto error = failureOf([&] { reader.readString(); });
        QVERIFY(error && error->number() == ErrorNumber::InputPastEnd && error->file() == u"f");
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

QTEST_GUILESS_MAIN(TestSeqFile)
#include "test_seqfile.moc"
