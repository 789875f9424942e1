// Whole games as a player plays them, with the clock, the draws and the
// message boxes in the test's hand.

#include "form_fixture.h"
#include "platform/controls.h"
#include "platform/flexgrid.h"
#include "platform/runtime_error.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

QStringList items(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

int hiddenCells(const frmMain &w)
{
    int hidden = 0;
    for (int i = 1; i <= 4; ++i) {
        const bool closed = w.lblMondai[i]->backColor().rgb() == w.buttonFace().rgb();
        if (closed != w.lblMondai[i]->text().isEmpty())
            return -1;   // a cell that is neither open nor closed
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
    void designationFollowsTheCellColour();
    void solvedListShowsTheQuestionAsSeen();
    void escAndHintRevealWithoutCounting();
    void missWhileTheClockEndsTheGame();
    void sModeRefusalLeavesTheCountersAlone();
    void emptyDictionaryRefusesTheStart();
    void enterBeforeAnyIdiomIsIgnored();
    void answersOutsideAGameStillCount();
    void saveGuardAndRepeatedSaves();
    void timeBarShrinksOverTheGame();
    void gameAcrossMidnightEndsOnTime();
    void failedAutoSaveWarnsAndKeepsNoPhantomRow();
    void failedManualSaveEndsTheProgram();
    void longIdiomShowsFourAndNeedsTheWhole();
};

void TestGame::wholeGameEndsInTheSavedRecord()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"), sjis("10,1,\"0:隠さない\"\r\n"));
    frmMain &w = *f.form;

    f.startGame();
    QCOMPARE(f.cells(), QStringLiteral("一石二鳥"));
    QVERIFY(w.state.Playing);
    QVERIFY(!w.cmdStart->isEnabled());

    f.answer(QStringLiteral("一石二鳥"));
    f.answer(QStringLiteral("いっせきにちょう"));
    f.answer(QStringLiteral("一石二鳥"));
    QCOMPARE(w.lblOk->text(), QStringLiteral("2"));
    QCOMPARE(w.lblNg->text(), QStringLiteral("1"));
    QCOMPARE(f.messages.titles(), QStringList{QStringLiteral("間違い")});
    QCOMPARE(f.messages.shown[0].text, QStringLiteral("違います！！"));
    QCOMPARE(f.messages.shown[0].icon, MsgIcon::Critical);

    f.runOutTheClock();
    QVERIFY(!w.state.Playing);
    QVERIFY(w.cmdStart->isEnabled());
    QCOMPARE(w.lblMoji_T->text(), QStringLiteral("8"));
    QCOMPARE(w.lblByou->text(), QStringLiteral("0.80/秒"));
    QCOMPARE(w.lblRitu->text(), QStringLiteral("66.7%"));
    QCOMPARE(w.shpJikanK->widthTwips(), 0);

    // "2026/05/06","21:03:15",3,2,1,"66.7%","0.80/秒","10秒","0" CR LF in CP932
    const QByteArray expected = QByteArray("\"2026/05/06\",\"21:03:15\",3,2,1,\"66.7%\",\"0.80/")
                                + QByteArray("\x95\x62\",\"10\x95\x62\",\"0\"\r\n");
    QCOMPARE(f.sandbox.read(kHistory), expected);
    QCOMPARE(w.msgRireki->Rows(), 2);
    QCOMPARE(w.msgRireki->TextMatrix(1, 0), QStringLiteral("1"));
    QCOMPARE(w.msgRireki->TextMatrix(1, 7), QStringLiteral("0.80/秒"));
    QVERIFY(f.process.exits.isEmpty());
}

