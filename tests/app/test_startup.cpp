// Startup as the player meets it: what the window shows after reading the three
// files, and how it ends when a file is missing or unusable.

#include "form_fixture.h"
#include "platform/controls.h"
#include "platform/flexgrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

QByteArray records(int n)
{
    QByteArray bytes;
    for (int i = 1; i <= n; ++i)
        bytes += "\"2026/01/0" + QByteArray::number(i % 10) + "\",\"10:00:00\",4,3,1,\"75.0%\",\"0.20/"
                 + sjis("秒\",\"60秒\",\"2\"\r\n");
    return bytes;
}

QStringList listed(const QListView *list)
{
    QStringList texts;
    const QAbstractItemModel *model = list->model();
    for (int i = 0; i < model->rowCount(); ++i)
        texts << model->index(i, 0).data().toString();
    return texts;
}

QStringList comboItems(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void startupFillsTheWindowAndWritesNothing();
    void historyGridIsLaidOutWithItsHeadings();
    void gridScrollsFromTheSeventhRecord_data();
    void gridScrollsFromTheSeventhRecord();
    void recordsAreShownAsStored();
    void gridHasARowPerRecordHoweverTheLinesFall_data();
    void gridHasARowPerRecordHoweverTheLinesFall();
    void storedValuesOutsideTheListsStayInForce();
    void dictionaryEntriesFollowTheFieldRules();
    void dictionaryListCannotBeEdited();
    void unusableFilesEndTheProgram_data();
    void unusableFilesEndTheProgram();
};

void TestStartup::startupFillsTheWindowAndWritesNothing()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kSettings, sjis("60,1,\"2:ノーマル\"\r\n"));
    f.load();
    frmMain &w = *f.form;
    QVERIFY(w.isVisible());
    QCOMPARE(w.state.HelpFile, QStringLiteral("RvHelp.chm"));
    QVERIFY(w.chkAs->isChecked());
    QCOMPARE(w.cboJikan->currentText(), QStringLiteral("60"));
    QStringList times;
    for (int t = 10; t <= 180; t += 10)
        times << QString::number(t);
    QCOMPARE(comboItems(w.cboJikan), times);
    QCOMPARE(w.cboHide->currentText(), QStringLiteral("2:ノーマル"));
    QCOMPARE(comboItems(w.cboHide),
             (QStringList{"1:イージー", "2:ノーマル", "3:ハード", "R:ランダム", "S:指定", "0:隠さない"}));
    QCOMPARE(w.fraJisyo->title(), QStringLiteral("登録四字熟語 3個"));
    QCOMPARE(w.state.JikanBarWidth, qint16(8745));
    for (int i = 1; i <= 4; ++i)
        QVERIFY(w.lblMondai[i]->text().isEmpty());
    QVERIFY(w.txtKaitou->text().isEmpty());
    for (QLabel *lbl : {w.lblOk, w.lblNg, w.lblMoji_T, w.lblRitu, w.lblByou})
        QVERIFY(lbl->text().isEmpty());
    QVERIFY(w.state.Jisyo.isEmpty());
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,1,\"2:ノーマル\"\r\n"));
    QCOMPARE(f.sandbox.read(kHistory), QByteArray());
    QVERIFY(f.messages.shown.isEmpty());
}

void TestStartup::historyGridIsLaidOutWithItsHeadings()
{
    FormFixture f;
    f.loadWith({});
    FlexGrid *grid = f.form->msgRireki;
    QCOMPARE(grid->Rows(), 1);
    QCOMPARE(grid->FontSize(), 11.0f);
    const QStringList headings = {"回", "日付", "時間", "問数", "\uFF2F\uFF2B", "\uFF2E\uFF27",
                                  "正解率", "秒当たり", "表示秒数", "モード"};
    const int widths[] = {600, 1400, 1000, 600, 600, 600, 900, 1000, 1025, 700};
    for (int c = 0; c < 10; ++c) {
        QCOMPARE(grid->TextMatrix(0, c), headings[c]);
        QCOMPARE(grid->ColWidth(c), widths[c]);
        QCOMPARE(grid->FixedAlignment(c), int(FlexGrid::CenterCenter));
        const bool centred = c == 1 || c == 2 || c == 9;
        QCOMPARE(grid->ColAlignment(c), int(centred ? FlexGrid::CenterCenter : FlexGrid::RightCenter));
    }
}

void TestStartup::gridScrollsFromTheSeventhRecord_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("scrolled");
    QTest::newRow("empty") << 0 << false;
    QTest::newRow("six records") << 6 << false;
    QTest::newRow("seven records") << 7 << true;
}

void TestStartup::gridScrollsFromTheSeventhRecord()
{
    QFETCH(int, count);
    QFETCH(bool, scrolled);
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kHistory, records(count));
    f.load();
    QCoreApplication::processEvents();
    FlexGrid *grid = f.form->msgRireki;
    QCOMPARE(grid->Rows(), count + 1);
    QCOMPARE(grid->TopRow() > 1, scrolled);
    if (count > 0) {
        QVERIFY(rowInView(grid, count));
        QCOMPARE(grid->TextMatrix(count, 0), QString::number(count));
    }
}

