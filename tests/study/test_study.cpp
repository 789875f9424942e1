// The study features' own pieces: their files read, merged and written, the
// weighted pick, and the chart following the history. The window's scripts
// play them in games.

#include "form_fixture.h"
#include "files/study_files.h"
#include "study/chart_window.h"
#include "study/study.h"

#include <QChartView>
#include <QLineSeries>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

const QDate kToday(2026, 5, 6);

QString misses(const QByteArray &bytes)
{
    QString problem;
    const auto record = parseMisses(bytes, QStringLiteral("苦手.txt"), &problem);
    return record ? QString::fromUtf8(formatMisses(*record)) : problem;
}

} // namespace

class TestStudy : public QObject {
    Q_OBJECT

private slots:
    void recordsReadMergeAndPick()
    {
        QCOMPARE(misses("\xef\xbb\xbf一石二鳥\t1\t0\t2\t2026-05-01\r\n"), "一石二鳥\t1\t0\t2\t2026-05-01\n");
        for (const char *broken : {"一石二鳥\t1\t0\t2\n", "一石二鳥\t-1\t0\t2\t2026-05-01\n", "一石二鳥\t1\t0\t2\t昨日\n",
                                   "a\t1\t0\t0\t2026-05-01\na\t1\t0\t0\t2026-05-01\n", "\xff\n"})
            QVERIFY2(misses(broken).startsWith("苦手.txt "), broken);
        QString problem;
        QVERIFY(!parseNotes("一石二鳥\tいっせきにちょう\n", "読みと意味.txt", &problem));
        QCOMPARE(problem, "読みと意味.txt の 1 行目: 「熟語<タブ>読み<タブ>意味」の形ではありません。");

        const MissRecord before{{"一石二鳥", {1, 0, 2, QDate(2026, 5, 1)}}};
        const MissRecord game{{"一石二鳥", {0, 0, 1, {}}},   // recorded: its right answer counts
                              {"四面楚歌", {2, 1, 0, {}}},   // missed and revealed: joins
                              {"温故知新", {0, 0, 3, {}}}};  // only right, never recorded: stays out
        const MissRecord after{{"一石二鳥", {1, 0, 3, kToday}}, {"四面楚歌", {2, 1, 0, kToday}}};
        QCOMPARE(mergeGame(before, game, kToday), after);
        QCOMPARE(mergeGame(before, {}, kToday), before);

        // Weights 3 (四面楚歌) and 1 (一石二鳥); 温故知新 is not in the dictionary.
        const MissRecord record{{"一石二鳥", {1, 0, 0, kToday}}, {"四面楚歌", {2, 1, 0, kToday}},
                                {"温故知新", {9, 9, 0, kToday}}};
        const QStringList dictionary{{}, "一石二鳥", "四面楚歌"};
        QCOMPARE(pickMissed(record, dictionary, 0.0), "一石二鳥");
        QCOMPARE(pickMissed(record, dictionary, 0.26), "四面楚歌");
        QCOMPARE(pickMissed(record, dictionary, 0.99), "四面楚歌");
        QCOMPARE(pickMissed({}, dictionary, 0.5), QString());
    }

    void theChartShowsEachModesGamesAndFollowsTheHistory()
    {
        const std::vector<HistoryRecord> records{{"2026/05/01", "10:00:00", "5", 4, 1, "80.0%", "0.40/秒", "60秒", "2"},
                                                 {"2026/05/02", "10:00:00", "5", 5, 0, "100.0%", "1.00/秒", "60秒", "3"},
                                                 {"2026/05/03", "10:00:00", "5", 5, 0, "壊れた", "1.00/秒", "60秒", "2"}};
        const QList<ChartGame> all = chartGames(records, {}), hard = chartGames(records, "3");
        QCOMPARE(all.size(), 2);
        QCOMPARE(QPointF(all[0].rate, all[0].perSecond), QPointF(80.0, 0.4));
        QCOMPARE(hard.size(), 1);
        QCOMPARE(hard[0].number, 2);
        QVERIFY(hard[0].label.contains("2026/05/02 10:00:00　60秒　モード 3"));
        QCOMPARE(chartSummary(all), "全 2 ゲーム。最近 2 ゲームの平均: 正解率 90.0%、秒当たり 0.70 文字。");

        FormFixture f;
        f.play("dict:一石二鳥 records:2 load");
        f.form->study->makeChart = [](QWidget *owner) { return new ChartWindow(owner); };
        f.form->study->openChart();
        auto *chart = f.form->findChild<ChartWindow *>();
        QCOMPARE(chart->rates->count(), 2);
        QCOMPARE(chart->modes->count(), 2);   // all, and the one mode of the records
        f.play("start =一石二鳥 end save");
        QTRY_COMPARE(chart->rates->count(), 3);
        QCOMPARE(chart->view->accessibleDescription(), chartSummary(chartGames(readHistory(), {})));
        f.play("clear");
        QTRY_COMPARE(chart->rates->count(), 0);
    }
};

QTEST_MAIN(TestStudy)
#include "test_study.moc"