void TestGame::countdownShowsThreePicturesThenTheFirstIdiom()
{
    FormFixture f;
    f.loadWith(sjis("温故知新\r\n"));
    frmMain &w = *f.form;
    w.tmrStart_Timer();   // idle ticks do nothing
    QCOMPARE(w.state.StartCount, qint16(0));

    w.cmdStart->click();
    QVERIFY(w.state.StartWait);
    QVERIFY(!w.frmRireki->isHidden());
    QCOMPARE(w.lblOk->text(), QStringLiteral("0"));
    for (int tick = 1; tick <= 3; ++tick) {
        QVERIFY(w.state.Mondai.isEmpty());
        w.tmrStart_Timer();
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(w.imgStart[i]->isHidden(), i != tick);
    }
    QCOMPARE(w.state.Mondai, QStringLiteral("温故知新"));
    QVERIFY(!w.state.StartWait);
    QVERIFY(w.state.Playing);
    QCOMPARE(w.state.JikanEnd, 36000 + 60);
    w.tmrStart_Timer();
    QCOMPARE(w.state.StartCount, qint16(0));
    QVERIFY(!w.imgStart[3]->isHidden());   // the last picture stays
}

void TestGame::eachModeHidesItsNumberOfCells_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("hidden");
    QTest::newRow("easy") << "1:イージー" << 1;
    QTest::newRow("normal") << "2:ノーマル" << 2;
    QTest::newRow("hard") << "3:ハード" << 3;
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
    for (float r : {0.0f, 0.3f, 0.6f, 0.99f}) {
        f.random.fallback = r;
        f.startGame();
        QCOMPARE(hiddenCells(*f.form), hidden);
        f.answer(f.form->state.Mondai);   // the next question too
        QCOMPARE(hiddenCells(*f.form), hidden);
        f.runOutTheClock();
    }
}

void TestGame::designatedCellsStayOpenAcrossGames()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    frmMain &w = *f.form;
    w.cboHide->setEditText(QStringLiteral("S:指定"));
    w.cboHide_Click();
    QCOMPARE(f.messages.shown.last().title, QStringLiteral("表示部指定"));
    w.lblMondai_Click(1);
    w.lblMondai_Click(4);
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
    // Picking the mode again closes the cells and their designations together.
    w.cboHide_Click();
    QCOMPARE(w.state.Mado, (std::array<bool, 5>{}));
    w.cmdStart_Click();
    QCOMPARE(f.messages.shown.last().title, QStringLiteral("スタートチェック"));
    QVERIFY(!w.state.StartWait);
}

void TestGame::designationFollowsTheCellColour()
{
    FormFixture f;
    f.loadWith({});
    frmMain &w = *f.form;
    w.lblMondai_Click(2);   // not the S mode: nothing
    QCOMPARE(w.state.Mado[2], false);
    w.cboHide->setEditText(QStringLiteral("Sで始まる"));
    w.lblMondai_Click(2);
    QCOMPARE(w.state.Mado[2], true);
    w.lblMondai_Click(2);
    QCOMPARE(w.state.Mado[2], false);
    QCOMPARE(w.lblMondai[2]->backColor().rgb(), w.buttonFace().rgb());
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
    f.form->lblHint_Click();
    f.answer(QStringLiteral("四面楚歌"));
    QCOMPARE(items(f.form->lstRireki),
             (QStringList{QStringLiteral("□□□歌"), QStringLiteral("四面楚歌")}));
    QCOMPARE(f.form->state.MojiCount, qint16(8));
}

void TestGame::escAndHintRevealWithoutCounting()
{
    FormFixture f;
    f.loadWith(sjis("温故知新\r\n"));
    f.form->cboHide->setEditText(QStringLiteral("3:ハード"));
    f.startGame();
    QCOMPARE(hiddenCells(*f.form), 3);
    f.pressKey(Qt::Key_Escape);
    QCOMPARE(f.cells(), QStringLiteral("温故知新"));
    // Revealed characters stand on the closed cells' colour.
    QCOMPARE(hiddenCells(*f.form), -1);
    QCOMPARE(f.form->state.OkCount, qint16(0));
    QCOMPARE(f.form->state.NgCount, qint16(0));
    QVERIFY(f.messages.shown.isEmpty());
}

