// 16-bit arithmetic, the two roundings, the leading-number rule and the
// display patterns.

#include "platform/numbers.h"
#include "raised.h"

#include <QTest>
#include <limits>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestNumbers : public QObject {
    Q_OBJECT

private slots:
    void add16StaysWithinSixteenBits_data();
    void add16StaysWithinSixteenBits();
    void roundToInt16RoundsHalvesToEven_data();
    void roundToInt16RoundsHalvesToEven();
    void leadingNumberReadsLikeTheClassicVal_data();
    void leadingNumberReadsLikeTheClassicVal();
    void leadingNumberOverflowsPastDoubleRange();
    void formatQuotientRoundsHalfAwayFromZero_data();
    void formatQuotientRoundsHalfAwayFromZero();
    void ratesAndSpeedsUseTheirPatterns_data();
    void ratesAndSpeedsUseTheirPatterns();
    void dividingByZeroIsAnOverflow();
    void datesAndTimesHaveFixedWidths_data();
    void datesAndTimesHaveFixedWidths();
};

void TestNumbers::add16StaysWithinSixteenBits_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("sum");   // ignored when an overflow is expected
    QTest::addColumn<bool>("overflows");

    QTest::newRow("small") << 20 << 5 << 25 << false;
    QTest::newRow("up to the top") << 32766 << 1 << 32767 << false;
    QTest::newRow("past the top") << 32767 << 1 << 0 << true;
    QTest::newRow("down to the bottom") << -32767 << -1 << -32768 << false;
    QTest::newRow("past the bottom") << -32768 << -1 << 0 << true;
}

void TestNumbers::add16StaysWithinSixteenBits()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, sum);
    QFETCH(bool, overflows);
    if (!overflows) {
        QCOMPARE(int(add16(qint16(a), qint16(b))), sum);
        QCOMPARE(int(checked16(qint64(a) + b)), sum);
        return;
    }
    for (const auto &error : {failureOf([&] { add16(qint16(a), qint16(b)); }),
                              failureOf([&] { checked16(qint64(a) + b); })}) {
        QVERIFY(error);
        QCOMPARE(error->number(), ErrorNumber::Overflow);
    }
}

void TestNumbers::roundToInt16RoundsHalvesToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::addColumn<bool>("overflows");

    QTest::newRow("0.5") << 0.5 << 0 << false;
    QTest::newRow("1.5") << 1.5 << 2 << false;
    QTest::newRow("2.5") << 2.5 << 2 << false;
    QTest::newRow("2.4999") << 2.4999 << 2 << false;
    QTest::newRow("-0.5") << -0.5 << 0 << false;
    QTest::newRow("-1.5") << -1.5 << -2 << false;
    QTest::newRow("-2.5") << -2.5 << -2 << false;
    QTest::newRow("bar width") << 9135.0 << 9135 << false;
    QTest::newRow("32767.4") << 32767.4 << 32767 << false;
    QTest::newRow("32767.5") << 32767.5 << 0 << true;
    QTest::newRow("-32768.5") << -32768.5 << -32768 << false;
    QTest::newRow("-32768.6") << -32768.6 << 0 << true;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0 << true;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0 << true;
}

void TestNumbers::roundToInt16RoundsHalvesToEven()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QFETCH(bool, overflows);
    if (overflows) {
        const auto error = failureOf([value] { roundToInt16(value); });
        QVERIFY(error);
        QCOMPARE(error->number(), ErrorNumber::Overflow);
    } else {
        QCOMPARE(int(roundToInt16(value)), rounded);
    }
}

void TestNumbers::leadingNumberReadsLikeTheClassicVal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("plain") << QStringLiteral("60") << 60.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("mode text") << QStringLiteral("2:ノーマル") << 2.0;
    QTest::newRow("random mode") << QStringLiteral("R:ランダム") << 0.0;
    QTest::newRow("leading blanks") << QStringLiteral(" \t\n 45") << 45.0;
    QTest::newRow("blanks inside") << QStringLiteral("1615 198th Street") << 1615198.0;
    QTest::newRow("full-width space stops") << QStringLiteral("1\u30002") << 1.0;
    QTest::newRow("minus") << QStringLiteral("-3") << -3.0;
    QTest::newRow("plus") << QStringLiteral("+4") << 4.0;
    QTest::newRow("blank after sign") << QStringLiteral("- 5") << -5.0;
    QTest::newRow("two signs") << QStringLiteral("--5") << 0.0;
    QTest::newRow("fraction") << QStringLiteral("3.5abc") << 3.5;
    QTest::newRow("point alone") << QStringLiteral(".") << 0.0;
    QTest::newRow("comma stops") << QStringLiteral("1,000") << 1.0;
    QTest::newRow("exponent e") << QStringLiteral("1e3") << 1000.0;
    QTest::newRow("exponent d") << QStringLiteral("1D2") << 100.0;
    QTest::newRow("negative exponent") << QStringLiteral("2.5E-1") << 0.25;
    QTest::newRow("exponent without digits") << QStringLiteral("7e+x") << 7.0;
    QTest::newRow("hex") << QStringLiteral("&H10") << 16.0;
    QTest::newRow("hex integer sign") << QStringLiteral("&HFFFF") << -1.0;
    QTest::newRow("hex long") << QStringLiteral("&H10000") << 65536.0;
    QTest::newRow("hex long sign") << QStringLiteral("&HFFFFFFFF") << -1.0;
    QTest::newRow("octal") << QStringLiteral("&O17") << 15.0;
    QTest::newRow("prefix without digits") << QStringLiteral("&H") << 0.0;
    QTest::newRow("unknown prefix") << QStringLiteral("&X1") << 0.0;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << 0.0;
    QTest::newRow("underflow") << QStringLiteral("1e-400") << 0.0;
}

