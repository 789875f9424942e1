// Code page 932 conversion against bytes written out by hand. The fuzz targets'
// corpora hold every byte pair and every UTF-16 unit once, so the replay of
// those checks each against iconv and each character's way there and back.

#include "runtime/cp932.h"

#include <QTest>

using namespace sumiraku;
using namespace Qt::StringLiterals;

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    // Where code page 932 has two codes for a character, Windows writes the
    // first of them; what it lacks is one "?".
    void writesAsWindowsDoes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char *name, const QString &text, const char *hex) {
            QTest::newRow(name) << text << QByteArray::fromHex(hex);
        };
        row("settings line", u"60,1,\"2:ノーマル\"\r\n"_s, "36302c312c22323a836d815b837d838b220d0a");
        row("halfwidth katakana and control bytes", u"ｱﾟ\x1a\x7f"_s, "b1df1a7f");
        row("nec roman one", u"\u2160"_s, "8754");
        row("because takes the jis code", u"\u2235"_s, "81e6");
        row("ibm kanji takes the ibm code", u"\u7E8A"_s, "fa5c");
        row("yen sign and wave dash lack", u"\u00A5\u301C\uFF5E"_s, "3f3f8160");
        row("surrogate pair is one mark", u"一😀二"_s, "88ea3f93f1");
        row("tag character and lone surrogates", u"\U000E0041"_s + QChar(0xD83D) + u"A"_s + QChar(0xDE00), "3f3f413f");
    }

    void writesAsWindowsDoes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeCp932(text), bytes);
    }

    // One replacement for an unassigned pair, one for any other bad byte.
    void readsEachBadSpotAsOneReplacement()
    {
        QCOMPARE(decodeCp932("\x85\x40\x95\x62\x81\x7f\x80\xa0\xfd\x41\xed\x40\x81"),
                 u"\uFFFD秒\uFFFD\x7f\uFFFD\uFFFD\uFFFDA\u7E8A\uFFFD"_s);
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "test_cp932.moc"
