// The three settings controls: a pick by the player rewrites the whole
// settings file from the state of all three; nothing else writes it.

#include "form_fixture.h"
#include "platform/controls.h"

#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {
}

class TestSettingsControls : public QObject {
    Q_OBJECT

private slots:
    void pickingATimeRewritesTheFile();
    void togglingAutoSaveWritesOnlyItsField();
    void pickingTheSModeClosesTheCellsAndAsks();
    void pickingAnotherModeLeavesTheCells();
    void typedTextIsStoredByTheNextWrite();
    void typingAloneWritesNothing();
};

void TestSettingsControls::pickingATimeRewritesTheFile()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kSettings, sjis("60,1,\"2:ノーマル\"\r\n"));
    f.load();
    f.form->cboJikan->setCurrentIndex(3);   // "40": set from code, no click
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,1,\"2:ノーマル\"\r\n"));
    QTest::keyClick(f.form->cboJikan, Qt::Key_Up);   // the player picks "30"
    QCOMPARE(f.form->cboJikan->currentText(), QStringLiteral("30"));
    QCOMPARE(f.form->state.PlayByou, qint16(30));
    QCOMPARE(f.sandbox.read(kSettings), QByteArray("30,1,\"2:") + sjis("ノーマル\"\r\n"));
}

void TestSettingsControls::togglingAutoSaveWritesOnlyItsField()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kSettings, sjis("45,1,\"R:ランダム\"\r\n"));
    f.load();
    f.form->chkAs->click();
    QCOMPARE(f.form->state.AutoSave, qint16(0));
    QCOMPARE(f.sandbox.read(kSettings), sjis("45,0,\"R:ランダム\"\r\n"));
    f.form->chkAs->click();
    QCOMPARE(f.sandbox.read(kSettings), sjis("45,1,\"R:ランダム\"\r\n"));
}

void TestSettingsControls::pickingTheSModeClosesTheCellsAndAsks()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"), sjis("60,0,\"R:ランダム\"\r\n"));
    f.form->cboHide->setEditText(QStringLiteral("0:隠さない"));
    f.startGame();
    QCOMPARE(f.cells(), QStringLiteral("一石二鳥"));
    f.form->cboHide->setCurrentIndex(3);   // R
    QTest::keyClick(f.form->cboHide, Qt::Key_Down);
    QCOMPARE(f.form->cboHide->currentText(), QStringLiteral("S:指定"));
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,0,\"S:指定\"\r\n"));
    QCOMPARE(f.cells(), QStringLiteral("□□□□"));
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(f.form->lblMondai[i]->backColor().rgb(), f.form->buttonFace().rgb());
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown[0].text, QStringLiteral("表示させたい窓をクリックしてください"));
    QCOMPARE(f.messages.shown[0].title, QStringLiteral("表示部指定"));
    QCOMPARE(f.messages.shown[0].icon, MsgIcon::Information);
}

void TestSettingsControls::pickingAnotherModeLeavesTheCells()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    f.form->cboHide->setEditText(QStringLiteral("0:隠さない"));
    f.startGame();
    f.form->cboHide->setCurrentIndex(1);
    QTest::keyClick(f.form->cboHide, Qt::Key_Down);   // 3:ハード
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,0,\"3:ハード\"\r\n"));
    QCOMPARE(f.cells(), QStringLiteral("一石二鳥"));
    QVERIFY(f.messages.shown.isEmpty());
}

void TestSettingsControls::typedTextIsStoredByTheNextWrite()
{
    FormFixture f;
    f.loadWith({});
    f.form->cboHide->setEditText(QStringLiteral("\"引用\"モード"));
    f.form->chkAs->click();
    // Quotes inside the text are written as they are.
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,1,\"\"引用\"モード\"\r\n"));
}

void TestSettingsControls::typingAloneWritesNothing()
{
    FormFixture f;
    f.loadWith({});
    f.form->cboJikan->lineEdit()->selectAll();
    QTest::keyClicks(f.form->cboJikan->lineEdit(), "90");
    QTest::keyClick(f.form->cboJikan, Qt::Key_Return);
    f.form->cboJikan->clearFocus();
    QCOMPARE(f.form->state.PlayByou, qint16(60));
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,0,\"2:ノーマル\"\r\n"));
}

QTEST_MAIN(TestSettingsControls)
#include "test_settings_controls.moc"