void TestGame::missWhileTheClockEndsTheGame()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"), sjis("30,1,\"0:隠さない\"\r\n"));
    frmMain &w = *f.form;
    f.startGame();
    f.answer(QStringLiteral("一石二鳥"));
    f.messages.whileOpen = [&](const ShownBox &box) {
        if (box.title != QStringLiteral("間違い"))
            return;
        f.runOutTheClock();   // the game ends and saves while the box is up
    };
    f.answer(QStringLiteral("一石三鳥"));
    QVERIFY(!w.state.Playing);
    QCOMPARE(w.lblNg->text(), QStringLiteral("1"));
    QCOMPARE(w.lblRitu->text(), QStringLiteral("100.0%"));   // the miss came after the end
    QVERIFY(f.sandbox.read(kHistory).contains(",1,1,0,\"100.0%\","));
}

void TestGame::sModeRefusalLeavesTheCountersAlone()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    frmMain &w = *f.form;
    f.startGame();
    f.answer(QStringLiteral("一石二鳥"));
    f.answer(QStringLiteral("x"));
    f.runOutTheClock();
    w.cboHide->setEditText(QStringLiteral("S:指定"));
    w.txtKaitou->setText(QStringLiteral("typed"));
    w.cmdStart_Click();
    const ShownBox box = f.messages.shown.last();
    QCOMPARE(box.text, QStringLiteral("Ｓ：指定モードの場合は、いずれか一つ以上の窓は開いてください。"));
    QCOMPARE(box.title, QStringLiteral("スタートチェック"));
    QCOMPARE(box.icon, MsgIcon::Exclamation);
    QCOMPARE(w.state.MojiCount, qint16(0));
    QCOMPARE(w.state.OkCount, qint16(1));
    QCOMPARE(w.state.NgCount, qint16(1));
    QVERIFY(w.txtKaitou->text().isEmpty());
    QCOMPARE(w.lblRitu->text(), QStringLiteral("50.0%"));
    QVERIFY(w.cmdStart->isEnabled());
    // A save now records the previous game with no characters.
    w.cmdHozon_Click();
    QVERIFY(f.sandbox.read(kHistory).contains(",2,1,1,\"50.0%\",\"0.00/"));
}

void TestGame::emptyDictionaryRefusesTheStart()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    frmMain &w = *f.form;
    f.startGame();
    f.runOutTheClock();
    f.sandbox.write(kDictionary, QByteArray());
    w.cmdStart_Click();
    QCOMPARE(f.messages.shown.last().title, QStringLiteral("スタートチェック"));
    QVERIFY(f.messages.shown.last().text.contains(QStringLiteral("辞書.txt")));
    QVERIFY(!w.state.StartWait);
    QVERIFY(w.cmdStart->isEnabled());
    // The previous idiom can still be answered without reading past the end.
    f.answer(QStringLiteral("一石二鳥"));
    QCOMPARE(w.state.Mondai, QStringLiteral("一石二鳥"));
}

void TestGame::enterBeforeAnyIdiomIsIgnored()
{
    FormFixture f;
    f.loadWith({});
    f.answer(QString());
    f.form->cmdStart_Click();
    f.answer(QString());   // during the countdown
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(f.form->state.NgCount, qint16(0));
    QCOMPARE(f.form->state.OkCount, qint16(0));
}

void TestGame::answersOutsideAGameStillCount()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    f.startGame();
    f.runOutTheClock();
    f.answer(QStringLiteral("一石二鳥"));
    f.answer(QString());
    QCOMPARE(f.form->state.OkCount, qint16(1));
    QCOMPARE(f.form->state.NgCount, qint16(1));
}

void TestGame::saveGuardAndRepeatedSaves()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    frmMain &w = *f.form;
    w.cmdHozon_Click();                 // before any game
    w.cmdStart_Click();
    w.cmdHozon_Click();                 // starting
    for (int i = 0; i < 3; ++i)
        w.tmrStart_Timer();
    f.answer(QStringLiteral("一石二鳥"));
    w.cmdHozon_Click();                 // playing
    QCOMPARE(f.sandbox.read(kHistory), QByteArray());
    QCOMPARE(w.msgRireki->Rows(), 1);

    f.runOutTheClock();
    for (int i = 0; i < 7; ++i)
        w.cmdHozon_Click();
    QCOMPARE(f.sandbox.read(kHistory).count("\r\n"), 7);
    QCOMPARE(w.msgRireki->Rows(), 8);
    QCOMPARE(w.msgRireki->TextMatrix(7, 0), QStringLiteral("7"));
    QCoreApplication::processEvents();
    QVERIFY(w.msgRireki->TopRow() > 1);
    QVERIFY(rowInView(w.msgRireki, 7));
}

