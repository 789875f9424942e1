// What a screen reader is told: names that follow the game, the time bar as
// seconds left, and the keyboard stops after the designed focus order.

#include "form_fixture.h"
#include "app/accessibility.h"
#include "game/rules.h"
#include "platform/controls.h"
#include "platform/flexgrid.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

QString accessibleText(QWidget *widget, QAccessible::Text t)
{
    return QAccessible::queryAccessibleInterface(widget)->text(t);
}

QStringList cellNames(frmMain &w)
{
    QStringList names;
    for (int i = 1; i <= 4; ++i)
        names << accessibleText(w.lblMondai[i], QAccessible::Name);
    return names;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void everyControlIsNamedAndDescribed();
    void cellsSayTheirCharacterOrThatTheyAreHidden();
    void designatedCellSaysItIsOpen();
    void secondsLeftInvertTheBarForEveryLength_data();
    void secondsLeftInvertTheBarForEveryLength();
    void timeBarReportsSecondsLeft();
    void statisticsNameTheirValues();
    void statisticsAndTimeBarAreTabStopsAfterTheDesignedOrder();
};

void TestAccessibility::everyControlIsNamedAndDescribed()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    frmMain &w = *f.form;
    QList<QWidget *> controls = {&w, w.Image1, w.cmdStart, w.cmdHozon, w.cmdClear, w.cmdHelp,
                                 w.cmdEnd, w.Line1[0], w.Line1[1], w.lstHide, w.Frame1,
                                 w.imgStart[1], w.imgStart[2], w.imgStart[3], w.Label1[1],
                                 w.cboJikan, w.chkAs, w.Frame2, w.shpJikanK, w.shpJikanB,
                                 w.Label2[0], w.cboHide, w.Label2[1], w.txtKaitou, w.fraJisyo,
                                 w.lstJisyo, w.frmRireki, w.lstRireki, w.lblHint, w.msgRireki,
                                 w.lblOk, w.lblNg, w.lblMoji_T, w.lblRitu, w.lblByou};
    for (int i = 1; i <= 4; ++i)
        controls << w.lblMondai[i];
    for (QWidget *c : controls) {
        // On Linux a combo box's accessible name is its text; its own name
        // is kept for the other platforms and its label's relation.
        const QString name = qobject_cast<PickCombo *>(c) ? c->accessibleName()
                                                          : accessibleText(c, QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(c->objectName()));
        QVERIFY2(!accessibleText(c, QAccessible::Description).isEmpty(), qPrintable(c->objectName()));
    }
    QCOMPARE(accessibleText(w.cmdStart, QAccessible::Name), QStringLiteral("スタート"));
    QCOMPARE(accessibleText(w.cmdStart, QAccessible::Description), QStringLiteral("ゲームをスタートします"));
    QCOMPARE(w.Label2[1]->buddy(), w.txtKaitou);
    QCOMPARE(accessibleText(w.txtKaitou, QAccessible::Name), QStringLiteral("解答"));
}

void TestAccessibility::cellsSayTheirCharacterOrThatTheyAreHidden()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"), sjis("10,0,\"3:ハード\"\r\n"));
    frmMain &w = *f.form;
    const QStringList closed = {QStringLiteral("問題 1: 隠れています"), QStringLiteral("問題 2: 隠れています"),
                                QStringLiteral("問題 3: 隠れています"), QStringLiteral("問題 4: 隠れています")};
    QCOMPARE(cellNames(w), closed);

    f.startGame();   // the random source hides cells 1, 2 and 3
    QCOMPARE(cellNames(w), QStringList(closed.mid(0, 3)) << QStringLiteral("問題 4: 鳥"));
    f.pressKey(Qt::Key_Escape);   // the hint shows the characters on closed cells
    QCOMPARE(cellNames(w), (QStringList{QStringLiteral("問題 1: 一"), QStringLiteral("問題 2: 石"),
                                        QStringLiteral("問題 3: 二"), QStringLiteral("問題 4: 鳥")}));
}

