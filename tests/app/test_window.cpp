// The window as the player meets it: scripted ways through it from startup to
// exit, the study files included, with the clock, the draws and the message
// boxes in the test's hand (see FormFixture::play); its design, focus order
// and rendering; the game's rules alone. Then broken, odd and oversized data
// files at startup, and what the player does next: each ends in a normal start
// or in an error box naming the file and a non-zero exit; reading never
// changes a file, and the follow-up changes only the file it is meant to
// change. Last, the study files read, merged and written, the weighted draw,
// and the chart following the history.

#include "form_fixture.h"
#include "app/accessibility.h"
#include "files/study_files.h"
#include "game/rules.h"
#include "study/chart_window.h"
#include "study/study.h"

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QLineSeries>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>
#include <cmath>
#include <sys/stat.h>

using namespace sumiraku;
using namespace sumiraku::testing;
using namespace Qt::StringLiterals;

namespace {

const float kBelowOne = std::nextafter(1.0f, 0.0f);
const QDate kToday(2026, 5, 6);

QString misses(const QByteArray &bytes)
{
    QString problem;
    const auto record = parseMisses(bytes, QStringLiteral("苦手.txt"), &problem);
    return record ? QString::fromUtf8(formatMisses(*record)) : problem;
}

const QByteArray kMissing("<missing>");   // what Sandbox::read gives for no file
const QByteArray kFolder("<folder>");
const QByteArray kFifo("<fifo>");
const QByteArray kDevice("<device>");   // a link to /dev/zero
const QByteArray kUnchanged("<unchanged>");
const QStringList kFiles{kSettings, kHistory, kDictionary};

// The record of the game "start =* end save" plays: one right answer of four
// characters in 60 seconds.
const QByteArray kSaved = sjis(R"("2026/05/06","21:03:15",1,1,0,"100.0%","0.07/秒","60秒","2")" "\r\n");

// The history record with field `field` (from 1) replaced.
QByteArray recordWith(int field, const QByteArray &value)
{
    QList<QByteArray> fields = kRecord.chopped(2).split(',');
    fields[field - 1] = value;
    return fields.join(',') + "\r\n";
}

QList<QByteArray> snapshot(const Sandbox &box)
{
    QList<QByteArray> files;
    for (const QString &name : kFiles) {
        const QFileInfo info(QDir(box.path()).filePath(name));
        files << (info.isDir() ? kFolder : info.exists() && !info.isFile() ? kDevice : box.read(name));
    }
    return files;
}

// For an error, `then` holds the words its box must show besides the file's
// name; for a normal start, a script the window plays next (see
// FormFixture::play), and `after` the file's bytes once it has.
void add(const QString &file, const char *name, const QByteArray &bytes, int error, const QString &then,
         const QByteArray &after = kUnchanged)
{
    QTest::addRow("%s: %s", qPrintable(file), name) << file << bytes << error << then << after;
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void playerSeesWhatTheScriptSays_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("startup shows what the files hold and writes nothing")
            << R"(settings:35,1,"X:自作モード" load shown=35,1,X:自作モード unnamed=
                  modes=1:イージー,2:ノーマル,3:ハード,R:ランダム,S:指定,0:隠さない
                  dictionary=登録四字熟語_3個:一石二鳥,四面楚歌,温故知新 cells=□□□□ closed=xxxx
                  said=隠れています,隠れています,隠れています,隠れています left=残り_35_秒/35 rows=0
                  head=回,日付,時間,問数,ＯＫ,ＮＧ,正解率,秒当たり,表示秒数,モード
                  settings=35,1,"X:自作モード"↵ file= tick wait:1 phase=idle boxes= start wait:34 phase=playing
                  wait:1 phase=idle)";
        QTest::newRow("a game ends in its saved record, with the miss whose box is up at the end")
            << R"(dict:一石二鳥 load type:0:隠さない time:10 auto start cells=一石二鳥 =一石二鳥
                  =いっせきにちょう says=違います！！ box=間違い(x) score=1/1/4 late:一石三鳥 phase=idle
                  report=正解数:_1、不正解数:_2、入力文字数:_4、正解率:_33.3%、秒当たり入力文字数:_0.40/秒
                  row=1,2026/05/06,21:03:15,3,1,2,33.3%,0.40/秒,10秒,0 left=残り_0_秒/10
                  file="2026/05/06","21:03:15",3,1,2,"33.3%","0.40/秒","10秒","0"↵)";
        QTest::newRow("the countdown shows three pictures, then the first idiom")
            << "dict:温故知新 load click tick pictures=1-- phase=countdown tick pictures=-2- cells=□□□□ tick "
               "pictures=--3 cells=□□知新 phase=playing tick pictures=--3";
        QTest::newRow("each mode hides its number of cells, again after a right answer and game after game")
            << "load type:1:イージー r:0 start cells=□石二鳥 closed=xooo =* closed=xooo end type:0:隠さない "
               "r:0.6 start cells=四面楚歌 closed=oooo =* closed=oooo end type:R:ランダム r:0.99 start "
               "cells=温□□□ closed=oxxx =* closed=oxxx end type:7 start cells=温□□□ closed=oxxx";
        QTest::newRow("a typed S mode opens the designated cells only at the start")
            << "dict:一石二鳥 load pick:S:指定 cell:1 type:Sで始まる start closed=oxxx cells=一□□□ "
               "=一石二鳥 closed=oooo cells=一石二鳥";
        QTest::newRow("designated cells stay open across games until S is picked again")
            << "dict:一石二鳥 load cell:2 closed=xxxx pick:S:指定 box=表示部指定(i) "
               "says=表示させたい窓をクリックしてください cell:1 cell:2 cell:2 cell:4 "
               "said=開いています,隠れています,隠れています,開いています click closed=oxxo tick tick tick "
               "cells=一□□鳥 =一石二鳥 solved=一□□鳥 end start cells=一□□鳥 said=一,隠れています,隠れています,鳥 "
               "=一石二鳥 solved=一□□鳥 end pick:S:指定 closed=xxxx click "
               "box=スタートチェック(!) says=Ｓ：指定モードの場合は、いずれか一つ以上の窓は開いてください。 "
               "phase=idle save row=1,2026/05/06,21:03:15,1,1,0,100.0%,0.00/秒,60秒,S";
        QTest::newRow("the solved list shows each idiom as it was seen; Esc reveals and counts nothing")
            << "dict:四面楚歌 load type:3:ハード r:0 start cells=□□□歌 said=隠れています,隠れています,隠れています,歌 "
               "=四面楚歌 esc cells=四面楚歌 closed=xxxo said=四,面,楚,歌 score=1/0/4 =四面楚歌 hint =四面楚歌 "
               "solved=□□□歌,四面楚歌,四面楚歌 score=3/0/12";
        QTest::newRow("Enter is judged only in a game; an emptied or missing dictionary refuses the start")
            << "dict:一石二鳥 load = click = boxes= score=0/0/0 tick tick tick =一石二鳥 end =一石二鳥 score=1/0/4 "
               "put:辞書.txt: click box=スタートチェック(!) says~=辞書.txt phase=idle =一石二鳥 score=1/0/4 gone:辞書.txt "
               "click box=スタートチェック(!) says~=実行時エラー_'53' says~=辞書.txt phase=idle exits= save "
               "row=1,2026/05/06,21:03:15,1,1,0,100.0%,0.07/秒,60秒,2";
        QTest::newRow("the time bar shrinks with the time played, not the wall clock, to a late tick")
            << "at:86390.5 load click bar=8745 tick tick tick at:86385 left=残り_60_秒/60 at:10 wait:20 "
               "left=残り_40_秒/60 bar=5829 wait:39 left=残り_1_秒/60 phase=playing wait:15 bar=0 phase=idle click bar=8745";
        QTest::newRow("another idiom of the dictionary that fits the cells shown is right; a long idiom shows its first four and needs the whole")
            << "dict:以心伝心,一意専心,一日千秋の思い load type:3:ハード r:0 start cells=□□□心 =一意専心 boxes= score=1/0/4 "
               "solved=□□□心 cells=□□□心 =一心同心 says=違います！！ score=1/1/4 end type:0:隠さない r:0.9 start "
               "cells=一日千秋 =一日千秋 =一日千秋の思い score=1/1/7";
        QTest::newRow("a pick writes all three settings, typed text as it stands; only S closes cells")
            << R"(load type:"引用"モード settings=60,0,"2:ノーマル"↵ auto settings=60,1,""引用"モード"↵
                  start pick:3:ハード cells=一石二鳥 boxes= settings=60,1,"3:ハード"↵)";
        QTest::newRow("six records fit the grid; a save waits for the end of a game, adds a row in view, and comes once")
            << "dict:一石二鳥 records:6 load scrolled=no save click save tick tick tick =一石二鳥 save rows=6 saved=6 end "
               "save save rows=7 saved=7 row=7,2026/05/06,21:03:15,1,1,0,100.0%,0.07/秒,60秒,2 "
               "auto start =一石二鳥 end save rows=8 saved=8";
        QTest::newRow("a game is saved with the length and mode it was played with")
            << "dict:一石二鳥 load time:10 type:0:隠さない start time:30 type:3:ハード cells=一石二鳥 =一石二鳥 "
               "cells=一石二鳥 wait:5 bar=4372 end time:50 type:2:ノーマル save row=1,2026/05/06,21:03:15,1,1,0,100.0%,0.40/秒,10秒,0";
        QTest::newRow("a failed save warns, keeps the statistics and the game unsaved, and can be tried again")
            << "dict:一石二鳥 load time:10 auto start =一石二鳥 jam end box=自動保存(!) says~=履歴.txt rows=0 "
               "report=正解数:_1、不正解数:_0、入力文字数:_4、正解率:_100.0%、秒当たり入力文字数:_0.40/秒 "
               "exits= save box=保存(!) says~=履歴.txt exits= rows=0 gone save rows=1 saved=1";
        QTest::newRow("a seventh record scrolls the grid; clearing asks first, then empties the file and the grid")
            << "records:7 load scrolled=yes row=7,2026/05/06,21:03:15,25,20,5,80.0%,1.33/秒,60秒,2 cancel clear "
               "box=クリア確認(!)+cancel says=履歴データをクリアします。よろしいですか？ boxes=クリア確認 saved=7 rows=7 "
               "clear file= rows=0 box=クリア終了(i) says=履歴データをクリアしました";
        QTest::newRow("a second program in the folder ends untouched; a save counts the records in the file")
            << "dict:一石二鳥 records:1 load again box=SUMIRAKU(!) says~=すでに起動 exits=1 rows=1 saved=1 start =* "
               "end records:32766 save box=保存(!) says~=32766_件 rows=1 saved=32766";
        QTest::newRow("clearing a missing file creates it, the next save is the first; an unclearable file ends all")
            << "dict:一石二鳥 records:2 load start =一石二鳥 end gone clear file= save rows=1 saved=1 jam clear exits=1 rows=1";
        QTest::newRow("the frames switch panels, a click in the dictionary list does not, and the solved list lives on hidden")
            << "dict:一石二鳥 load panel=dictionary list panel=dictionary show:solved panel=solved solved= show:dictionary "
               "panel=dictionary start panel=solved =一石二鳥 show:dictionary =一石二鳥 show:solved "
               "solved=□□二鳥,□□二鳥 show:solved panel=solved";
        QTest::newRow("help opens beside a running game; End closes it and ends without saving")
            << R"(dict:一石二鳥 load auto start help help helps=RvHelp.chm,RvHelp.chm/0 phase=playing =一石二鳥
                  score=1/0/4 quit helps=RvHelp.chm,RvHelp.chm/1 exits=0 saved=0 settings=60,1,"2:ノーマル"↵ again exits=0)";
        QTest::newRow("the close box closes the help too") << "load close helps=/1 exits=";
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

    // As designed before and after startup, with both timers ticking. Then what
    // a player sees, rendered: each cell's character whole, with a margin, near
    // the design's size, at every scale and with either Japanese face; dark
    // text on the design's light faces under a dark desktop palette; a mode
    // text too wide for its box shown from its start; the grid's texts apart
    // from the lines between them. Last, the order of keyboard stops.
    void windowStandsAsDesignedAndShowsEveryCharacterWholeOnAnyTheme()
    {
        const auto restore = qScopeGuard([desktop = QApplication::palette()] { QApplication::setPalette(desktop); });
        QApplication::setPalette(QPalette(QColor(0x24, 0x24, 0x24)));
        FormFixture f(true);
        frmMain &w = *f.form;
        // Twips / 15, rounded, within the container; the window's size: the e2e test.
        QCOMPARE(w.cmdStart->geometry(), QRect(345, 10, 56, 61));
        QCOMPARE(w.Frame1->geometry(), QRect(9, 87, 616, 358));
        QCOMPARE(w.txtKaitou->geometry(), QRect(330, 75, 136, 27));
        QCOMPARE(w.msgRireki->geometry(), QRect(15, 215, 586, 131));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.lblHint->text() + f.look("closed"), QStringLiteral("\u3000問題xxxx"));
        // The design's face falls back to a Japanese Gothic with its metrics.
        QVERIFY(QStringList({"IPAPGothic", "Noto Sans CJK JP"}).contains(QFontInfo(w.lblMondai[1]->font()).family()));
        // The green bar lies over the red one, the solved panel hidden over the dictionary.
        const QObjectList siblings = w.Frame1->children();
        QCOMPARE(w.shpJikanK->geometry(), w.shpJikanB->geometry());
        QVERIFY(siblings.indexOf(w.shpJikanK) > siblings.indexOf(w.shpJikanB));
        QCOMPARE(w.frmRireki->geometry(), w.fraJisyo->geometry());
        QVERIFY(siblings.indexOf(w.frmRireki) > siblings.indexOf(w.fraJisyo));
        QVERIFY(w.frmRireki->isHidden() && !w.fraJisyo->isHidden() && w.lstHide->isHidden());
        // Both timers tick every second from the start.
        QVERIFY(w.tmrStart->isActive() && w.tmrBp->isActive());
        QCOMPARE(QPoint(w.tmrStart->interval(), w.tmrBp->interval()), QPoint(1000, 1000));
        f.play(R"(settings:60,0,"0:隠さない" records:1 load)");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.cboHide->lineEdit()->cursorPosition(), 0);
        for (QWidget *box : {static_cast<QWidget *>(w.cboHide), static_cast<QWidget *>(w.txtKaitou)})
            QVERIFY(qGray(box->palette().color(QPalette::Text).rgb()) < 64);
        auto *grid = w.msgRireki->findChild<QTableView *>();
        const QImage rows = grid->viewport()->grab().toImage();
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            const QRect cell = grid->visualRect(grid->model()->index(0, c));
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                for (int x : {cell.left(), cell.left() + 1, cell.right() - 1, cell.right()})
                    QVERIFY2(qGray(rows.pixel(x, y)) > 160, qPrintable(QString::number(c)));
            }
        }
        // Whole: its ink off the cell's inside by a margin; near the design's
        // size; centred from top to bottom.
        const auto whole = [](ClickLabel *cell, qreal scale, int least) {
            QImage shot(cell->size() * scale, QImage::Format_RGB32);
            shot.setDevicePixelRatio(scale);
            cell->render(&shot);
            const QRect inside(cell->contentsRect().topLeft() * scale, cell->contentsRect().size() * scale);
            QRect ink;
            for (int y = inside.top(); y <= inside.bottom(); ++y) {
                for (int x = inside.left(); x <= inside.right(); ++x) {
                    if (qGray(shot.pixel(x, y)) < 96)
                        ink |= QRect(x, y, 1, 1);
                }
            }
            const int margin = qRound(3 * scale);
            return inside.adjusted(margin, margin, -margin, -margin).contains(ink) && ink.height() > least * scale
                   && std::abs(ink.center().y() - inside.center().y()) < 8 * scale;
        };
        const QStringList glyphs{"自", "固", "品", "田", "畳", "鬱"};
        for (const char *face : {"IPAPGothic", "Noto Sans CJK JP"}) {
            for (const qreal scale : {1.0, 1.25, 1.5, 2.0}) {
                for (int i = 0; i < glyphs.size(); ++i) {
                    ClickLabel *cell = w.lblMondai[i % 4 + 1];
                    QFont font = cell->font();
                    font.setFamilies({face});
                    cell->setFont(font);
                    cell->setText(glyphs[i]);
                    cell->setBackColor(i % 2 ? Qt::white : w.buttonFace());
                    QVERIFY2(whole(cell, scale, 70), qPrintable(QStringLiteral("%1 in %2 at %3").arg(glyphs[i], face).arg(scale)));
                }
            }
        }
        // A face larger than the cell is drawn at the size that fits.
        QFont large = w.lblMondai[4]->font();
        large.setPixelSize(300);
        w.lblMondai[4]->setFont(large);
        QVERIFY(whole(w.lblMondai[4], 1.0, 70));
        // Ink of another colour is Qt's own drawing of the text, as whole.
        QPalette red = w.lblMondai[1]->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        w.lblMondai[1]->setPalette(red);
        QVERIFY(whole(w.lblMondai[1], 1.5, 70));
        // The statistics and the time bar are keyboard stops after the designed ones.
        w.frmRireki->show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cmdStart->setFocus();
        for (QWidget *want : QList<QWidget *>{w.cmdStart, w.cmdHozon, w.cmdClear, w.cmdHelp, w.cmdEnd, w.chkAs,
                                              w.msgRireki, w.txtKaitou, w.lstJisyo, w.lstRireki, w.cboHide,
                                              w.cboJikan, w.Frame2, w.shpJikanK, w.cmdStart}) {
            QWidget *has = QApplication::focusWidget();
            QVERIFY2(has == want || (has && want->isAncestorOf(has)), qPrintable(want->objectName()));
            QTest::keyClick(has, Qt::Key_Tab);
        }
    }

    // The rules of a game that need no window, each at the edge where a slip
    // shows: single-precision draws close to 1, a late tick. Every rule is
    // tried; those that fail are listed together. Then the seconds a screen
    // reader hears invert the bar for every play time.
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
        for (int playByou = 1; playByou <= 1000; ++playByou) {
            for (int s = 0; s <= playByou; ++s)
                QCOMPARE(secondsLeftOnBar(barWidth(qint16(s), qint16(playByou), 8745), playByou, 8745), s);
        }
    }

    void everyFileEndsInAStartOrAReport_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");   // 0: a normal start
        QTest::addColumn<QString>("then");
        QTest::addColumn<QByteArray>("after");
        const QByteArray big(1 << 20, 'x');

        for (const QString &file : kFiles) {
            add(file, "missing", kMissing, 53, u"ファイルがありません。"_s);
            add(file, "a folder", kFolder, 75, u"ファイルではなくフォルダーです。"_s);
        }
        const QString &s = kSettings;
        add(s, "record cut short", "60,0\r\n", 62, {});
        add(s, "16 MB and a byte", QByteArray(16 << 20, ' ') + "60,0,\"2\"\r\n", 6, u"16 MB"_s);
        add(s, "only CR LF", "\r\n", 13, u"プレイ秒数が整数ではありません。"_s);
        add(s, "play time 0", "0,0,\"2\"\r\n", 6, u"プレイ秒数は"_s);
        add(s, "auto-save 2", "60,2,\"2\"\r\n", 6, u"自動保存は"_s);
        add(s, "auto-save -32769", "60,-32769,\"2\"\r\n", 6, u"自動保存が整数の範囲を超えています。 -32769"_s);
        add(s, "1 MB line without a comma", big + "\r\n", 13, u"プレイ秒数"_s);
        add(s, "1 MB mode text", "60,0,\"" + big + "\"\r\n", 0, u"shown~=60,0,xxxxxxxx"_s);
        // The quote runs to the end of the file, line end and all; the text is
        // written back the same way and reads back unchanged. A time above the
        // list's longest is still usable.
        add(s, "unterminated quote", "600,0,\"2\r\n", 0, u"shown~=600,0,2 time:50"_s, "50,0,\"2\r\n\"\r\n");
        add(s, "invalid CP932 in the mode", "60,0,\"2:\xFF" + sjis("ノ\"\r\n"), 0, u"shown=60,0,2:\uFFFDノ time:50"_s,
            "50,0,\"2:?" + sjis("ノ\"\r\n"));
        add(s, "Ctrl-Z ends the text", "60,0,\"2\x1A\"\r\n", 0, u"shown=60,0,2"_s);
        add(s, "UTF-8", "60,0,\"2:ノーマル\"\r\n", 321, u"UTF-8 Shift_JIS"_s);
        add(s, "a mode whose bytes are also UTF-8", sjis("60,0,\"ﾅム\"\r\n"), 0, u"shown=60,0,ﾅム"_s);   // C5 83 6D: Ńm
        add(s, "UTF-8 byte-order mark", "\xEF\xBB\xBF" + sjis("60,0,\"2:ノーマル\"\r\n"), 321, u"バイト順マーク"_s);
        add(s, "NUL in the mode", "60,0,\"\0\"\r\n"_qba, 0, u"shown=60,0,"_s + QChar(0) + u" time:50"_s, "50,0,\"\0\"\r\n"_qba);

        const QString &h = kHistory;
        add(h, "a FIFO", kFifo, 75, u"通常のファイルではありません"_s);
        add(h, "record cut short", kRecord.left(26) + "\r\n", 62, u"1行目、4番目の項目「ＯＫ」がありません。"_s);
        add(h, "right answers 32768", recordWith(4, "32768"), 6, u"32768"_s);
        add(h, "right answers 1e3", kRecord + recordWith(4, "1e3"), 13, u"2行目、4番目の項目「ＯＫ」が読めません。値:_\"1e3\""_s.replace(u'_', u' '));
        add(h, "32,767 records", kRecord.repeated(32767), 6, u"32767"_s);
        add(h, "empty", "", 0, u"rows=0 start =* end save rows=1"_s, kSaved);
        // A record may run across lines; the file keeps bytes it cannot decode,
        // and a last line without its line end gets one before the next record.
        const QByteArray odd = recordWith(9, "\"\xFF\"") + QByteArray(kRecord).replace(",20,", ",20\r\n").chopped(2);
        add(h, "odd but readable", odd, 0, u"rows=2 start =* end save rows=3"_s, odd + "\r\n" + kSaved);
        add(h, "Ctrl-Z after the last record", kRecord + "\x1A", 0, u"rows=1 start =* end save rows=2"_s, kRecord + kSaved + "\x1A");
        add(h, "UTF-8 without byte-order mark", kRecord.repeated(2).replace(sjis("秒"), "秒"), 321, u"Shift_JIS"_s);
        add(h, "32,766 records", kRecord.repeated(32766), 0, u"rows=32766 start =* end save rows=32766 exits= box=保存(!)"_s);

        const QString &d = kDictionary;
        add(d, "a link to /dev/zero", kDevice, 75, u"通常のファイルではありません"_s);
        const QByteArray idioms = sjis("一石二鳥\r\n四面楚歌\r\n温故知新\r\n");
        add(d, "32,768 entries", idioms.repeated(32766 / 3) + sjis("一期一会\r\n花鳥風月\r\n"), 6, u"32767"_s);
        add(d, "empty", "", 0, u"dictionary=登録四字熟語_0個: start boxes=スタートチェック phase=idle"_s);
        // A blank entry is listed but never asked.
        add(d, "blanks, quotes, an empty line and Ctrl-Z", sjis(" 一石二鳥\t\r\n\"一石二鳥,温故知新\"\r\n\r\n温故知新\r\n\x1A"),
            0, u"dictionary=登録四字熟語_4個:一石二鳥,一石二鳥,温故知新,,温故知新 type:0:隠さない r:0.6 start cells=一石二鳥"_s);
        add(d, "UTF-8 with byte-order mark", "\xEF\xBB\xBF一石二鳥\r\n温故知新", 0,
            u"dictionary=登録四字熟語_2個:一石二鳥,温故知新 type:0:隠さない start cells=一石二鳥"_s);
        add(d, "UTF-8 byte-order mark before ASCII alone", "\xEF\xBB\xBF" "abcd\r\n", 0, u"dictionary=登録四字熟語_1個:abcd"_s);
        // Cells hold characters, not UTF-16 units.
        add(d, "UTF-8 without byte-order mark", "𠮟咤激励\r\n一石二鳥\r\n", 0,
            u"dictionary=登録四字熟語_2個:𠮟咤激励,一石二鳥 type:0:隠さない start cells=𠮟咤激励"_s);
        add(d, "32,767 entries", idioms.repeated(32766 / 3) + sjis("一期一会\r\n"), 0, u"dictionary~=32767個 start phase=playing"_s);
    }

    void everyFileEndsInAStartOrAReport()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QFETCH(QString, then);
        QFETCH(QByteArray, after);
        FormFixture f;
        f.sandbox.writeDefaults();
        f.sandbox.remove(file);
        const QString path = QDir(f.sandbox.path()).filePath(file);
        if (bytes == kFolder)
            QDir(f.sandbox.path()).mkdir(file);
        else if (bytes == kFifo)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (bytes == kDevice)
            QVERIFY(QFile::link("/dev/zero", path));
        else if (bytes != kMissing)
            f.sandbox.write(file, bytes);
        QList<QByteArray> expected = snapshot(f.sandbox);
        f.load();
        QCOMPARE(snapshot(f.sandbox), expected);

        if (error != 0) {
            QCOMPARE(f.process.exits, QList<int>{1});
            QCOMPARE(f.messages.shown.size(), 1);
            const ShownBox &box = f.messages.shown.first();
            // Reading, not writing, failed; the box quotes no whole line.
            QVERIFY(box.icon == MsgIcon::Critical && box.text.startsWith(u"実行時エラー '%1'"_s.arg(error))
                    && box.text.size() < 400);
            const QStringList words = then.split(u' ', Qt::SkipEmptyParts) << u"ファイル: "_s + file
                                                                           << u"読み込みに失敗しました。"_s;
            for (const QString &word : words)
                QVERIFY2(box.text.contains(word), qPrintable(box.text));
            QCOMPARE(f.form->isVisible(), file != kHistory);   // the history is read before the window shows
            return;
        }
        const QString script = u"boxes= exits= "_s + then;
        QCOMPARE(f.play(script), script.simplified().split(u' '));
        if (after != kUnchanged)
            expected[kFiles.indexOf(file)] = after;
        QCOMPARE(snapshot(f.sandbox), expected);
    }

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

QTEST_MAIN(TestWindow)
#include "test_window.moc"
