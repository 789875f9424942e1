// The study features: their files read, merged and written; what a game
// leaves in 苦手.txt; the weighted draw; the chart following the history; and
// that none of it stops a game.

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

    void playerSeesWhatTheScriptSays_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("a game leaves its misses and reveals at its end; an unwritable record warns once, kept")
            << R"(dict:一石二鳥 load type:3:ハード put:読みと意味.txt:一石二鳥|いっせきにちょう|killing_two_birds_with_one_stone/
                  start =一石三鳥 esc =一石二鳥 tip=いっせきにちょう/killing_two_birds_with_one_stone text:苦手.txt=<missing> end
                  text:苦手.txt=一石二鳥|1|1|1|2026-05-06/ settings=60,0,"2:ノーマル"↵ file=
                  jam:苦手.txt start =一石三鳥 end says~=苦手.txt_は普通のファイルではない start =一石三鳥 end
                  boxes=間違い,間違い,苦手な熟語,間違い gone:苦手.txt start end text:苦手.txt=一石二鳥|2|0|0|2026-05-06/)";
        QTest::newRow("the misses window lists most missed first and forgets only when confirmed")
            << "load put:苦手.txt:一石二鳥|1|0|0|2026-05-01/四面楚歌|3|0|0|2026-05-02/ misses "
               "table=苦手な熟語:四面楚歌(読みと意味.txt_がありません。),一石二鳥(読みと意味.txt_がありません。) cancel forget "
               "table=苦手な熟語:四面楚歌(読みと意味.txt_がありません。),一石二鳥(読みと意味.txt_がありません。) forget "
               "table=苦手な熟語: text:苦手.txt=";
        QTest::newRow("a chosen draw asks missed idioms half the time")
            << "dict:一石二鳥,四面楚歌 load type:0:隠さない r:0.25 put:苦手.txt:四面楚歌|1|0|0|2026-05-01/ start "
               "cells=一石二鳥 often =一石二鳥 cells=四面楚歌";
        // A broken study file is told of, never in the way of a game.
        const auto broken = [](const char *name, const QString &file, const QString &make, const QString &said) {
            QTest::addRow("%s %s", qPrintable(file), name)
                << "dict:一石二鳥 load " + make + " start =一石三鳥 =一石二鳥 end phase=idle exits= " + said;
        };
        for (const QString file : {"読みと意味.txt", "苦手.txt"}) {
            const QString seen = file == "苦手.txt" ? "says~=" + file : "tip~=" + file;   // the warning, the notes
            broken("empty", file, "put:" + file + ":", file == "苦手.txt" ? "boxes=間違い" : seen + "_には_一石二鳥_の");
            broken("broken UTF-8", file, "put:" + file + ":%E4%B8/", seen + "_は_UTF-8_のテキストではありません。");
            broken("a 1 MB line", file, "big:" + file, seen + "_の_1_行目:");
            broken("a folder", file, "jam:" + file, seen + "_は普通のファイルではない");
        }
        broken("missing", "読みと意味.txt", "", "tip=読みと意味.txt_がありません。");
    }

    void playerSeesWhatTheScriptSays()
    {
        QFETCH(QString, script);
        FormFixture f;
        QCOMPARE(f.play(script), script.simplified().split(u' '));
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