void TestNumbers::leadingNumberReadsLikeTheClassicVal()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(text), value);
}

void TestNumbers::leadingNumberOverflowsPastDoubleRange()
{
    for (const QString &text : {QStringLiteral("1e400"), QStringLiteral("&H100000000")}) {
        const auto error = failureOf([&text] { leadingNumber(text); });
        QVERIFY2(error, qPrintable(text));
        QCOMPARE(error->number(), ErrorNumber::Overflow);
    }
}

void TestNumbers::formatQuotientRoundsHalfAwayFromZero_data()
{
    QTest::addColumn<qint64>("num");
    QTest::addColumn<qint64>("den");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");

    QTest::newRow("107/40") << qint64(107) << qint64(40) << 2 << QStringLiteral("2.68");
    QTest::newRow("79/30") << qint64(79) << qint64(30) << 2 << QStringLiteral("2.63");
    QTest::newRow("80/60") << qint64(80) << qint64(60) << 2 << QStringLiteral("1.33");
    QTest::newRow("625/100") << qint64(625) << qint64(100) << 1 << QStringLiteral("6.3");
    QTest::newRow("half up at 0 decimals") << qint64(5) << qint64(2) << 0 << QStringLiteral("3");
    QTest::newRow("below half") << qint64(1) << qint64(3) << 0 << QStringLiteral("0");
    QTest::newRow("integer digit kept") << qint64(1) << qint64(8) << 2 << QStringLiteral("0.13");
    QTest::newRow("carry through nines") << qint64(9995) << qint64(1000) << 2 << QStringLiteral("10.00");
    QTest::newRow("carry into integer") << qint64(999) << qint64(1000) << 2 << QStringLiteral("1.00");
    QTest::newRow("zero") << qint64(0) << qint64(7) << 2 << QStringLiteral("0.00");
    QTest::newRow("negative half") << qint64(-1) << qint64(2) << 0 << QStringLiteral("-1");
    QTest::newRow("negative rounding to zero") << qint64(-1) << qint64(1000) << 2 << QStringLiteral("0.00");
    QTest::newRow("large") << qint64(32767) << qint64(1) << 2 << QStringLiteral("32767.00");
    QTest::newRow("most negative")
        << std::numeric_limits<qint64>::min() << qint64(1) << 0
        << QStringLiteral("-9223372036854775808");
}

void TestNumbers::formatQuotientRoundsHalfAwayFromZero()
{
    QFETCH(qint64, num);
    QFETCH(qint64, den);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(formatQuotient(num, den, decimals), text);
}

void TestNumbers::ratesAndSpeedsUseTheirPatterns_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rate 1/16") << formatRate(1, 16) << QStringLiteral("6.3%");
    QTest::newRow("rate 3/4") << formatRate(3, 4) << QStringLiteral("75.0%");
    QTest::newRow("rate 20/25") << formatRate(20, 25) << QStringLiteral("80.0%");
    QTest::newRow("rate all right") << formatRate(1, 1) << QStringLiteral("100.0%");
    QTest::newRow("rate all wrong") << formatRate(0, 5) << QStringLiteral("0.0%");
    QTest::newRow("rate large") << formatRate(32767, 32767) << QStringLiteral("100.0%");
    QTest::newRow("speed 107/40") << formatPerSecond(107, 40) << QStringLiteral("2.68/秒");
    QTest::newRow("speed 79/30") << formatPerSecond(79, 30) << QStringLiteral("2.63/秒");
    QTest::newRow("speed 80/60") << formatPerSecond(80, 60) << QStringLiteral("1.33/秒");
    QTest::newRow("speed none typed") << formatPerSecond(0, 60) << QStringLiteral("0.00/秒");
}

void TestNumbers::ratesAndSpeedsUseTheirPatterns()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void TestNumbers::dividingByZeroIsAnOverflow()
{
    for (const auto &error : {failureOf([] { formatRate(0, 0); }),
                              failureOf([] { formatPerSecond(10, 0); })}) {
        QVERIFY(error);
        QCOMPARE(error->number(), ErrorNumber::Overflow);
    }
}

void TestNumbers::datesAndTimesHaveFixedWidths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("date") << formatDate(QDate(2026, 5, 6)) << QStringLiteral("2026/05/06");
    QTest::newRow("time evening") << formatTime(QTime(21, 3, 15)) << QStringLiteral("21:03:15");
    QTest::newRow("time morning") << formatTime(QTime(9, 5, 7)) << QStringLiteral("09:05:07");
}

void TestNumbers::datesAndTimesHaveFixedWidths()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
