// Startup as the player meets it: what the window shows after reading the three
// files, and how it ends when a file is missing or unusable.

#include "form_fixture.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

const QByteArray kRecord = "\"2026/05/06\",\"21:03:15\",25,20,5,\"80.0%\",\"1.33/" + sjis("秒\",\"60秒\",\"2\"");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void startupFillsTheWindowAndWritesNothing();
    void gridScrollsFromTheSeventhRecord_data();
    void gridScrollsFromTheSeventhRecord();
    void recordsAreShownAsStored_data();
    void recordsAreShownAsStored();
    void dictionaryEntriesFollowTheFieldRules();
};

void TestStartup::startupFillsTheWindowAndWritesNothing()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    // Stored values outside the lists stay in force.
    f.sandbox.write(kSettings, sjis("35,1,\"X:自作モード\"\r\n"));
    f.load();
    frmMain &w = *f.form;
    QVERIFY(w.isVisible());
    QVERIFY(w.chkAs->isChecked());
    QCOMPARE(w.cboJikan->currentText(), QStringLiteral("35"));
    QCOMPARE(w.cboHide->currentText(), QStringLiteral("X:自作モード"));
    QStringList modes;
    for (int i = 0; i < w.cboHide->count(); ++i)
        modes << w.cboHide->itemText(i);
    QCOMPARE(modes, (QStringList{"1:イージー", "2:ノーマル", "3:ハード", "R:ランダム", "S:指定", "0:隠さない"}));
    QCOMPARE(w.fraJisyo->title(), QStringLiteral("登録四字熟語 3個"));
    QCOMPARE(f.cells(), QStringLiteral("□□□□"));
    const QStringList headings = {"回", "日付", "時間", "問数", "\uFF2F\uFF2B", "\uFF2E\uFF27",
                                  "正解率", "秒当たり", "表示秒数", "モード"};
    QCOMPARE(w.msgRireki->Rows(), 1);
    for (int c = 0; c < 10; ++c)
        QCOMPARE(w.msgRireki->TextMatrix(0, c), headings[c]);
    QCOMPARE(f.sandbox.read(kSettings), sjis("35,1,\"X:自作モード\"\r\n"));
    QCOMPARE(f.sandbox.read(kHistory), QByteArray());
    QVERIFY(f.messages.shown.isEmpty());
    f.startGame();
    QCOMPARE(w.state.JikanEnd - w.state.JikanNow, 35);
}

void TestStartup::gridScrollsFromTheSeventhRecord_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("scrolled");
    QTest::newRow("six records") << 6 << false;
    QTest::newRow("seven records") << 7 << true;
}

void TestStartup::gridScrollsFromTheSeventhRecord()
{
    QFETCH(int, count);
    QFETCH(bool, scrolled);
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kHistory, QByteArray(kRecord + "\r\n").repeated(count));
    f.load();
    QCoreApplication::processEvents();
    FlexGrid *grid = f.form->msgRireki;
    QCOMPARE(grid->Rows(), count + 1);
    QCOMPARE(grid->TopRow() > 1, scrolled);
    QVERIFY(rowInView(grid, count));
}

void TestStartup::recordsAreShownAsStored_data()
{
    const QByteArray &first = kRecord;
    const QByteArray second = "\"2026/05/07\",\"08:00:00\",7,7,0,\"100.0%\",\"0.93/" + sjis("秒\",\"30秒\",\"\"");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("count");   // the second record's count, as written
    // Edited by hand: spaces, a zero-padded count, a last line without CR LF.
    QTest::newRow("edited by hand") << first + "\r\n " + QByteArray(second).replace("\",7,7", "\" , 007,007")
                                    << "007";
    QTest::newRow("two records on one line") << first + "," + second + "\r\n" << "7";
    QTest::newRow("each field on a line of its own")
        << QByteArray(first + "\r\n" + second + "\r\n").replace(",", "\r\n") << "7";
}

void TestStartup::recordsAreShownAsStored()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, count);
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kHistory, bytes);
    f.load();
    FlexGrid *grid = f.form->msgRireki;
    QCOMPARE(grid->Rows(), 3);
    const QStringList first = {"1", "2026/05/06", "21:03:15", "25", "20", "5", "80.0%", "1.33/秒", "60秒", "2"};
    const QStringList second = {"2", "2026/05/07", "08:00:00", count, "7", "0", "100.0%", "0.93/秒", "30秒", ""};
    for (int c = 0; c < 10; ++c) {
        QCOMPARE(grid->TextMatrix(1, c), first[c]);
        QCOMPARE(grid->TextMatrix(2, c), second[c]);
    }
}

void TestStartup::dictionaryEntriesFollowTheFieldRules()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥,四面楚歌\r\n\"温故,知新\"\r\n\r\n  一期一会  \r\n花鳥風月"));
    QListView *list = f.form->lstJisyo;
    QStringList listed;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        listed << list->model()->index(i, 0).data().toString();
    QCOMPARE(listed, (QStringList{"一石二鳥", "四面楚歌", "温故,知新", "", "一期一会", "花鳥風月"}));
    QCOMPARE(f.form->fraJisyo->title(), QStringLiteral("登録四字熟語 6個"));
    // The list cannot be edited; a click still selects.
    const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
    QTest::keyClick(list, Qt::Key_F2);
    QVERIFY(!list->findChild<QLineEdit *>());
    QCOMPARE(list->currentIndex().row(), 0);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
