// The window as the player meets it: scripted ways through it from startup to
// exit, the study files included, with the clock, the draws and the message
// boxes in the test's hand (see FormFixture::play); its design, focus order
// and rendering.

#include "form_fixture.h"
#include "app/accessibility.h"
#include "game/rules.h"

#include <QApplication>
#include <QFontInfo>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>

using namespace sumiraku;
using namespace sumiraku::testing;
using namespace Qt::StringLiterals;

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
        // The seconds a screen reader hears invert the bar for every play time.
        for (int playByou = 1; playByou <= 1000; ++playByou) {
            for (int s = 0; s <= playByou; ++s)
                QCOMPARE(secondsLeftOnBar(barWidth(qint16(s), qint16(playByou), 8745), playByou, 8745), s);
        }
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
