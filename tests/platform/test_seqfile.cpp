// The comma-separated field reader, the record writer and the file operations,
// including their failures.

#include "platform/seqfile.h"
#include "raised.h"
#include "sandbox.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestSeqFile : public QObject {
    Q_OBJECT

private slots:
    void readerSplitsFieldsLikeTheClassicInput_data();
    void readerSplitsFieldsLikeTheClassicInput();
    void readingPastTheEndNamesTheFile();
    void readIntegerTakesOnlyWholeNumbers_data();
    void readIntegerTakesOnlyWholeNumbers();
    void readIntegerNamesALongFieldShortened();
    void formatRecordQuotesTextsAndLeavesIntegersBare_data();
    void formatRecordQuotesTextsAndLeavesIntegersBare();
    void readFileBytesReturnsTheBytesUnchanged();
    void fileFailuresNameTheFileAndReason_data();
    void fileFailuresNameTheFileAndReason();
    void replaceFileReplacesTheWholeContent();
    void replaceFileKeepsTheOldFileWhenItCannotWrite();
    void appendToFileAddsAfterTheEndAndCreatesMissingFiles();
    void appendToFileCutsAPartialWriteBack();
    void emptyFileLeavesZeroBytes();
};

static QStringList readAll(const QString &text)
{
    FieldReader reader(text, QStringLiteral("x.txt"));
    QStringList fields;
    while (!reader.atEnd())
        fields << reader.readString();
    return fields;
}

