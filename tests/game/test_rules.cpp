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
    void bagPositionCoversEveryItem();
    void clockCountsOnPastMidnight();
    void barWidthShrinksWithTheSecondsLeft_data();
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
    QTest::newRow("three, r=0.5") << 3 << 0.5f << 2;
    QTest::newRow("three, r=2/3") << 3 << 0.6667f << 3;
    QTest::newRow("8192, r<1 rounds up") << 8192 << almostOne << 8192;
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
    const int expected = ((1 << 24) / 97) / 5;
    for (int k = 1; k <= 5; ++k)
        QVERIFY2(std::abs(hits[k] - expected) <= 2, qPrintable(QString::number(hits[k])));
    QCOMPARE(hits[0], 0);
}

void TestRules::hideCountFollowsTheMode_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("count");
    QTest::newRow("easy") << "1:イージー" << 0.9f << 1;
    QTest::newRow("hard") << "3:ハード" << 0.0f << 3;
    QTest::newRow("random, r low") << "R:ランダム" << 0.0f << 0;
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

void TestRules::bagPositionCoversEveryItem()
{
    QCOMPARE(bagPosition(4, 0.25f), 1);
    QCOMPARE(bagPosition(4, std::nextafter(1.0f, 0.0f)), 3);
    QCOMPARE(bagPosition(2, std::nextafter(0.5f, 0.0f)), 0);
}

void TestRules::clockCountsOnPastMidnight()
{
    QCOMPARE(clockReading(36000.9, 36000), 36000);
    QCOMPARE(clockReading(86399.99, 86390), 86399);
    QCOMPARE(clockReading(0.2, 86390), 86400);
    QCOMPARE(clockReading(15.0, 86390), 86415);
}

void TestRules::barWidthShrinksWithTheSecondsLeft_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("play");
    QTest::addColumn<int>("width");
    QTest::newRow("full") << 60 << 60 << 8745;
    QTest::newRow("one third, rounded down") << 20 << 60 << 2914;
    QTest::newRow("none") << 0 << 60 << 0;
    QTest::newRow("late tick") << -3 << 60 << 0;
    QTest::newRow("play time shortened") << 50 << 10 << 43725;
}

void TestRules::barWidthShrinksWithTheSecondsLeft()
{
    QFETCH(int, left);
    QFETCH(int, play);
    QFETCH(int, width);
    QCOMPARE(barWidth(qint16(left), qint16(play), 8745), width);
}

QTEST_APPLESS_MAIN(TestRules)
#include "test_rules.moc"
