// What a screen reader is told: names that follow the game and the time bar as
// seconds left. The whole tree and the keyboard stops are read over the real
// accessibility bus by tests/e2e/test_accessibility.sh.

#include "form_fixture.h"
#include "app/accessibility.h"
#include "game/rules.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"

#include <QAccessible>
#include <QApplication>
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
    void cellsSayTheirCharacterOrThatTheyAreHidden();
    void designatedCellSaysItIsOpen();
    void secondsLeftInvertTheBarForEveryLength_data();
    void secondsLeftInvertTheBarForEveryLength();
    void timeBarReportsSecondsLeft();
    void statisticsNameTheirValues();
};

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

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
