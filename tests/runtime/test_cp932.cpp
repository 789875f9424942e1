// Code page 932 conversion checked against byte pairs written out by hand, and
// every character once through both directions.

#include "runtime/cp932.h"

#include <QTest>

using namespace sumiraku;
using namespace Qt::StringLiterals;

enum Direction { Both, DecodeOnly, EncodeOnly };

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    void convertsKnownBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("direction");
        const auto row = [](const char *name, const char *hex, const QString &text, Direction d = Both) {
            QTest::newRow(name) << QByteArray::fromHex(hex) << text << int(d);
        };
        row("settings line", "36302c312c22323a836d815b837d838b220d0a", u"60,1,\"2:ノーマル\"\r\n"_s);
        row("byou", "9562", u"秒"_s);
        row("fullwidth tilde", "8160", u"\uFF5E"_s);
        row("nec roman one", "8754", u"\u2160"_s);
        row("because takes the jis code", "81e6", u"\u2235"_s);
        row("ibm kanji", "fa5c", u"\u7E8A"_s);
        row("nec selected ibm kanji", "ed40", u"\u7E8A"_s, DecodeOnly);
        row("halfwidth katakana", "b1df", u"ｱﾟ"_s);
        row("control bytes kept", "1a7f", u"\x1a\x7f"_s);
        row("lead byte at end", "4181", u"A\uFFFD"_s, DecodeOnly);
        row("lead byte before 7f", "817f", u"\uFFFD\x7f"_s, DecodeOnly);
        row("single bad bytes", "80a0fdff", u"\uFFFD\uFFFD\uFFFD\uFFFD"_s, DecodeOnly);
        row("unassigned pair then more", "85409562", u"\uFFFD秒"_s, DecodeOnly);
        row("wave dash lacks", "3f", u"\u301C"_s, EncodeOnly);
        row("surrogate pair is one mark", "88ea3f93f1", u"一😀二"_s, EncodeOnly);
        row("tag character is one mark", "88ea3f93f1", u"一\U000E0041二"_s, EncodeOnly);
        row("lone surrogates", "3f4195623f", QChar(0xD83D) + u"A秒"_s + QChar(0xDE00), EncodeOnly);
    }

    void convertsKnownBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, direction);
        if (direction != EncodeOnly)
            QCOMPARE(decodeCp932(bytes), text);
        if (direction != DecodeOnly)
            QCOMPARE(encodeCp932(text), bytes);
    }

    void everyEncodableCharacterReadsBackUnchanged()
    {
        int encodable = 0;
        for (char32_t u = 0x80; u <= 0xFFFF; ++u) {
            const QString c{QChar(char16_t(u))};
            const QByteArray bytes = encodeCp932(c);
            if (QChar::isSurrogate(u) || bytes == "?")
                continue;
            ++encodable;
            if (decodeCp932(bytes) != c)
                QFAIL(qPrintable(u"U+%1 reads back as something else"_s.arg(quint32(u), 4, 16)));
        }
        QVERIFY2(encodable > 7000, qPrintable(QString::number(encodable)));   // JIS X 0208 alone
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "test_cp932.moc"
