// Whole games as a player plays them, with the clock, the draws and the
// message boxes in the test's hand.

#include "form_fixture.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "runtime/runtime_error.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

const QByteArray kIchiseki = sjis("一石二鳥\r\n");

QStringList items(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Closed cells, or -1 when a cell is neither open nor closed.
int hiddenCells(const frmMain &w)
{
    int hidden = 0;
    for (int i = 1; i <= 4; ++i) {
        const bool closed = w.lblMondai[i]->backColor().rgb() == w.buttonFace().rgb();
        if (closed != w.lblMondai[i]->text().isEmpty())
            return -1;
        hidden += closed;
    }
    return hidden;
}

} // namespace

class TestGame : public QObject {
    Q_OBJECT

private slots:
    void wholeGameEndsInTheSavedRecord();
    void countdownShowsThreePicturesThenTheFirstIdiom();
    void eachModeHidesItsNumberOfCells_data();
    void eachModeHidesItsNumberOfCells();
    void designatedCellsStayOpenAcrossGames();
    void solvedListShowsTheQuestionAsSeen();
    void enterIsJudgedOnlyOnceAnIdiomIsDrawn();
    void saveGuardAndRepeatedSaves();
    void timeBarShrinksAndRunsPastMidnight();
    void failedSaves();
    void longIdiomShowsFourAndNeedsTheWhole();
};

void TestGame::wholeGameEndsInTheSavedRecord()
{
    FormFixture f;
    f.loadWith(kIchiseki, sjis("10,1,\"0:隠さない\"\r\n"));
    frmMain &w = *f.form;
    f.startGame();
    QCOMPARE(f.cells(), QStringLiteral("一石二鳥"));
    f.answer(QStringLiteral("一石二鳥"));
    f.answer(QStringLiteral("いっせきにちょう"));
    QCOMPARE(f.messages.shown.last().text, QStringLiteral("違います！！"));
    QCOMPARE(w.lblOk->text() + w.lblNg->text(), QStringLiteral("11"));
    // A miss whose box is open when the clock ends counts after the end.
    f.messages.whileOpen = [&f](const ShownBox &) { f.runOutTheClock(); };
    f.answer(QStringLiteral("一石三鳥"));
    QVERIFY(!w.state.Playing);
    QVERIFY(w.cmdStart->isEnabled());
    QCOMPARE(w.lblNg->text() + w.lblMoji_T->text() + w.lblRitu->text(), QStringLiteral("2450.0%"));
    // "2026/05/06","21:03:15",2,1,1,"50.0%","0.40/秒","10秒","0" CR LF, 秒 = 95 62
    QCOMPARE(f.sandbox.read(kHistory),
             QByteArray("\"2026/05/06\",\"21:03:15\",2,1,1,\"50.0%\",\"0.40/\x95\x62\",\"10\x95\x62\",\"0\"\r\n"));
    QCOMPARE(w.msgRireki->TextMatrix(1, 7), QStringLiteral("0.40/秒"));
}

void TestGame::countdownShowsThreePicturesThenTheFirstIdiom()
{
    FormFixture f;
    f.loadWith(sjis("温故知新\r\n"));
    frmMain &w = *f.form;
    w.cmdStart->click();
    for (int tick = 1; tick <= 3; ++tick) {
        QVERIFY(w.state.Mondai.isEmpty());
        w.tmrStart_Timer();
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(w.imgStart[i]->isHidden(), i != tick);
    }
    QCOMPARE(w.state.Mondai, QStringLiteral("温故知新"));
    QVERIFY(w.state.Playing && !w.state.StartWait);
    w.tmrStart_Timer();
    QVERIFY(!w.imgStart[3]->isHidden());   // the last picture stays
}

void TestGame::eachModeHidesItsNumberOfCells_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("hidden");
    QTest::newRow("easy") << "1:イージー" << 1;
    QTest::newRow("none") << "0:隠さない" << 0;
    QTest::newRow("typed 7") << "7" << 3;
}

void TestGame::eachModeHidesItsNumberOfCells()
{
    QFETCH(QString, mode);
    QFETCH(int, hidden);
    FormFixture f;
    f.loadWith({});
    f.form->cboHide->setEditText(mode);
    for (float r : {0.0f, 0.6f, 0.99f}) {
        f.random.fallback = r;
        f.startGame();   // also right after a game, with no idle tick between
        QCOMPARE(hiddenCells(*f.form), hidden);
        f.answer(f.form->state.Mondai);
        QCOMPARE(hiddenCells(*f.form), hidden);
        f.runOutTheClock();
    }
}

