// A thousand games saved while writes fail at random: the history holds every
// record the program reported as saved, whole and in order, and nothing else.

#include "files/history_file.h"
#include "files/settings_file.h"
#include "form_fixture.h"
#include "runtime/write_faults.h"

#include <random>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestMarathon : public QObject {
    Q_OBJECT

private slots:
    void everyReportedSaveIsKept()
    {
        std::mt19937 rng(20261206);
        const auto roll = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        FormFixture f;
        f.play("load");
        QByteArray kept;   // the records the player was told are saved, in order
        int saved = 0, fatal = 0, warned = 0, cleared = 0, settingsKept = 0;
        // A step while writes fail now and then, in one of five ways; an error
        // that ends the program names its file.
        const auto underFaults = [&](const QString &file, const std::function<void()> &step) {
            const int kind = roll(10);
            WriteFaults faults{kind == 0, kind == 1, kind == 2 ? roll(64) : -1, kind == 3, kind == 4};   // short of a record
            setWriteFaults(&faults), step(), setWriteFaults(nullptr);
            const ShownBox last = f.messages.shown.value(f.messages.shown.size() - 1);
            QVERIFY(f.process.exits.isEmpty() || (last.icon == MsgIcon::Critical && last.text.contains(file)));
        };

        for (int game = 1, saves = 0; saves < 1000; ++game) {
            frmMain &w = *f.form;
            f.clock.current = f.clock.current.addSecs(97);   // every record differs
            // Now and then the player switches automatic saving, or clears.
            const int action = roll(20);
            const QByteArray settings = f.sandbox.read(kSettings);
            const qsizetype boxes = f.messages.shown.size();
            if (action < 3) {
                underFaults(kSettings, [&] { w.chkAs->click(); });
                const QByteArray now = f.sandbox.read(kSettings);
                QVERIFY(now == settings || now == settingsBytes(w.state.PlayByou, w.state.AutoSave, w.modeText()));
                settingsKept += now == settings;
            } else if (action == 3) {
                f.messages.answers = {MsgResult::Ok};
                underFaults(kHistory, [&] { w.cmdClear->click(); });
                if (f.process.exits.isEmpty() && f.messages.shown.size() == boxes + 2)
                    kept.clear(), ++cleared;
            }

            if (f.process.exits.isEmpty()) {
                ++saves;
                f.play("start =*");
                const int rows = w.msgRireki->Rows();
                const qsizetype before = f.messages.shown.size();
                underFaults(kHistory, [&] { f.play(w.state.AutoSave ? "end" : "end save"); });
                if (f.messages.shown.size() > before) {
                    ++warned;
                    QCOMPARE(f.messages.shown.last().title + f.look("rows"),
                             (w.state.AutoSave ? QStringLiteral("自動保存") : QStringLiteral("保存")) + QString::number(rows - 1));
                } else {
                    const auto cell = [&w, rows](int c) { return w.msgRireki->TextMatrix(rows, c); };
                    kept += historyRecordBytes({cell(1), cell(2), cell(3), qint16(cell(4).toInt()),
                                                qint16(cell(5).toInt()), cell(6), cell(7), cell(8), cell(9)});
                    ++saved;
                }
            }
            QVERIFY2(f.sandbox.read(kHistory) == kept, qPrintable(QStringLiteral("game %1: not as told").arg(game)));

            // A program ended by an error is started again, and reads it all back.
            if (!f.process.exits.isEmpty()) {
                ++fatal;
                f.restart();
                QCOMPARE(f.look("exits") + f.look("rows"), QString::number(kept.count("\r\n")));
            }
        }
        // The plan reached every outcome, so no path went unchecked.
        QVERIFY(fatal > 20 && warned > 20 && cleared > 5 && settingsKept > 5 && saved > 500);
    }
};

QTEST_MAIN(TestMarathon)
#include "test_marathon.moc"
