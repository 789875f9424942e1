// A thousand games saved while writes fail at random: the history holds every
// record the program reported as saved, whole and in order, and nothing else.

#include "files/history_file.h"
#include "files/settings_file.h"
#include "form_fixture.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "runtime/write_faults.h"

#include <QTest>
#include <QToolButton>

#include <random>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

// The grid's row as the record the file should hold for it.
QByteArray recordOfRow(const FlexGrid *grid, int row)
{
    HistoryRecord r;
    r.date = grid->TextMatrix(row, 1);
    r.time = grid->TextMatrix(row, 2);
    r.questions = grid->TextMatrix(row, 3);
    r.ok = qint16(grid->TextMatrix(row, 4).toInt());
    r.ng = qint16(grid->TextMatrix(row, 5).toInt());
    r.rate = grid->TextMatrix(row, 6);
    r.perSecond = grid->TextMatrix(row, 7);
    r.length = grid->TextMatrix(row, 8);
    r.mode = grid->TextMatrix(row, 9);
    return historyRecordBytes(r);
}

// A random plan: most writes go through, the rest meet one kind of failure.
WriteFaults randomFaults(std::mt19937 &rng, qint64 recordSize)
{
    WriteFaults faults;
    switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
    case 0: faults.fileReadOnly = true; break;
    case 1: faults.folderReadOnly = true; break;
    case 2: faults.diskRoom = std::uniform_int_distribution<qint64>(0, recordSize - 1)(rng); break;
    case 3: faults.renameFails = true; break;
    default: break;
    }
    return faults;
}

} // namespace

class TestMarathon : public QObject {
    Q_OBJECT

private slots:
    void everyReportedSaveIsKept();
};

void TestMarathon::everyReportedSaveIsKept()
{
    std::mt19937 rng(20261206);
    FormFixture f;
    f.sandbox.writeDefaults();
    f.load();
    QByteArray kept;   // the records the player was told are saved, in order
    int saved = 0, fatal = 0, warned = 0, cleared = 0, settingsKept = 0;

    for (int game = 1, saves = 0; saves < 1000; ++game) {
        frmMain &w = *f.form;
        f.clock.current = f.clock.current.addSecs(97);   // every record differs

        // Now and then the player switches automatic saving, or clears.
        const int action = std::uniform_int_distribution<int>(0, 19)(rng);
        const QByteArray settingsBefore = f.sandbox.read(kSettings);
        const qsizetype boxesBefore = f.messages.shown.size();
        WriteFaults faults = randomFaults(rng, 64);
        setWriteFaults(&faults);
        if (action < 3) {
            w.chkAs->click();
        } else if (action == 3) {
            f.messages.answers = {MsgResult::Ok};
            w.cmdClear->click();
        }
        setWriteFaults(nullptr);
        if (!f.process.exits.isEmpty()) {
            QCOMPARE(f.messages.shown.last().icon, MsgIcon::Critical);
            QVERIFY(f.messages.shown.last().text.contains(action < 3 ? kSettings : kHistory));
        }
        if (action == 3 && f.process.exits.isEmpty() && f.messages.shown.size() == boxesBefore + 2) {
            kept.clear();
            ++cleared;
        }
        if (action < 3) {
            const QByteArray now = f.sandbox.read(kSettings);
            QVERIFY2(now == settingsBefore || now == settingsBytes(w.state.PlayByou, w.state.AutoSave, w.modeText()),
                     qPrintable(QStringLiteral("game %1: settings torn").arg(game)));
            settingsKept += now == settingsBefore;
        }

        if (f.process.exits.isEmpty()) {
            ++saves;
            f.startGame();
            f.answer(w.state.Mondai);
            const int rowsBefore = w.msgRireki->Rows();
            const qsizetype boxes = f.messages.shown.size();
            faults = randomFaults(rng, 64);
            setWriteFaults(&faults);
            f.runOutTheClock();
            if (w.state.AutoSave == 0)
                w.cmdHozon->click();
            setWriteFaults(nullptr);

            if (!f.process.exits.isEmpty()) {
                ++fatal;
                QCOMPARE(f.messages.shown.last().icon, MsgIcon::Critical);
                QVERIFY(f.messages.shown.last().text.contains(kHistory));
            } else if (f.messages.shown.size() > boxes) {
                ++warned;
                QCOMPARE(f.messages.shown.last().title, QStringLiteral("自動保存"));
                QCOMPARE(w.msgRireki->Rows(), rowsBefore);
            } else {
                QCOMPARE(w.msgRireki->Rows(), rowsBefore + 1);
                kept += recordOfRow(w.msgRireki, rowsBefore);
                ++saved;
            }
        }
        QVERIFY2(f.sandbox.read(kHistory) == kept,
                 qPrintable(QStringLiteral("game %1: the file differs from what was reported").arg(game)));

        // A program ended by an error is started again, and reads it all back.
        if (!f.process.exits.isEmpty()) {
            f.restart();
            QVERIFY(f.process.exits.isEmpty());
            QCOMPARE(f.form->msgRireki->Rows() - 1, kept.count("\r\n"));
        }
    }
    // The plan reached every outcome, so no path went unchecked.
    QVERIFY(fatal > 20 && warned > 20 && cleared > 5 && settingsKept > 5);
    QVERIFY(saved > 500);
    qInfo("%d saved, %d ended by an error, %d auto-save warnings, %d clears, %d settings kept",
          saved, fatal, warned, cleared, settingsKept);
}

QTEST_MAIN(TestMarathon)
#include "test_marathon.moc"