void TestGame::designatedCellsStayOpenAcrossGames()
{
    FormFixture f;
    f.loadWith(kIchiseki);
    frmMain &w = *f.form;
    w.lblMondai_Click(2);   // not the S mode: nothing
    QCOMPARE(w.state.Mado[2], false);
    w.cboHide->setEditText(QStringLiteral("S:指定"));
    w.cboHide_Click();
    for (int i : {1, 2, 2, 4})   // the second click on 2 closes it again
        w.lblMondai_Click(qint16(i));
    for (int game = 0; game < 2; ++game) {
        w.cmdStart_Click();
        QCOMPARE(w.lblMondai[1]->backColor().rgb(), frmMain::white().rgb());
        QCOMPARE(w.lblMondai[2]->backColor().rgb(), w.buttonFace().rgb());
        for (int i = 0; i < 3; ++i)
            w.tmrStart_Timer();
        QCOMPARE(f.cells(), QStringLiteral("一□□鳥"));
        f.answer(QStringLiteral("一石二鳥"));
        QCOMPARE(items(w.lstRireki), QStringList{QStringLiteral("一□□鳥")});
        f.runOutTheClock();
    }
    // Picking the mode again closes the cells and their designations together:
    // the start is refused, and the last game's counts stay for a save.
    w.cboHide_Click();
    w.txtKaitou->setText(QStringLiteral("typed"));
    w.cmdStart_Click();
    const ShownBox box = f.messages.shown.last();
    QCOMPARE(box.text, QStringLiteral("Ｓ：指定モードの場合は、いずれか一つ以上の窓は開いてください。"));
    QCOMPARE(box.icon, MsgIcon::Exclamation);
    QVERIFY(!w.state.StartWait && w.cmdStart->isEnabled());
    QVERIFY(w.txtKaitou->text().isEmpty());
    w.cmdHozon_Click();   // the last game, now with no characters
    QVERIFY(f.sandbox.read(kHistory).contains(",1,1,0,\"100.0%\",\"0.00/"));
}

void TestGame::solvedListShowsTheQuestionAsSeen()
{
    FormFixture f;
    f.loadWith(sjis("四面楚歌\r\n"));
    f.form->cboHide->setEditText(QStringLiteral("3:ハード"));
    f.random.values = {0.9f /*draw*/, 0.0f, 0.0f, 0.0f /*cells 1,2,3*/};
    f.startGame();
    QCOMPARE(f.cells(), QStringLiteral("□□□歌"));
    f.answer(QStringLiteral("四面楚歌"));
    f.pressKey(Qt::Key_Escape);   // reveals on the closed cells' colour, counts nothing
    QCOMPARE(hiddenCells(*f.form), -1);
    QCOMPARE(f.form->state.OkCount, qint16(1));
    f.answer(QStringLiteral("四面楚歌"));
    f.form->lblHint_Click();
    f.answer(QStringLiteral("四面楚歌"));
    QCOMPARE(items(f.form->lstRireki),
             (QStringList{"□□□歌", "四面楚歌", "四面楚歌"}));
    QCOMPARE(f.form->state.MojiCount, qint16(12));
}

void TestGame::enterIsJudgedOnlyOnceAnIdiomIsDrawn()
{
    FormFixture f;
    f.loadWith(kIchiseki);
    frmMain &w = *f.form;
    f.answer(QString());         // before any idiom
    w.cmdStart_Click();
    f.answer(QString());         // during the countdown
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(w.state.NgCount, qint16(0));
    for (int i = 0; i < 3; ++i)
        w.tmrStart_Timer();
    f.runOutTheClock();
    f.answer(QStringLiteral("一石二鳥"));   // after the end: still judged
    QCOMPARE(w.state.OkCount, qint16(1));

    // An emptied dictionary refuses the next start and keeps the last idiom answerable.
    f.sandbox.write(kDictionary, QByteArray());
    w.cmdStart_Click();
    QCOMPARE(f.messages.shown.last().title, QStringLiteral("スタートチェック"));
    QVERIFY(f.messages.shown.last().text.contains(kDictionary));
    QVERIFY(!w.state.StartWait && w.cmdStart->isEnabled());
    f.answer(QStringLiteral("一石二鳥"));
    QCOMPARE(w.state.OkCount, qint16(2));
}

