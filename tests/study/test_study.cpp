// The study features: their files read, merged and written; what a game
// leaves in 苦手.txt; the weighted draw; the chart following the history; and
// that none of it stops a game.

#include "form_fixture.h"
#include "files/study_files.h"
#include "study/chart_window.h"
#include "study/misses_window.h"
#include "study/study.h"

#include <QComboBox>
#include <QChartView>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>

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
        QCOMPARE(misses("一石二鳥\t1\t0\t2\t2026-05-01\n"), "一石二鳥\t1\t0\t2\t2026-05-01\n");
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

    void aGameLeavesItsMissesAndRevealsOnce()
    {
        FormFixture f;
        f.play(R"(dict:一石二鳥 load type:3:ハード)");
        f.sandbox.write("読みと意味.txt", "一石二鳥\tいっせきにちょう\tkilling two birds with one stone\n");
        const QByteArray classic = f.sandbox.read(kSettings) + f.sandbox.read(kHistory);
        f.startGame();
        f.answer("一石三鳥");
        QTest::keyClick(f.form->txtKaitou, Qt::Key_Escape);
        f.answer("一石二鳥");
        QCOMPARE(f.form->lstRireki->item(0)->toolTip(), "いっせきにちょう\nkilling two birds with one stone");
        QVERIFY(!f.sandbox.exists("苦手.txt"));   // written at the end, not during the game
        f.runOutTheClock();
        QCOMPARE(f.sandbox.read("苦手.txt"), "一石二鳥\t1\t1\t1\t2026-05-06\n");
        QCOMPARE(f.sandbox.read(kSettings) + f.sandbox.read(kHistory), classic);

        // A record that cannot be written warns once and is kept for the next game.
        f.sandbox.remove("苦手.txt");
        QDir(f.sandbox.path()).mkdir("苦手.txt");
        f.messages.shown.clear();
        for (int game = 0; game < 2; ++game) {
            f.startGame();
            f.answer("一石三鳥");
            f.runOutTheClock();
        }
        QCOMPARE(f.messages.titles(), QStringList({"間違い", "苦手な熟語", "間違い"}));
        QVERIFY(f.messages.shown[1].text.contains("苦手.txt は普通のファイルではない"));
        QDir(f.sandbox.path()).rmdir("苦手.txt");
        f.startGame();
        f.runOutTheClock();
        QCOMPARE(f.sandbox.read("苦手.txt"), "一石二鳥\t2\t0\t0\t2026-05-06\n");
    }

    void brokenStudyFilesNeverStopAGame_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");   // "<dir>": a folder in the file's place
        QTest::addColumn<QString>("said");       // the tooltip, or the warning at the end
        const QByteArray longLine(1 << 20, 'x');
        for (const char *file : {"読みと意味.txt", "苦手.txt"}) {
            const bool notes = QString(file) == "読みと意味.txt";
            const auto row = [&](const char *name, const QByteArray &bytes, const QString &said) {
                QTest::addRow("%s %s", file, name) << file << bytes << said;
            };
            row("empty", "", notes ? "読みと意味.txt には 一石二鳥 の読みと意味がありません。" : "");
            row("broken UTF-8", "\xe4\xb8\n", QString(file) + " は UTF-8 のテキストではありません。");
            row("a 1 MB line", longLine, QString(file) + " の 1 行目:");
            row("a folder", "<dir>", QString(file) + " は普通のファイルではない");
        }
        QTest::addRow("読みと意味.txt missing") << "読みと意味.txt" << QByteArray() << "読みと意味.txt がありません。";
    }

    void brokenStudyFilesNeverStopAGame()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        FormFixture f;
        f.play("dict:一石二鳥 load");
        if (bytes == "<dir>")
            QDir(f.sandbox.path()).mkdir(file);
        else if (!bytes.isNull())
            f.sandbox.write(file, bytes);
        f.startGame();
        f.answer("一石三鳥");
        f.answer("一石二鳥");
        f.runOutTheClock();
        QCOMPARE(f.look("phase"), "idle");
        QVERIFY(f.process.exits.isEmpty());
        const QString seen = file == "苦手.txt" ? f.messages.shown.last().text : f.form->lstRireki->item(0)->toolTip();
        QVERIFY2(said.isEmpty() ? f.messages.shown.size() == 1 : seen.contains(said), qPrintable(seen));
    }

    void theWindowListsMostMissedFirstAndForgetsOnlyWhenConfirmed()
    {
        FormFixture f;
        f.play("load");
        f.sandbox.write("苦手.txt", "一石二鳥\t1\t0\t0\t2026-05-01\n四面楚歌\t3\t0\t0\t2026-05-02\n");
        f.form->study->openMisses();
        auto *window = f.form->findChild<MissesWindow *>();
        QCOMPARE(window->windowTitle(), "苦手な熟語");
        QCOMPARE(window->table->item(0, 0)->text(), "四面楚歌");
        QCOMPARE(window->table->item(0, 2)->toolTip(), "読みと意味.txt がありません。");
        QPushButton *forget = nullptr;
        for (QPushButton *button : window->findChildren<QPushButton *>())
            forget = button->text() == "記録を消去…" ? button : forget;
        f.messages.answers = {MsgResult::Cancel};
        forget->click();
        QCOMPARE(window->table->rowCount(), 2);
        forget->click();
        QCOMPARE(window->table->rowCount(), 0);
        QCOMPARE(f.sandbox.read("苦手.txt"), "");
    }

    void theChartShowsEachModesGamesAndFollowsTheHistory()
    {
        std::vector<HistoryRecord> records(3);
        records[0] = {"2026/05/01", "10:00:00", "5", 4, 1, "80.0%", "0.40/秒", "60秒", "2"};
        records[1] = {"2026/05/02", "10:00:00", "5", 5, 0, "100.0%", "1.00/秒", "60秒", "3"};
        records[2] = {"2026/05/03", "10:00:00", "5", 5, 0, "壊れた", "1.00/秒", "60秒", "2"};
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
        f.startGame();
        f.answer("一石二鳥");
        f.runOutTheClock();
        f.form->cmdHozon->click();
        QTRY_COMPARE(chart->rates->count(), 3);
        QCOMPARE(chart->view->accessibleDescription(), chartSummary(chartGames(readHistory(), {})));
        f.form->cmdClear->click();
        QTRY_COMPARE(chart->rates->count(), 0);
    }

    void aChosenDrawAsksMissedIdiomsHalfTheTime()
    {
        FormFixture f;
        f.play(R"(dict:一石二鳥,四面楚歌 load type:0:隠さない r:0.25)");
        f.sandbox.write("苦手.txt", "四面楚歌\t1\t0\t0\t2026-05-01\n");
        f.startGame();
        QCOMPARE(f.form->state.Mondai, "一石二鳥");   // the classic draw
        f.form->study->setDrawMissedMore(true);
        f.answer("一石二鳥");
        QCOMPARE(f.form->state.Mondai, "四面楚歌");
    }
};

QTEST_MAIN(TestStudy)
#include "test_study.moc"