void TestSeqFile::readerSplitsFieldsLikeTheClassicInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("nothing") << QString() << QStringList();
    QTest::newRow("one per line") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("comma") << QStringLiteral("a,b\r\n") << QStringList{"a", "b"};
    QTest::newRow("quoted comma") << QStringLiteral("\"a,b\",c\r\n") << QStringList{"a,b", "c"};
    QTest::newRow("blanks around unquoted")
        << QStringLiteral("  a b \t,\tc  \r\n") << QStringList{"a b", "c"};
    QTest::newRow("quoted keeps blanks") << QStringLiteral("  \" a \"  ,b") << QStringList{" a ", "b"};
    QTest::newRow("text after closing quote dropped")
        << QStringLiteral("\"ab\"cd,e\r\n") << QStringList{"ab", "e"};
    QTest::newRow("empty quoted") << QStringLiteral("\"\",x") << QStringList{"", "x"};
    QTest::newRow("empty line") << QStringLiteral("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("blank line") << QStringLiteral("  \r\nx") << QStringList{"", "x"};
    QTest::newRow("last line without line end") << QStringLiteral("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("final line end makes no field") << QStringLiteral("a\r\n") << QStringList{"a"};
    QTest::newRow("comma before line end") << QStringLiteral("a,\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("lone lf") << QStringLiteral("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("lone cr") << QStringLiteral("a\rb") << QStringList{"a", "b"};
    QTest::newRow("lf cr is two ends") << QStringLiteral("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("quote spans line ends")
        << QStringLiteral("\"a\r\nb\",c") << QStringList{"a\r\nb", "c"};
    QTest::newRow("unclosed quote runs to the end")
        << QStringLiteral("\"ab,c\r\nd") << QStringList{"ab,c\r\nd"};
    QTest::newRow("quote inside unquoted field stays")
        << QStringLiteral("a\"b,c") << QStringList{"a\"b", "c"};
    QTest::newRow("full-width space is not a blank")
        << QStringLiteral("\u3000四字\u3000\r\n") << QStringList{QStringLiteral("\u3000四字\u3000")};
    QTest::newRow("settings line")
        << QStringLiteral("60,1,\"2:ノーマル\"\r\n")
        << QStringList{"60", "1", QStringLiteral("2:ノーマル")};
}

void TestSeqFile::readerSplitsFieldsLikeTheClassicInput()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QCOMPARE(readAll(text), fields);
}

void TestSeqFile::readingPastTheEndNamesTheFile()
{
    FieldReader reader(QStringLiteral("a\r\n"), QStringLiteral("設定.txt"));
    QCOMPARE(reader.readString(), QStringLiteral("a"));
    QVERIFY(reader.atEnd());
    const auto error = failureOf([&reader] { reader.readString(); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::InputPastEnd);
    QCOMPARE(error->file(), QStringLiteral("設定.txt"));
}

void TestSeqFile::readIntegerTakesOnlyWholeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("error");   // 0 when the field is read

    QTest::newRow("plain") << QStringLiteral("60") << 60 << 0;
    QTest::newRow("plus sign") << QStringLiteral("+5") << 5 << 0;
    QTest::newRow("leading zeros") << QStringLiteral("007") << 7 << 0;
    QTest::newRow("blanks") << QStringLiteral("  12  ") << 12 << 0;
    QTest::newRow("quoted") << QStringLiteral("\" 12 \"") << 12 << 0;
    QTest::newRow("many leading zeros") << QStringLiteral("0000000000000000000042") << 42 << 0;
    QTest::newRow("top") << QStringLiteral("32767") << 32767 << 0;
    QTest::newRow("bottom") << QStringLiteral("-32768") << -32768 << 0;
    QTest::newRow("past the top") << QStringLiteral("32768") << 0 << int(ErrorNumber::Overflow);
    QTest::newRow("past the bottom") << QStringLiteral("-32769") << 0 << int(ErrorNumber::Overflow);
    QTest::newRow("huge") << QStringLiteral("99999999999999999999") << 0 << int(ErrorNumber::Overflow);
    QTest::newRow("word") << QStringLiteral("abc") << 0 << int(ErrorNumber::TypeMismatch);
    QTest::newRow("empty") << QString() << 0 << int(ErrorNumber::TypeMismatch);
    QTest::newRow("sign alone") << QStringLiteral("-") << 0 << int(ErrorNumber::TypeMismatch);
    QTest::newRow("blank after sign") << QStringLiteral("- 5") << 0 << int(ErrorNumber::TypeMismatch);
    QTest::newRow("fraction") << QStringLiteral("12.5") << 0 << int(ErrorNumber::TypeMismatch);
    QTest::newRow("exponent") << QStringLiteral("1e3") << 0 << int(ErrorNumber::TypeMismatch);
    QTest::newRow("trailing letters") << QStringLiteral("12abc") << 0 << int(ErrorNumber::TypeMismatch);
    QTest::newRow("full-width digits") << QStringLiteral("１２") << 0 << int(ErrorNumber::TypeMismatch);
}

void TestSeqFile::readIntegerTakesOnlyWholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(int, error);

    FieldReader reader(text + QStringLiteral(",next"), QStringLiteral("履歴.txt"));
    try {
        QCOMPARE(int(reader.readInteger()), value);
        QCOMPARE(error, 0);
    } catch (const RuntimeError &e) {
        QCOMPARE(int(e.number()), error);
        QCOMPARE(e.file(), QStringLiteral("履歴.txt"));
        const QString shown = text.trimmed().remove(u'"').trimmed();
        QVERIFY2(e.detail().contains(shown), qPrintable(e.detail()));
    }
    // The field is consumed either way.
    QCOMPARE(reader.readString(), QStringLiteral("next"));
}

void TestSeqFile::readIntegerNamesALongFieldShortened()
{
    const QString field(500, u'x');
    FieldReader reader(field, QStringLiteral("履歴.txt"));
    const auto error = failureOf([&reader] { reader.readInteger(); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::TypeMismatch);
    QVERIFY(error->detail().contains(QString(40, u'x')));
    QVERIFY2(error->detail().size() < 80, qPrintable(error->detail()));
}

void TestSeqFile::formatRecordQuotesTextsAndLeavesIntegersBare_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("expected");

    QTest::newRow("settings")
        << formatRecord({qint32(60), qint32(1), QStringLiteral("2:ノーマル")})
        << QStringLiteral("60,1,\"2:ノーマル\"\r\n");
    QTest::newRow("negative and empty")
        << formatRecord({qint32(-5), QString()}) << QStringLiteral("-5,\"\"\r\n");
    QTest::newRow("quote not escaped")
        << formatRecord({QStringLiteral("a\"b")}) << QStringLiteral("\"a\"b\"\r\n");
    QTest::newRow("no fields") << formatRecord({}) << QStringLiteral("\r\n");
}

void TestSeqFile::formatRecordQuotesTextsAndLeavesIntegersBare()
{
    QFETCH(QString, record);
    QFETCH(QString, expected);
    QCOMPARE(record, expected);
}

void TestSeqFile::readFileBytesReturnsTheBytesUnchanged()
{
    Sandbox box;
    const QByteArray bytes = QByteArray::fromHex("88ea1a0d0a0a0d00ff");
    box.write(QStringLiteral("辞書.txt"), bytes);
    QCOMPARE(readFileBytes(QStringLiteral("辞書.txt")), bytes);
    box.write(QStringLiteral("empty.txt"), QByteArray());
    QCOMPARE(readFileBytes(QStringLiteral("empty.txt")), QByteArray());
}

// Root ignores permission bits, so the failures are made with a folder where
// the file should be and with a file where a folder should be.
void TestSeqFile::fileFailuresNameTheFileAndReason_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");

    const QString missing = QStringLiteral("無い.txt");
    const QString folder = QStringLiteral("folder");
    const QString underFile = QStringLiteral("plain.txt/x.txt");
    const QString underMissing = QStringLiteral("nowhere/x.txt");
    const int notFound = int(ErrorNumber::FileNotFound);
    const int pathAccess = int(ErrorNumber::PathFileAccess);

    QTest::newRow("read missing") << "read" << missing << notFound;
    QTest::newRow("read folder") << "read" << folder << pathAccess;
    QTest::newRow("read under a file") << "read" << underFile << pathAccess;
    QTest::newRow("replace folder") << "replace" << folder << pathAccess;
    QTest::newRow("replace under a file") << "replace" << underFile << pathAccess;
    QTest::newRow("replace under missing folder") << "replace" << underMissing << pathAccess;
    QTest::newRow("append folder") << "append" << folder << pathAccess;
    QTest::newRow("append under a file") << "append" << underFile << pathAccess;
    QTest::newRow("empty folder") << "empty" << folder << pathAccess;
    QTest::newRow("empty under a file") << "empty" << underFile << pathAccess;
}

