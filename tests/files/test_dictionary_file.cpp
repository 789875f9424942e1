// The dictionary file: entries by the field rules, the UTF-8 mark, the limit.

#include "files/dictionary_file.h"
#include "sandbox.h"

#include <QTest>

using namespace sumiraku;
using namespace sumiraku::testing;

// 一石二鳥 and 温故知新 in code page 932.
static const QByteArray kIchiseki = QByteArray::fromHex("88ea90ce93f192b9");
static const QByteArray kOnko = QByteArray::fromHex("89b78ccc926d9056");

class TestDictionaryFile : public QObject {
    Q_OBJECT

private slots:
    void entriesFollowTheFieldRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");

        const QString ichiseki = QStringLiteral("一石二鳥");
        const QString onko = QStringLiteral("温故知新");
        QTest::newRow("lines, a quoted comma, an empty line")
            << " " + kIchiseki + "\t\r\n\"" + kIchiseki + "," + kOnko + "\"\r\n\r\n" + kOnko
            << QStringList{ichiseki, ichiseki + u',' + onko, QString(), onko};
        QTest::newRow("utf-8 with mark")
            << QByteArray::fromHex("efbbbf" "e4b880e79fb3e4ba8ce9b3a5" "0d0a" "e6b8a9e69585e79fa5e696b0")
            << QStringList{ichiseki, onko};
        QTest::newRow("utf-8 without mark is code page 932")
            << QByteArray::fromHex("e4b880") << QStringList{QStringLiteral("\u8373\uFFFD")};
    }

    void entriesFollowTheFieldRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        Sandbox box;
        box.write(kDictionary, bytes);
        QCOMPARE(readDictionary(), entries);
    }
};

QTEST_GUILESS_MAIN(TestDictionaryFile)
#include "test_dictionary_file.moc"
