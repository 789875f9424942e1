// Code page 932 conversion checked against byte pairs written out by hand.

#include "platform/cp932.h"

#include <QTest>
#include <thread>
#include <vector>

using namespace sumiraku;

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    void decodesKnownBytes_data();
    void decodesKnownBytes();
    void encodesKnownCharacters_data();
    void encodesKnownCharacters();
    void everyEncodableCharacterReadsBackUnchanged();
    void everyValidPairDecodesToOneCharacterThatEncodesBack();
    void convertsTheSameOnSeveralThreadsAtOnce();
};

static QByteArray hex(const char *digits)
{
    return QByteArray::fromHex(digits);
}

void TestCp932::decodesKnownBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii") << hex("3630 2c31") << QStringLiteral("60,1");
    QTest::newRow("byou") << hex("9562") << QStringLiteral("秒");
    QTest::newRow("fullwidth tilde") << hex("8160") << QString(QChar(0xFF5E));
    QTest::newRow("double vertical line") << hex("8161") << QString(QChar(0x2225));
    QTest::newRow("fullwidth minus") << hex("817c") << QString(QChar(0xFF0D));
    QTest::newRow("horizontal bar") << hex("815c") << QString(QChar(0x2015));
    QTest::newRow("fullwidth backslash") << hex("815f") << QString(QChar(0xFF3C));
    QTest::newRow("fullwidth not") << hex("81ca") << QString(QChar(0xFFE2));
    QTest::newRow("nec row 13 circled one") << hex("8740") << QString(QChar(0x2460));
    QTest::newRow("ibm extension") << hex("fa5c") << QString(QChar(0x7E8A));
    QTest::newRow("nec selected ibm extension") << hex("ed40") << QString(QChar(0x7E8A));
    QTest::newRow("user defined area") << hex("f040") << QString(QChar(0xE000));
    QTest::newRow("halfwidth katakana") << hex("b1df") << QStringLiteral("ｱﾟ");
    QTest::newRow("backslash and tilde stay ascii") << hex("5c7e") << QStringLiteral("\\~");
    QTest::newRow("control bytes kept")
        << hex("1a1c7f") << QString::fromLatin1("\x1a\x1c\x7f");
    QTest::newRow("idiom line") << hex("88ea90ce93f192b90d0a") << QStringLiteral("一石二鳥\r\n");
    QTest::newRow("lead byte at end") << hex("4181") << QStringLiteral("A\uFFFD");
    QTest::newRow("lead byte before space") << hex("812041") << QStringLiteral("\uFFFD A");
    QTest::newRow("lead byte before 7f") << hex("817f") << QStringLiteral("\uFFFD\x7f");
    QTest::newRow("a0") << hex("a0") << QStringLiteral("\uFFFD");
    QTest::newRow("80") << hex("80") << QStringLiteral("\uFFFD");
    QTest::newRow("fd fe ff") << hex("fdfeff") << QStringLiteral("\uFFFD\uFFFD\uFFFD");
    QTest::newRow("unassigned pair is one replacement")
        << hex("85409562") << QStringLiteral("\uFFFD秒");
    QTest::newRow("rest survives a bad byte")
        << hex("fd956241fd0d0a") << QStringLiteral("\uFFFD秒A\uFFFD\r\n");
}

void TestCp932::decodesKnownBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeCp932(bytes), text);
}