void TestSeqFile::fileFailuresNameTheFileAndReason()
{
    QFETCH(QString, operation);
    QFETCH(QString, name);
    QFETCH(int, error);

    Sandbox box;
    QVERIFY(QDir(box.path()).mkdir(QStringLiteral("folder")));
    box.write(QStringLiteral("plain.txt"), "keep");
    const QByteArray bytes("1,2\r\n");
    const auto failure = failureOf([&] {
        if (operation == u"read")
            readFileBytes(name);
        else if (operation == u"replace")
            replaceFile(name, bytes);
        else if (operation == u"append")
            appendToFile(name, bytes);
        else
            emptyFile(name);
    });
    QVERIFY(failure);
    QCOMPARE(int(failure->number()), error);
    QCOMPARE(failure->file(), name);
    QVERIFY2(!failure->detail().isEmpty(), "no reason given");
    QVERIFY(failure->message().contains(name));
    QVERIFY(QFileInfo(box.path() + QStringLiteral("/folder")).isDir());
    QCOMPARE(box.read(QStringLiteral("plain.txt")), QByteArray("keep"));
    QCOMPARE(QDir(box.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 2);
}

void TestSeqFile::replaceFileReplacesTheWholeContent()
{
    Sandbox box;
    replaceFile(QStringLiteral("設定.txt"), "60,1,\"x\"\r\n");
    QCOMPARE(box.read(QStringLiteral("設定.txt")), QByteArray("60,1,\"x\"\r\n"));
    replaceFile(QStringLiteral("設定.txt"), "5,0\r\n");
    QCOMPARE(box.read(QStringLiteral("設定.txt")), QByteArray("5,0\r\n"));
    QCOMPARE(QDir(box.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{QStringLiteral("設定.txt")});
}

void TestSeqFile::replaceFileKeepsTheOldFileWhenItCannotWrite()
{
    if (geteuid() == 0)
        QSKIP("root writes into read-only files and folders");
    Sandbox box;
    const QString name = QStringLiteral("設定.txt");
    const QString path = box.path() + u'/' + name;
    const auto rwx = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    box.write(name, "old\r\n");

    QFile::setPermissions(box.path(), QFile::ReadOwner | QFile::ExeOwner);
    const auto inReadOnlyFolder = failureOf([&name] { replaceFile(name, "new\r\n"); });
    QFile::setPermissions(box.path(), rwx);
    QFile::setPermissions(path, QFile::ReadOwner);
    const auto readOnlyFile = failureOf([&name] { replaceFile(name, "new\r\n"); });
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    for (const auto &error : {inReadOnlyFolder, readOnlyFile}) {
        QVERIFY(error);
        QCOMPARE(error->number(), ErrorNumber::PermissionDenied);
        QCOMPARE(error->file(), name);
    }
    QCOMPARE(box.read(name), QByteArray("old\r\n"));
    QCOMPARE(QDir(box.path()).entryList(QDir::Files), QStringList{name});
}

void TestSeqFile::appendToFileAddsAfterTheEndAndCreatesMissingFiles()
{
    Sandbox box;
    appendToFile(QStringLiteral("履歴.txt"), "a\r\n");
    QCOMPARE(box.read(QStringLiteral("履歴.txt")), QByteArray("a\r\n"));
    appendToFile(QStringLiteral("履歴.txt"), "b\r\n");
    QCOMPARE(box.read(QStringLiteral("履歴.txt")), QByteArray("a\r\nb\r\n"));
}

// A file size limit makes the system take part of the write and refuse the rest.
void TestSeqFile::appendToFileCutsAPartialWriteBack()
{
    Sandbox box;
    box.write(QStringLiteral("履歴.txt"), "0123456789");
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 16;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);

    const QByteArray record(20, 'r');
    const auto existing = failureOf([&] { appendToFile(QStringLiteral("履歴.txt"), record); });
    const auto created = failureOf([&] { appendToFile(QStringLiteral("new.txt"), record); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(existing && created);
    QCOMPARE(existing->number(), ErrorNumber::DiskFull);
    QCOMPARE(box.read(QStringLiteral("履歴.txt")), QByteArray("0123456789"));
    QCOMPARE(created->number(), ErrorNumber::DiskFull);
    QVERIFY(!box.exists(QStringLiteral("new.txt")));
}

void TestSeqFile::emptyFileLeavesZeroBytes()
{
    Sandbox box;
    box.write(QStringLiteral("履歴.txt"), "a\r\nb\r\n");
    emptyFile(QStringLiteral("履歴.txt"));
    QCOMPARE(box.read(QStringLiteral("履歴.txt")), QByteArray(""));
    emptyFile(QStringLiteral("new.txt"));
    QVERIFY(box.exists(QStringLiteral("new.txt")));
    QCOMPARE(box.read(QStringLiteral("new.txt")), QByteArray(""));
}

QTEST_GUILESS_MAIN(TestSeqFile)
#include "test_seqfile.moc"
