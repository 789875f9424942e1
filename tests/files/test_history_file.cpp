// The history file: record bytes, appending, emptying and the startup reader
// with its failures.

#include "files/history_file.h"
#include "platform/runtime_error.h"
#include "raised.h"
#include "sandbox.h"

#include <QTest>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestHistoryFile : public QObject {
    Q_OBJECT

private slots:
    void recordsAreWrittenAsNineFields_data();
    void recordsAreWrittenAsNineFields();
    void questionsThatAreNoNumberAreRefused();
    void appendingAddsWholeRecordsAndCreatesTheFile();
    void emptyingLeavesAnEmptyFile();
    void recordsAreReadInFileOrder_data();
    void recordsAreReadInFileOrder();
    void unreadableRecordsNameTheFile_data();
    void unreadableRecordsNameTheFile();
    void the32767thRecordOverflowsTheCounter();
};

static HistoryRecord example()
{
    return {QStringLiteral("2026/05/06"), QStringLiteral("21:03:15"), QStringLiteral("25"),
            20, 5, QStringLiteral("80.0%"), QStringLiteral("1.33/秒"), QStringLiteral("60秒"),
            QStringLiteral("2")};
}

// "2026/05/06","21:03:15",25,20,5,"80.0%","1.33/秒","60秒","2" CR LF
static const QByteArray kExampleBytes = QByteArray::fromHex(
    "22323032362f30352f3036222c" "2232313a30333a3135222c" "32352c32302c352c"
    "2238302e3025222c" "22312e33332f9562222c" "2236309562222c" "2232220d0a");

static QStringList fieldsOf(const HistoryRecord &r)
{
    return {r.date, r.time, r.questions, QString::number(r.ok), QString::number(r.ng),
            r.rate, r.perSecond, r.length, r.mode};
}

void TestHistoryFile::recordsAreWrittenAsNineFields_data()
{
    QTest::addColumn<QStringList>("fields");   // of the record given
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("example") << fieldsOf(example()) << kExampleBytes;
    QTest::newRow("empty mode, only misses")
        << QStringList{"2026/01/02", "03:04:05", "3", "0", "3", "0.0%", "0.00/秒", "10秒", ""}
        << QByteArray::fromHex("22323032362f30312f3032222c" "2230333a30343a3035222c"
                               "332c302c332c" "22302e3025222c" "22302e30302f9562222c"
                               "2231309562222c" "22220d0a");
}

static HistoryRecord recordOf(const QStringList &f)
{
    return {f[0], f[1], f[2], qint16(f[3].toInt()), qint16(f[4].toInt()), f[5], f[6], f[7], f[8]};
}

void TestHistoryFile::recordsAreWrittenAsNineFields()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, bytes);
    QCOMPARE(historyRecordBytes(recordOf(fields)), bytes);
}

void TestHistoryFile::questionsThatAreNoNumberAreRefused()
{
    HistoryRecord record = example();
    record.questions = QStringLiteral("2,5");
    const auto failure = failureOf([&record] { historyRecordBytes(record); });
    QVERIFY(failure);
    QCOMPARE(failure->number(), ErrorNumber::TypeMismatch);
    QVERIFY(failure->detail().contains(u"2,5"));
}

void TestHistoryFile::appendingAddsWholeRecordsAndCreatesTheFile()
{
    Sandbox box;
    appendHistory(example());
    QCOMPARE(box.read(kHistory), kExampleBytes);
    appendHistory(example());
    QCOMPARE(box.read(kHistory), kExampleBytes + kExampleBytes);
}

void TestHistoryFile::emptyingLeavesAnEmptyFile()
{
    Sandbox box;
    box.write(kHistory, kExampleBytes);
    emptyHistory();
    QVERIFY(box.exists(kHistory));
    QCOMPARE(box.read(kHistory), QByteArray(""));
    QVERIFY(readHistory().empty());
}

void TestHistoryFile::recordsAreReadInFileOrder_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QStringList>>("records");

    const QStringList first = fieldsOf(example());
    const QStringList second{"2026/05/07", "08:00:00", "007", "7", "0", "100.0%", "1.00/秒",
                             "30秒", "R"};
    const QByteArray secondBytes("\"2026/05/07\",\"08:00:00\",007,007,0,\"100.0%\",\"1.00/\x95\x62\","
                                 "\"30\x95\x62\",\"R\"\r\n");

    QTest::newRow("empty file") << QByteArray() << QList<QStringList>();
    QTest::newRow("one record") << kExampleBytes << QList<QStringList>{first};
    QTest::newRow("two records, stored zeros kept in field 3 only")
        << kExampleBytes + secondBytes << QList<QStringList>{first, second};
    QTest::newRow("last record without line end")
        << kExampleBytes + secondBytes.chopped(2) << QList<QStringList>{first, second};
    QTest::newRow("record split across lines")
        << QByteArray("\"d\",\"t\",1\r\n1,0,\"r\",\"p\"\r\n\"l\",\"m\"\r\n")
        << QList<QStringList>{{"d", "t", "1", "1", "0", "r", "p", "l", "m"}};
}

void TestHistoryFile::recordsAreReadInFileOrder()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QStringList>, records);

    Sandbox box;
    box.write(kHistory, bytes);
    QList<QStringList> read;
    for (const HistoryRecord &r : readHistory())
        read << fieldsOf(r);
    QCOMPARE(read, records);
}

void TestHistoryFile::unreadableRecordsNameTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("detail");   // a part of the error's detail

    QTest::newRow("cut short") << kExampleBytes + "\"2026/05/07\",\"08:00:00\",3,3\r\n"
                               << int(ErrorNumber::InputPastEnd) << QString();
    QTest::newRow("field 4 a word") << QByteArray("\"d\",\"t\",1,one,0,\"r\",\"p\",\"l\",\"m\"\r\n")
                                    << int(ErrorNumber::TypeMismatch) << QStringLiteral("one");
    QTest::newRow("field 5 past 16 bits")
        << QByteArray("\"d\",\"t\",1,1,40000,\"r\",\"p\",\"l\",\"m\"\r\n")
        << int(ErrorNumber::Overflow) << QStringLiteral("40000");
}

void TestHistoryFile::unreadableRecordsNameTheFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QFETCH(QString, detail);

    Sandbox box;
    box.write(kHistory, bytes);
    const auto failure = failureOf([] { readHistory(); });
    QVERIFY(failure);
    QCOMPARE(int(failure->number()), error);
    QCOMPARE(failure->file(), kHistory);
    QVERIFY2(failure->detail().contains(detail), qPrintable(failure->detail()));
}

void TestHistoryFile::the32767thRecordOverflowsTheCounter()
{
    Sandbox box;
    QByteArray bytes;
    bytes.reserve(32767 * kExampleBytes.size());
    for (int i = 0; i < 32766; ++i)
        bytes += kExampleBytes;
    box.write(kHistory, bytes);
    QCOMPARE(readHistory().size(), size_t(32766));

    box.write(kHistory, bytes + kExampleBytes);
    const auto failure = failureOf([] { readHistory(); });
    QVERIFY(failure);
    QCOMPARE(failure->number(), ErrorNumber::Overflow);
    QCOMPARE(failure->file(), kHistory);
}

QTEST_GUILESS_MAIN(TestHistoryFile)
#include "test_history_file.moc"
