// The window as designed, before startup fills it: what later procedures read
// (places, looks, stacking, focus order) and how the controls report events.

#include "form_fixture.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QApplication>
#include <QFontInfo>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void controlsStandWhereTheDesignPutsThem_data();
    void controlsStandWhereTheDesignPutsThem();
    void designTimeStateThatProceduresRead();
    void focusOrderFollowsTheDesign();
    void bothTimersTickEverySecondFromCreation();
    void comboClicksOnlyForPicksFromTheList();
    void frameClicksOnlyOnItsOwnSurface();
    void cellClickReportsItsIndex();
    void answerBoxHandsEnterToTheHandlerAndNeverTypesIt();
};

void TestWindow::controlsStandWhereTheDesignPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // twips / 15, rounded, relative to the container
    QTest::newRow("cmdStart") << "cmdStart" << QRect(345, 10, 56, 61);
    QTest::newRow("cboHide") << "cboHide" << QRect(150, 75, 111, 27);
    QTest::newRow("txtKaitou") << "txtKaitou" << QRect(330, 75, 136, 27);
    QTest::newRow("msgRireki") << "msgRireki" << QRect(15, 215, 586, 131);
}

void TestWindow::controlsStandWhereTheDesignPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    FormFixture f;
    auto *widget = f.form->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->geometry(), pixels);
}

void TestWindow::designTimeStateThatProceduresRead()
{
    FormFixture f;
    frmMain &w = *f.form;
    QCOMPARE(w.minimumSize(), w.maximumSize());   // the size itself: the e2e window test
    QCOMPARE(w.cboHide->currentText(), QStringLiteral("Combo1"));
    QCOMPARE(w.lblHint->text(), QStringLiteral("\u3000問題"));
    // The design's face falls back to a Japanese Gothic with its metrics.
    QVERIFY(QStringList({"IPAPGothic", "Noto Sans CJK JP"}).contains(QFontInfo(w.lblMondai[1]->font()).family()));

    for (int i = 1; i <= 4; ++i)   // closed
        QCOMPARE(w.lblMondai[i]->backColor().rgb(), w.buttonFace().rgb());
    // The green bar lies over the red one.
    QCOMPARE(w.shpJikanK->geometry(), w.shpJikanB->geometry());
    const QObjectList siblings = w.Frame1->children();
    QVERIFY(siblings.indexOf(w.shpJikanK) > siblings.indexOf(w.shpJikanB));
    // The solved-questions panel lies hidden over the dictionary panel.
    QCOMPARE(w.frmRireki->geometry(), w.fraJisyo->geometry());
    QVERIFY(w.frmRireki->isHidden() && !w.fraJisyo->isHidden() && w.lstHide->isHidden());
    QVERIFY(siblings.indexOf(w.frmRireki) > siblings.indexOf(w.fraJisyo));
}

void TestWindow::focusOrderFollowsTheDesign()
{
    FormFixture f;
    frmMain &w = *f.form;
    w.show();
    w.frmRireki->show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QList<QWidget *> expected = {w.cmdStart, w.cmdHozon, w.cmdClear, w.cmdHelp, w.cmdEnd,
                                       w.chkAs, w.msgRireki, w.txtKaitou, w.lstJisyo,
                                       w.lstRireki, w.cboHide, w.cboJikan};
    w.cmdStart->setFocus();
    for (QWidget *want : expected) {
        QWidget *has = QApplication::focusWidget();
        QVERIFY2(has == want || (has && want->isAncestorOf(has)), qPrintable(want->objectName()));
        QTest::keyClick(has, Qt::Key_Tab);
    }
}

void TestWindow::bothTimersTickEverySecondFromCreation()
{
    FormFixture f(true);
    frmMain &w = *f.form;
    QVERIFY(w.tmrStart->isActive() && w.tmrBp->isActive());
    QCOMPARE(w.tmrStart->interval(), 1000);
    QCOMPARE(w.tmrBp->interval(), 1000);
    // At rest a tick changes nothing the player sees.
    w.tmrStart_Timer();
    w.tmrBp_Timer();
    QCOMPARE(w.state.StartCount, qint16(0));
    QCOMPARE(w.shpJikanK->widthTwips(), 8745);
    QVERIFY(f.messages.shown.isEmpty());
}

// Picks by arrow key and mouse are covered by the settings tests, unit and e2e.
void TestWindow::comboClicksOnlyForPicksFromTheList()
{
    FormFixture f;
    PickCombo *combo = f.form->cboJikan;
    combo->addItems({"10", "20", "30"});
    QSignalSpy clicks(combo, &PickCombo::clicked);
    combo->setEditText("20");               // text that names an entry, then Enter
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(combo->count(), 3);            // nothing joins the list
    combo->showPopup();                     // the list opened and closed without a pick
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(clicks.count(), 0);
    combo->showPopup();
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QCOMPARE(clicks.count(), 1);
}

void TestWindow::frameClicksOnlyOnItsOwnSurface()
{
    FormFixture f;
    QSignalSpy clicks(f.form->fraJisyo, &ClickFrame::clicked);
    QTest::mouseClick(f.form->lstJisyo->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(clicks.count(), 0);
    QTest::mouseClick(f.form->fraJisyo, Qt::LeftButton, {}, QPoint(3, 60));   // the margin
    QCOMPARE(clicks.count(), 1);
}

void TestWindow::cellClickReportsItsIndex()
{
    FormFixture f;
    f.loadWith({});
    f.form->cboHide->setEditText(QStringLiteral("S:指定"));
    QTest::mouseClick(f.form->lblMondai[3], Qt::LeftButton);
    QCOMPARE(f.form->state.Mado, (std::array<bool, 5>{false, false, false, true, false}));
}

void TestWindow::answerBoxHandsEnterToTheHandlerAndNeverTypesIt()
{
    FormFixture f;
    QList<qint16> codes;
    f.form->txtKaitou->keyPress = [&codes](qint16 &code) {
        codes.append(code);
        if (code == 13)
            code = 0;
    };
    f.form->txtKaitou->setText("ab");
    QTest::keyClick(f.form->txtKaitou, Qt::Key_Return);
    QTest::keyClick(f.form->txtKaitou, Qt::Key_Escape);
    QTest::keyClick(f.form->txtKaitou, Qt::Key_C);
    QCOMPARE(codes, (QList<qint16>{13, 27, 'c'}));
    QCOMPARE(f.form->txtKaitou->text(), QStringLiteral("abc"));
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