void TestGame::saveGuardAndRepeatedSaves()
{
    FormFixture f;
    f.loadWith(kIchiseki);
    frmMain &w = *f.form;
    w.cmdHozon_Click();   // before any game
    w.cmdStart_Click();
    w.cmdHozon_Click();   // starting
    for (int i = 0; i < 3; ++i)
        w.tmrStart_Timer();
    f.answer(QStringLiteral("一石二鳥"));
    w.cmdHozon_Click();   // playing
    QCOMPARE(f.sandbox.read(kHistory), QByteArray());
    QCOMPARE(w.msgRireki->Rows(), 1);

    f.runOutTheClock();
    for (int i = 0; i < 7; ++i)
        w.cmdHozon_Click();
    QCOMPARE(f.sandbox.read(kHistory).count("\r\n"), 7);
    QCOMPARE(w.msgRireki->TextMatrix(7, 0), QStringLiteral("7"));
    QCoreApplication::processEvents();
    QVERIFY(rowInView(w.msgRireki, 7));
}

void TestGame::timeBarShrinksAndRunsPastMidnight()
{
    FormFixture f;
    f.loadWith({}, sjis("60,0,\"2:ノーマル\"\r\n"));
    frmMain &w = *f.form;
    w.shpJikanK->setWidthTwips(100);
    f.clock.seconds = 86390.5;   // ten seconds before midnight
    w.cmdStart_Click();
    QCOMPARE(w.shpJikanK->widthTwips(), 8745);
    for (int i = 0; i < 3; ++i)
        w.tmrStart_Timer();
    f.clock.seconds = 10.0;      // 20 s in
    w.tmrBp_Timer();
    QCOMPARE(w.state.JikanNokori, qint16(40));
    QCOMPARE(w.shpJikanK->widthTwips(), 5829);   // floor(40 / 60 * 100 * 8745 / 100)
    f.clock.seconds = 55.0;      // a late tick
    w.tmrBp_Timer();
    QCOMPARE(w.shpJikanK->widthTwips(), 0);
    QVERIFY(!w.state.Playing);
}

void TestGame::failedSaves()
{
    FormFixture f;
    f.loadWith(kIchiseki, sjis("10,1,\"2:ノーマル\"\r\n"));
    frmMain &w = *f.form;
    f.startGame();
    f.answer(QStringLiteral("一石二鳥"));
    f.sandbox.remove(kHistory);
    QVERIFY(QDir(f.sandbox.path()).mkdir(kHistory));   // unwritable
    // Automatic: the game ends with its statistics, and the player is told.
    f.runOutTheClock();
    QCOMPARE(w.lblRitu->text(), QStringLiteral("100.0%"));
    QCOMPARE(f.messages.shown.last().icon, MsgIcon::Exclamation);
    QVERIFY(f.messages.shown.last().text.contains(kHistory));
    QCOMPARE(w.msgRireki->Rows(), 1);
    QVERIFY(f.process.exits.isEmpty());
    // By hand: an error that ends the program.
    QVERIFY_THROWS_EXCEPTION(RuntimeError, w.cmdHozon_Click());
    w.cmdHozon->click();
    QCOMPARE(f.process.exits, QList<int>{1});
    QCOMPARE(f.messages.shown.last().icon, MsgIcon::Critical);
}

void TestGame::longIdiomShowsFourAndNeedsTheWhole()
{
    FormFixture f;
    f.loadWith(sjis("一日千秋の思い\r\n"), sjis("60,0,\"0:隠さない\"\r\n"));
    f.startGame();
    QCOMPARE(f.cells(), QStringLiteral("一日千秋"));
    f.answer(QStringLiteral("一日千秋"));
    f.answer(QStringLiteral("一日千秋の思い"));
    QCOMPARE(f.form->state.NgCount + f.form->state.OkCount * 10, 11);
    QCOMPARE(f.form->state.MojiCount, qint16(7));
}

QTEST_MAIN(TestGame)
#include "test_game.moc"
