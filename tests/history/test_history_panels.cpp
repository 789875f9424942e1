// Clearing the history and switching between the two panels.

#include "form_fixture.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "runtime/runtime_error.h"

#include <QDir>
#include <QListWidget>
#include <QTest>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

QByteArray twoRecords()
{
    return sjis("\"2026/05/06\",\"21:03:15\",25,20,5,\"80.0%\",\"1.33/秒\",\"60秒\",\"2\"\r\n"
                "\"2026/05/07\",\"08:00:00\",7,7,0,\"100.0%\",\"0.93/秒\",\"30秒\",\"S\"\r\n");
}
} // namespace

class TestHistoryPanels : public QObject {
    Q_OBJECT

private slots:
    void clearingAsksThenEmptiesFileAndGrid();
    void clearingCreatesAMissingFileAndTheNextSaveIsOne();
    void unclearableFileEndsBeforeTheGridChanges();
    void framesSwitchPanelsAndKeepTheSolvedList();
};

void TestHistoryPanels::clearingAsksThenEmptiesFileAndGrid()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kHistory, twoRecords());
    f.load();
    f.messages.answers = {MsgResult::Cancel};
    f.form->cmdClear_Click();   // Cancel: nothing changes, no second box
    QCOMPARE(f.messages.shown.size(), 1);
    const ShownBox box = f.messages.shown[0];
    QCOMPARE(box.text, QStringLiteral("履歴データをクリアします。よろしいですか？"));
    QCOMPARE(box.title, QStringLiteral("クリア確認"));
    QCOMPARE(box.buttons, MsgButtons::OkCancel);
    QCOMPARE(box.icon, MsgIcon::Exclamation);
    QCOMPARE(f.sandbox.read(kHistory), twoRecords());
    QCOMPARE(f.form->msgRireki->Rows(), 3);

    f.form->cmdClear_Click();   // OK
    QCOMPARE(f.sandbox.read(kHistory), QByteArray());
    QCOMPARE(f.form->msgRireki->Rows(), 1);
    QCOMPARE(f.form->msgRireki->TextMatrix(0, 4), QStringLiteral("ＯＫ"));
    QCOMPARE(f.messages.shown[2].text, QStringLiteral("履歴データをクリアしました"));
    QCOMPARE(f.messages.shown[2].title, QStringLiteral("クリア終了"));
    QCOMPARE(f.messages.shown[2].icon, MsgIcon::Information);
}

void TestHistoryPanels::clearingCreatesAMissingFileAndTheNextSaveIsOne()
{
    FormFixture f;
    f.sandbox.writeDefaults(sjis("一石二鳥\r\n"));
    f.sandbox.write(kHistory, twoRecords());
    f.load();
    f.startGame();
    f.answer(QStringLiteral("一石二鳥"));
    f.runOutTheClock();
    f.sandbox.remove(kHistory);
    f.form->cmdClear_Click();
    QCOMPARE(f.sandbox.read(kHistory), QByteArray());
    f.form->cmdHozon_Click();
    QCOMPARE(f.form->msgRireki->TextMatrix(1, 0), QStringLiteral("1"));
    QCOMPARE(f.form->msgRireki->Rows(), 2);
    QCOMPARE(f.sandbox.read(kHistory).count("\r\n"), 1);
}

void TestHistoryPanels::unclearableFileEndsBeforeTheGridChanges()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kHistory, twoRecords());
    f.load();
    f.sandbox.remove(kHistory);
    QVERIFY(QDir(f.sandbox.path()).mkdir(kHistory));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, f.form->cmdClear_Click());
    QCOMPARE(f.form->msgRireki->Rows(), 3);
}

void TestHistoryPanels::framesSwitchPanelsAndKeepTheSolvedList()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    frmMain &w = *f.form;
    QTest::mouseClick(w.fraJisyo, Qt::LeftButton, {}, QPoint(60, 5));   // its caption
    QVERIFY(w.frmRireki->isVisible());
    QCOMPARE(w.lstRireki->count(), 0);
    QTest::mouseClick(w.lstRireki->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(w.frmRireki->isVisible());
    QTest::mouseClick(w.frmRireki, Qt::LeftButton, {}, QPoint(3, 80));   // its margin
    QVERIFY(!w.frmRireki->isVisible());

    f.startGame();
    QVERIFY(w.frmRireki->isVisible());
    f.answer(QStringLiteral("一石二鳥"));
    w.frmRireki_Click();
    f.answer(QStringLiteral("一石二鳥"));   // added while hidden
    w.fraJisyo_Click();
    QCOMPARE(w.lstRireki->count(), 2);
    w.fraJisyo_Click();   // already shown: nothing changes
    QVERIFY(w.frmRireki->isVisible());
}

QTEST_MAIN(TestHistoryPanels)
#include "test_history_panels.moc"