void TestStartup::recordsAreShownAsStored()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    // Edited by hand: spaces, a zero-padded count, a last line without CR LF.
    f.sandbox.write(kHistory, sjis("\"2026/05/06\",\"21:03:15\",25,20,5,\"80.0%\",\"1.33/秒\",\"60秒\",\"2\"\r\n"
                                   " \"2026/05/07\" , \"08:00:00\",007,007,0,\"100.0%\",\"0.93/秒\",\"30秒\",\"\""));
    f.load();
    FlexGrid *grid = f.form->msgRireki;
    QCOMPARE(grid->Rows(), 3);
    const QStringList first = {"1", "2026/05/06", "21:03:15", "25", "20", "5", "80.0%", "1.33/秒", "60秒", "2"};
    const QStringList second = {"2", "2026/05/07", "08:00:00", "007", "7", "0", "100.0%", "0.93/秒", "30秒", ""};
    for (int c = 0; c < 10; ++c) {
        QCOMPARE(grid->TextMatrix(1, c), first[c]);
        QCOMPARE(grid->TextMatrix(2, c), second[c]);
    }
}

void TestStartup::gridHasARowPerRecordHoweverTheLinesFall_data()
{
    const QByteArray first = "\"2026/05/06\",\"21:03:15\",25,20,5,\"80.0%\",\"1.33/" + sjis("秒\",\"60秒\",\"2\"");
    const QByteArray second = "\"2026/05/07\",\"08:00:00\",7,7,0,\"100.0%\",\"0.93/" + sjis("秒\",\"30秒\",\"\"");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("two records on one line") << first + "," + second + "\r\n";
    QTest::newRow("each field on a line of its own")
        << QByteArray(first + "\r\n" + second + "\r\n").replace(",", "\r\n");
}

void TestStartup::gridHasARowPerRecordHoweverTheLinesFall()
{
    QFETCH(QByteArray, bytes);
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kHistory, bytes);
    f.load();
    FlexGrid *grid = f.form->msgRireki;
    QCOMPARE(grid->Rows(), 3);
    QCOMPARE(grid->TextMatrix(1, 1), QStringLiteral("2026/05/06"));
    QCOMPARE(grid->TextMatrix(2, 9), QString());
    QCOMPARE(grid->TextMatrix(2, 6), QStringLiteral("100.0%"));
}

void TestStartup::storedValuesOutsideTheListsStayInForce()
{
    FormFixture f;
    f.sandbox.writeDefaults();
    f.sandbox.write(kSettings, sjis("35,0,\"X:自作モード\"\r\n"));
    f.load();
    QCOMPARE(f.form->cboJikan->currentText(), QStringLiteral("35"));
    QCOMPARE(f.form->state.PlayByou, qint16(35));
    QCOMPARE(f.form->cboHide->currentText(), QStringLiteral("X:自作モード"));
    f.startGame();
    QCOMPARE(f.form->state.JikanEnd - f.form->state.JikanNow, 35);
}

void TestStartup::dictionaryEntriesFollowTheFieldRules()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥,四面楚歌\r\n\"温故,知新\"\r\n\r\n  一期一会  \r\n花鳥風月"));
    QCOMPARE(listed(f.form->lstJisyo), (QStringList{"一石二鳥", "四面楚歌", "温故,知新", "", "一期一会", "花鳥風月"}));
    QCOMPARE(f.form->fraJisyo->title(), QStringLiteral("登録四字熟語 6個"));
}

void TestStartup::dictionaryListCannotBeEdited()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n四面楚歌\r\n"));
    QListView *list = f.form->lstJisyo;
    const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
    QTest::keyClick(list, Qt::Key_F2);
    QTest::keyClick(list, Qt::Key_X);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->findChild<QLineEdit *>());
    QCOMPARE(listed(list), (QStringList{"一石二鳥", "四面楚歌"}));
    QCOMPARE(list->currentIndex().row(), 0);   // the click still selects
}

void TestStartup::unusableFilesEndTheProgram_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");   // empty name: remove the file
    QTest::addColumn<bool>("windowShown");
    QTest::newRow("history missing") << kHistory << QByteArray("<remove>") << false;
    QTest::newRow("history record cut short") << kHistory << QByteArray("\"2026/01/01\",\"10:00:00\",4,3\r\n") << false;
    QTest::newRow("settings missing") << kSettings << QByteArray("<remove>") << true;
    QTest::newRow("play time not a number") << kSettings << QByteArray("abc,1,\"2\"\r\n") << true;
    QTest::newRow("play time zero") << kSettings << QByteArray("0,1,\"2\"\r\n") << true;
    QTest::newRow("auto-save two") << kSettings << QByteArray("60,2,\"2\"\r\n") << true;
    QTest::newRow("dictionary missing") << kDictionary << QByteArray("<remove>") << true;
}

void TestStartup::unusableFilesEndTheProgram()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, windowShown);
    FormFixture f;
    f.sandbox.writeDefaults();
    if (bytes == "<remove>")
        f.sandbox.remove(file);
    else
        f.sandbox.write(file, bytes);
    const QByteArray before[] = {f.sandbox.read(kSettings), f.sandbox.read(kHistory),
                                 f.sandbox.read(kDictionary)};
    f.load();
    QCOMPARE(f.process.exits, QList<int>{1});
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown[0].icon, MsgIcon::Critical);
    QVERIFY2(f.messages.shown[0].text.contains(file), qPrintable(f.messages.shown[0].text));
    QCOMPARE(f.form->isVisible(), windowShown);
    const QByteArray after[] = {f.sandbox.read(kSettings), f.sandbox.read(kHistory),
                                f.sandbox.read(kDictionary)};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(after[i], before[i]);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
