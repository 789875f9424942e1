// The rules of a game alone, as free functions; the window's scripts check
// them as the window applies them.

#include "game/rules.h"

#include <QTest>
#include <array>
#include <cmath>

using namespace sumiraku;

namespace {

const float kBelowOne = std::nextafter(1.0f, 0.0f);

} // namespace

class TestRules : public QObject {
    Q_OBJECT

private slots:
    // The rules of a game that need no window, each at the edge where a slip
    // shows: single-precision draws close to 1, a late tick. Every rule is
    // tried; those that fail are listed together.
    void eachRuleHoldsAtItsEdges()
    {
        QStringList wrong;
        const auto row = [&wrong](const char *name, const QVariant &got, const QVariant &want) {
            if (got.toString() != want.toString())
                wrong << QStringLiteral("%1: %2, not %3").arg(name, got.toString(), want.toString());
        };
        // 1 * (1 - 2^-24) + 1 rounds to 2 in single precision: past the end.
        row("draw: one entry, r<1 rounds up", drawIndex(1, kBelowOne), 1);
        row("draw: five, r just below 1/5", drawIndex(5, 0.1999f), 1);
        row("draw: five, r=1/5", drawIndex(5, 0.2f), 2);
        row("hide: random, r<1 never four", hideCountFor("R:ランダム", kBelowOne), 3);
        row("hide: typed negative", hideCountFor("-2:", 0.0f), 0);
        row("hide: half to even, 2.5", hideCountFor("2.5", 0.0f), 2);
        row("bag: just below 1/2 of two", bagPosition(2, std::nextafter(0.5f, 0.0f)), 0);
        row("bag: r<1 of three", bagPosition(3, kBelowOne), 2);
        // A double just below 1 can round to 1 on its way to single precision.
        row("bag: r rounded up to 1", bagPosition(4, 1.0f), 3);
        row("seconds left: slept far past the end", secondsLeft(0, 100000), -32768);
        row("seconds left: far ahead", secondsLeft(100000, 0), 32767);
        row("bar: play time shortened in play", barWidth(50, 10, 8745), 43725);
        row("end rate: misses only", endRateText(0, 3, 0), "0.0%");
        row("end rate: nothing at all", endRateText(0, 0, 0), "0.0%");
        const QStringList dict{{}, "刻苦精進", "刻苦精励", "戦戦恐恐", "一日千秋"};
        const std::array<QString, 4> middle{{{}, "苦", "精", {}}}, none{};
        row("judge: another idiom fitting the shown cells", isRightAnswer("刻苦精励", "刻苦精進", middle, dict), true);
        row("judge: fits the cells, no idiom", isRightAnswer("刻苦精神", "刻苦精進", middle, dict), false);
        row("judge: an idiom, not fitting", isRightAnswer("一日千秋", "刻苦精進", middle, dict), false);
        row("judge: all hidden, nothing typed", isRightAnswer("", "刻苦精進", none, dict), false);
        row("judge: 々 typed for the kanji", isRightAnswer("戦々恐々", "戦戦恐恐", none, {}), true);
        row("judge: 々 drawn, the kanji typed", isRightAnswer("戦戦恐恐", "戦々恐々", {{"戦", "々", {}, {}}}, {}), true);
        row("judge: 々 after another kanji", isRightAnswer("戦恐恐恐", "戦々恐々", none, {}), false);
        QCOMPARE(wrong, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "test_rules.moc"