void TestAccessibility::designatedCellSaysItIsOpen()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"), sjis("10,0,\"S:指定\"\r\n"));
    frmMain &w = *f.form;
    w.lblMondai_Click(2);   // white and still blank: it will show in the game
    QCOMPARE(accessibleText(w.lblMondai[2], QAccessible::Name), QStringLiteral("問題 2: 開いています"));
    w.lblMondai_Click(2);
    QCOMPARE(accessibleText(w.lblMondai[2], QAccessible::Name), QStringLiteral("問題 2: 隠れています"));
}

void TestAccessibility::secondsLeftInvertTheBarForEveryLength_data()
{
    QTest::addColumn<int>("playByou");
    for (int p = 10; p <= 180; p += 10)
        QTest::addRow("%d s", p) << p;
    QTest::addRow("typed 7 s") << 7;
    QTest::addRow("typed 1000 s") << 1000;
}

void TestAccessibility::secondsLeftInvertTheBarForEveryLength()
{
    QFETCH(int, playByou);
    const qint16 full = 8745;
    for (int s = 0; s <= playByou; ++s) {
        const int width = barWidth(qint16(s), qint16(playByou), full);
        QCOMPARE(secondsLeftOnBar(width, playByou, full), s);
    }
}

void TestAccessibility::timeBarReportsSecondsLeft()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"), sjis("30,0,\"0:隠さない\"\r\n"));
    frmMain &w = *f.form;
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(w.shpJikanK);
    QCOMPARE(bar->role(), QAccessible::ProgressBar);
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("残り時間"));
    QAccessibleValueInterface *value = bar->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->maximumValue().toInt(), 30);

    f.startGame();
    QCOMPARE(value->currentValue().toInt(), 30);
    f.clock.seconds += 7;
    w.tmrBp_Timer();
    QCOMPARE(value->currentValue().toInt(), 23);
    QCOMPARE(bar->text(QAccessible::Value), QStringLiteral("残り 23 秒"));
    f.runOutTheClock();
    QCOMPARE(value->currentValue().toInt(), 0);
}

void TestAccessibility::statisticsNameTheirValues()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"), sjis("10,0,\"0:隠さない\"\r\n"));
    frmMain &w = *f.form;
    QCOMPARE(accessibleText(w.lblOk, QAccessible::Name), QStringLiteral("正解数"));
    f.startGame();
    f.answer(QStringLiteral("一石二鳥"));
    QCOMPARE(accessibleText(w.lblOk, QAccessible::Name), QStringLiteral("正解数: 1"));
    QCOMPARE(accessibleText(w.lblNg, QAccessible::Name), QStringLiteral("不正解数: 0"));
    f.runOutTheClock();
    QCOMPARE(accessibleText(w.Frame2, QAccessible::Name), QStringLiteral("成績"));
    QCOMPARE(accessibleText(w.Frame2, QAccessible::Description),
             QStringLiteral("正解数: 1、不正解数: 0、入力文字数: 4、正解率: 100.0%、秒当たり入力文字数: 0.40/秒"));
}

void TestAccessibility::statisticsAndTimeBarAreTabStopsAfterTheDesignedOrder()
{
    FormFixture f;
    frmMain &w = *f.form;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto *ring = w.findChild<QFocusFrame *>();
    QVERIFY(ring);
    w.cboJikan->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.Frame2);
    QCOMPARE(ring->widget(), w.Frame2);
    QTest::keyClick(w.Frame2, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.shpJikanK);
    QCOMPARE(ring->widget(), w.shpJikanK);
    QTest::keyClick(w.shpJikanK, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.cmdStart);
    QVERIFY(!ring->widget());

    // A click on the statistics leaves the focus in the answer box.
    w.txtKaitou->setFocus();
    QTest::mouseClick(w.Frame2, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), w.txtKaitou);
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