void TestCp932::encodesKnownCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("settings line")
        << QStringLiteral("60,1,\"2:ノーマル\"\r\n") << hex("36302c312c22323a836d815b837d838b220d0a");
    QTest::newRow("byou") << QStringLiteral("秒") << hex("9562");
    QTest::newRow("fullwidth tilde") << QString(QChar(0xFF5E)) << hex("8160");
    QTest::newRow("fullwidth not") << QString(QChar(0xFFE2)) << hex("81ca");
    QTest::newRow("because takes the jis code") << QString(QChar(0x2235)) << hex("81e6");
    QTest::newRow("roman one takes the nec code") << QString(QChar(0x2160)) << hex("8754");
    QTest::newRow("small roman one takes the ibm code") << QString(QChar(0x2170)) << hex("fa40");
    QTest::newRow("ibm kanji takes the ibm code") << QString(QChar(0x7E8A)) << hex("fa5c");
    QTest::newRow("halfwidth katakana") << QStringLiteral("ｱ") << hex("b1");
    QTest::newRow("control bytes kept") << QString::fromLatin1("\x1a\x7f") << hex("1a7f");
    QTest::newRow("euro lacks") << QStringLiteral("a€b") << QByteArray("a?b");
    QTest::newRow("wave dash lacks") << QString(QChar(0x301C)) << QByteArray("?");
    QTest::newRow("yen sign lacks") << QString(QChar(0x00A5)) << QByteArray("?");
    QTest::newRow("minus sign lacks") << QString(QChar(0x2212)) << QByteArray("?");
    QTest::newRow("accented latin lacks") << QStringLiteral("é") << QByteArray("?");
    QTest::newRow("surrogate pair is one question mark")
        << QStringLiteral("一😀二") << hex("88ea3f93f1");
    QTest::newRow("lone high surrogate")
        << (QString(QChar(0xD83D)) + u'A') << QByteArray("?A");
    QTest::newRow("lone high surrogate at end")
        << (QStringLiteral("秒") + QChar(0xD83D)) << hex("95623f");
    QTest::newRow("lone low surrogate")
        << (QStringLiteral("秒") + QChar(0xDE00) + QStringLiteral("秒")) << hex("95623f9562");
}

void TestCp932::encodesKnownCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeCp932(text), bytes);
}

void TestCp932::everyEncodableCharacterReadsBackUnchanged()
{
    int encodable = 0;
    for (char32_t u = 0x80; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        const QString c{QChar(char16_t(u))};
        const QByteArray bytes = encodeCp932(c);
        if (bytes == "?")
            continue;
        ++encodable;
        if (decodeCp932(bytes) != c)
            QFAIL(qPrintable(QStringLiteral("U+%1 → %2 reads back as something else")
                                 .arg(quint32(u), 4, 16, QChar(u'0'))
                                 .arg(QString::fromLatin1(bytes.toHex()))));
    }
    // JIS X 0208 alone has several thousand characters.
    QVERIFY2(encodable > 7000, qPrintable(QString::number(encodable)));
}

void TestCp932::everyValidPairDecodesToOneCharacterThatEncodesBack()
{
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const char pair[] = {char(lead), char(trail)};
            const QString c = decodeCp932(QByteArrayView(pair, 2));
            QCOMPARE(c.size(), 1);
            if (c[0] == QChar(0xFFFD))
                continue;
            // Duplicated codes (NEC and IBM rows) may encode to the other copy.
            QCOMPARE(decodeCp932(encodeCp932(c)), c);
        }
    }
}

void TestCp932::convertsTheSameOnSeveralThreadsAtOnce()
{
    QByteArray bytes;
    QString text;
    for (int i = 0; i < 2000; ++i) {
        bytes += hex("88ea90ce93f192b90d0a");
        text += QStringLiteral("一石二鳥\r\n");
    }
    struct Result {
        QString decoded;
        QByteArray encoded;
    };
    std::vector<Result> results(4);
    std::vector<std::thread> threads;
    for (Result &result : results) {
        threads.emplace_back([&bytes, &text, &result] {
            for (int round = 0; round < 20; ++round) {
                result.decoded = decodeCp932(bytes);
                result.encoded = encodeCp932(text);
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    for (const Result &result : results) {
        QCOMPARE(result.decoded, text);
        QCOMPARE(result.encoded, bytes);
    }
}

QTEST_GUILESS_MAIN(TestCp932)
#include "test_cp932.moc"