void TestGame::timeBarShrinksOverTheGame()
{
    FormFixture f;
    f.loadWith({});
    frmMain &w = *f.form;
    w.shpJikanK->setWidthTwips(100);
    w.cmdStart_Click();
    QCOMPARE(w.shpJikanK->widthTwips(), 8745);
    for (int i = 0; i < 3; ++i)
        w.tmrStart_Timer();
    f.clock.seconds += 20;
    w.tmrBp_Timer();
    QCOMPARE(w.state.JikanNokori, qint16(40));
    QCOMPARE(w.shpJikanK->widthTwips(), 5829);   // floor(40 / 60 * 100 * 8745 / 100) in double
    f.clock.seconds += 45;   // a late tick
    w.tmrBp_Timer();
    QCOMPARE(w.shpJikanK->widthTwips(), 0);
    QVERIFY(!w.state.Playing);
}

void TestGame::gameAcrossMidnightEndsOnTime()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kSettings, sjis("30,0,\"2:ノーマル\"\r\n"));
    f.load();
    frmMain &w = *f.form;
    f.clock.seconds = 86390.5;
    f.startGame();
    f.clock.seconds = 5.0;   // 15 s later
    w.tmrBp_Timer();
    QVERIFY(w.state.Playing);
    QCOMPARE(w.state.JikanNokori, qint16(15));
    f.clock.seconds = 20.0;
    w.tmrBp_Timer();
    QVERIFY(!w.state.Playing);
}

void TestGame::failedAutoSaveWarnsAndKeepsNoPhantomRow()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"), sjis("10,1,\"2:ノーマル\"\r\n"));
    frmMain &w = *f.form;
    f.startGame();
    f.answer(QStringLiteral("一石二鳥"));
    // A folder where the history file should be: the append cannot open it.
    f.sandbox.remove(kHistory);
    QVERIFY(QDir(f.sandbox.path()).mkdir(kHistory));
    f.runOutTheClock();
    QVERIFY(!w.state.Playing);
    QCOMPARE(w.lblRitu->text(), QStringLiteral("100.0%"));
    const ShownBox box = f.messages.shown.last();
    QCOMPARE(box.icon, MsgIcon::Exclamation);
    QVERIFY(box.text.contains(kHistory));
    QCOMPARE(w.msgRireki->Rows(), 1);
    QVERIFY(f.process.exits.isEmpty());
}

void TestGame::failedManualSaveEndsTheProgram()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    frmMain &w = *f.form;
    f.startGame();
    f.answer(QStringLiteral("一石二鳥"));
    f.runOutTheClock();
    f.sandbox.remove(kHistory);
    QVERIFY(QDir(f.sandbox.path()).mkdir(kHistory));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, w.cmdHozon_Click());
    w.cmdHozon->click();   // through the boundary, as the player presses it
    QCOMPARE(f.process.exits, QList<int>{1});
    QCOMPARE(f.messages.shown.last().icon, MsgIcon::Critical);
    QVERIFY(f.messages.shown.last().text.contains(kHistory));
}

void TestGame::longIdiomShowsFourAndNeedsTheWhole()
{
    FormFixture f;
    f.loadWith(sjis("一日千秋の思い\r\n"), sjis("60,0,\"0:隠さない\"\r\n"));
    f.startGame();
    QCOMPARE(f.cells(), QStringLiteral("一日千秋"));
    f.answer(QStringLiteral("一日千秋"));
    QCOMPARE(f.form->state.NgCount, qint16(1));
    f.answer(QStringLiteral("一日千秋の思い"));
    QCOMPARE(f.form->state.OkCount, qint16(1));
    QCOMPARE(f.form->state.MojiCount, qint16(7));
}

QTEST_MAIN(TestGame)
#include "test_game.moc"
