// The pure rules of a game: the draw, the hidden-cell count, the clock.

#include "game/rules.h"

#include <QTest>
#include <cmath>

using namespace sumiraku;

class TestRules : public QObject {
    Q_OBJECT

private slots:
    void drawIndexStaysWithinTheDictionary_data();
    void drawIndexStaysWithinTheDictionary();
    void drawIsUniformOverEntries();
    void hideCountFollowsTheMode_data();
    void hideCountFollowsTheMode();
    void bagAndClockReachTheirEnds();
    void barWidthShrinksWithTheSecondsLeft();
};

void TestRules::drawIndexStaysWithinTheDictionary_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("index");
    const float almostOne = std::nextafter(1.0f, 0.0f);
    QTest::newRow("one entry, r=0") << 1 << 0.0f << 1;
    // 1 * (1 - 2^-24) + 1 rounds to 2 in single precision: past the end.
    QTest::newRow("one entry, r<1 rounds up") << 1 << almostOne << 1;
    QTest::newRow("three, r=2/3") << 3 << 0.6667f << 3;
    QTest::newRow("largest, r<1") << 32767 << almostOne << 32767;
}

void TestRules::drawIndexStaysWithinTheDictionary()
{
    QFETCH(int, count);
    QFETCH(float, r);
    QFETCH(int, index);
    QCOMPARE(int(drawIndex(qint16(count), r)), index);
}

void TestRules::drawIsUniformOverEntries()
{
    // Every 24-bit value of r, bucketed: each of 5 entries gets the same share.
    int hits[6] = {};
    for (int i = 0; i < (1 << 24); i += 97)
        ++hits[drawIndex(5, float(i) / float(1 << 24))];
    QCOMPARE(hits[0], 0);
    for (int k = 1; k <= 5; ++k)
        QVERIFY(std::abs(hits[k] - ((1 << 24) / 97) / 5) <= 2);
}

void TestRules::hideCountFollowsTheMode_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("count");
    QTest::newRow("easy") << "1:イージー" << 0.9f << 1;
    QTest::newRow("random, r=0.5") << "R:ランダム" << 0.5f << 2;
    QTest::newRow("random, r<1 never four") << "R:ランダム" << std::nextafter(1.0f, 0.0f) << 3;
    QTest::newRow("typed above three") << "9:むずかしい" << 0.0f << 3;
    QTest::newRow("typed negative") << "-2:" << 0.0f << 0;
    QTest::newRow("half to even, 2.5") << "2.5" << 0.0f << 2;
    QTest::newRow("no number") << "S:指定" << 0.0f << 0;
}

void TestRules::hideCountFollowsTheMode()
{
    QFETCH(QString, mode);
    QFETCH(float, r);
    QFETCH(int, count);
    QCOMPARE(int(hideCountFor(mode, r)), count);
}

void TestRules::bagAndClockReachTheirEnds()
{
    QCOMPARE(bagPosition(4, 0.25f), 1);
    QCOMPARE(bagPosition(4, std::nextafter(1.0f, 0.0f)), 3);
    QCOMPARE(bagPosition(2, std::nextafter(0.5f, 0.0f)), 0);
    // The clock counts on past midnight.
    QCOMPARE(clockReading(86399.99, 86390), 86399);
    QCOMPARE(clockReading(0.2, 86390), 86400);
    QCOMPARE(clockReading(15.0, 86390), 86415);
}

void TestRules::barWidthShrinksWithTheSecondsLeft()
{
    QCOMPARE(barWidth(60, 60, 8745), 8745);
    QCOMPARE(barWidth(20, 60, 8745), 2914);    // one third, rounded down
    QCOMPARE(barWidth(-3, 60, 8745), 0);       // a late tick
    QCOMPARE(barWidth(50, 10, 8745), 43725);   // play time shortened in play
}

QTEST_APPLESS_MAIN(TestRules)
#include "test_rules.moc"
