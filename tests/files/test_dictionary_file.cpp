// The dictionary file: entries by the field rules, the UTF-8 mark, the limit.

#include "files/dictionary_file.h"
#include "platform/runtime_error.h"
#include "raised.h"
#include "sandbox.h"

#include <QTest>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestDictionaryFile : public QObject {
    Q_OBJECT

private slots:
    void entriesFollowTheFieldRules_data();
    void entriesFollowTheFieldRules();
    void holdsUpTo32767Entries();
    void entry32768IsAnOverflowNamingTheFile();
    void missingFileIsNotFound();
};

// 一石二鳥, 四面楚歌, 温故知新 in code page 932.
static const QByteArray kIchiseki = QByteArray::fromHex("88ea90ce93f192b9");
static const QByteArray kShimen = QByteArray::fromHex("8e6c96ca915e89cc");
static const QByteArray kOnko = QByteArray::fromHex("89b78ccc926d9056");

void TestDictionaryFile::entriesFollowTheFieldRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");

    const QString ichiseki = QStringLiteral("一石二鳥");
    const QString shimen = QStringLiteral("四面楚歌");
    const QString onko = QStringLiteral("温故知新");

    QTest::newRow("three lines") << kIchiseki + "\r\n" + kShimen + "\r\n" + kOnko + "\r\n"
                                 << QStringList{ichiseki, shimen, onko};
    QTest::newRow("two on one line") << kIchiseki + "," + kShimen + "\r\n"
                                     << QStringList{ichiseki, shimen};
    QTest::newRow("quoted comma") << "\"" + kIchiseki + "," + kShimen + "\"\r\n"
                                  << QStringList{ichiseki + u',' + shimen};
    QTest::newRow("empty line in the middle") << kIchiseki + "\r\n\r\n" + kOnko + "\r\n"
                                              << QStringList{ichiseki, QString(), onko};
    QTest::newRow("last line without line end") << kIchiseki + "\r\n" + kOnko
                                                << QStringList{ichiseki, onko};
    QTest::newRow("duplicates stay") << kOnko + "\r\n" + kOnko + "\r\n" << QStringList{onko, onko};
    QTest::newRow("blanks around") << "  " + kIchiseki + " \t\r\n" << QStringList{ichiseki};
    QTest::newRow("short and long entries") << QByteArray::fromHex("88ea90ce0d0a88ea90ce93f192b988ea")
                                            << QStringList{QStringLiteral("一石"),
                                                           QStringLiteral("一石二鳥一")};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("utf-8 with mark")
        << QByteArray::fromHex("efbbbf" "e4b880e79fb3e4ba8ce9b3a5" "0d0a" "e6b8a9e69585e79fa5e696b0")
        << QStringList{ichiseki, onko};
    QTest::newRow("utf-8 mark alone") << QByteArray::fromHex("efbbbf") << QStringList();
    QTest::newRow("utf-8 without mark is code page 932")
        << QByteArray::fromHex("e4b880") << QStringList{QStringLiteral("\u8373\uFFFD")};
}

void TestDictionaryFile::entriesFollowTheFieldRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);

    Sandbox box;
    box.write(kDictionary, bytes);
    QCOMPARE(readDictionary(), entries);
}

static QByteArray linesOf(int count)
{
    QByteArray bytes;
    bytes.reserve(count * 10);
    for (int i = 0; i < count; ++i)
        bytes += (i % 2 ? kShimen : kIchiseki) + "\r\n";
    return bytes;
}

void TestDictionaryFile::holdsUpTo32767Entries()
{
    Sandbox box;
    box.write(kDictionary, linesOf(32766) + kOnko + "\r\n");
    const QStringList entries = readDictionary();
    QCOMPARE(entries.size(), 32767);
    QCOMPARE(entries.first(), QStringLiteral("一石二鳥"));
    QCOMPARE(entries.last(), QStringLiteral("温故知新"));
}

void TestDictionaryFile::entry32768IsAnOverflowNamingTheFile()
{
    Sandbox box;
    box.write(kDictionary, linesOf(32767) + kOnko);
    const auto failure = failureOf([] { readDictionary(); });
    QVERIFY(failure);
    QCOMPARE(failure->number(), ErrorNumber::Overflow);
    QCOMPARE(failure->file(), kDictionary);
}

void TestDictionaryFile::missingFileIsNotFound()
{
    Sandbox box;
    const auto failure = failureOf([] { readDictionary(); });
    QVERIFY(failure);
    QCOMPARE(failure->number(), ErrorNumber::FileNotFound);
    QCOMPARE(failure->file(), kDictionary);
}

QTEST_GUILESS_MAIN(TestDictionaryFile)
#include "test_dictionary_file.moc"
