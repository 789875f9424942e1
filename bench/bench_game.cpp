// The moments of a game that the player waits on, timed in the real window on
// the data files of a folder (copied to a scratch folder):
//   answer   Enter on a right answer until the next idiom is painted, in
//            games of 100 answers
//   start    the Start button until the cleared window is painted (the
//            dictionary is read once; that one read gives count and entries)
//   save     the Save button with the history in the grid, until painted
//            (with the largest files, at the largest history that can grow)
//   tick     one tick of the game clock, the time bar repainted
//   jump     the history grid scrolled from its first row to its last
//   scroll   one of 100 moves of the grid's scroll bar from top to bottom
//   clear    the Clear button, the emptied grid painted
//   chart    the chart of the whole history opened and painted
// Each sample is timed on its own, so that the table can give the median and
// the 99th percentile; QBENCHMARK reports only a mean per run.
// Usage: bench_game FOLDER [SAMPLES [MEASURE...]]   (all by default)
// Prints one line per measure: name, samples, median, p99 and max in ms.

#include "bench_services.h"

#include "app/app_setup.h"
#include "app/frmMain.h"
#include "files/history_file.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "study/chart_window.h"
#include "study/study.h"
#include "app/system_services.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

class Samples {
public:
    Samples(const char *name, const QStringList &wanted)
        : name_(name), on_(wanted.isEmpty() || wanted.contains(QLatin1String(name)))
    {
    }

    bool on() const { return on_; }

    // Times one call of `step` and the painting it leaves pending.
    void time(const std::function<void()> &step)
    {
        QElapsedTimer timer;
        timer.start();
        step();
        QCoreApplication::processEvents();
        ms_.push_back(timer.nsecsElapsed() / 1e6);
    }

    void print()
    {
        if (ms_.empty())
            return;
        std::sort(ms_.begin(), ms_.end());
        const auto at = [this](double q) { return ms_[size_t(q * double(ms_.size() - 1) + 0.5)]; };
        std::printf("%s\t%zu\t%.3f\t%.3f\t%.3f\n", name_, ms_.size(), at(0.5), at(0.99),
                    ms_.back());
        std::fflush(stdout);
    }

private:
    const char *name_;
    bool on_;
    std::vector<double> ms_;
};

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "bench_game: %s\n", what);
    std::exit(1);
}

void copyDataFiles(const QString &from, const QString &to)
{
    for (const char *name : {"設定.txt", "辞書.txt", "履歴.txt"}) {
        const QString file = QString::fromUtf8(name);
        if (!QFile::copy(QDir(from).filePath(file), QDir(to).filePath(file)))
            fail("cannot copy the data files");
    }
}

// The window idle again, as at the end of a game, without waiting for the clock.
void backToIdle(frmMain &form)
{
    form.state.StartWait = false;
    form.state.Playing = false;
    form.cmdStart->setEnabled(true);
}

void startAndCountDown(frmMain &form)
{
    backToIdle(form);
    form.cmdStart->click();
    for (int i = 0; i < 3; ++i)
        form.tmrStart_Timer();
    if (!form.state.Playing)
        fail("the game did not start");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        fail("usage: bench_game FOLDER [SAMPLES [MEASURE...]]");
    const int samples = argc > 2 ? std::max(QByteArray(argv[2]).toInt(), 10) : 1000;
    QStringList wanted;
    for (int i = 3; i < argc; ++i)
        wanted << QString::fromLocal8Bit(argv[i]);
    QTemporaryDir scratch;
    if (!scratch.isValid())
        fail("no scratch folder");
    copyDataFiles(QString::fromLocal8Bit(argv[1]), scratch.path());
    QDir::setCurrent(scratch.path());

    sumiraku::setupFonts();
    bench::ReportingMessages messages;
    sumiraku::SystemProcess process;
    bench::SetClock clock;
    sumiraku::SystemRandom random;
    sumiraku::Platform platform;
    platform.messages = &messages;
    platform.process = &process;
    platform.clock = &clock;
    platform.random = &random;
    platform.help = nullptr;   // never asked for here

    frmMain form(platform);
    form.guard([&form] { form.Form_Load(); });
    if (!QTest::qWaitForWindowExposed(&form))
        fail("the window was not exposed");
    QCoreApplication::processEvents();

    Samples start("start", wanted);
    for (int i = 0; start.on() && i < samples / 10; ++i) {
        backToIdle(form);
        start.time([&form] { form.cmdStart->click(); });
    }

    Samples answer("answer", wanted);
    for (int i = 0; answer.on() && i < samples; ++i) {
        // Games of 100 answers, more than a player gives in the longest game:
        // each start empties the solved list, which every answer grows.
        if (i % 100 == 0)
            startAndCountDown(form);
        const qint16 ok = form.state.OkCount;
        form.txtKaitou->setText(form.state.Mondai);   // typed by the player
        answer.time([&form] { QTest::keyClick(form.txtKaitou, Qt::Key_Return); });
        if (form.state.OkCount != ok + 1)
            fail("a right answer was not counted");
    }

    startAndCountDown(form);
    Samples tick("tick", wanted);
    const double first = clock.seconds;
    for (int i = 0; tick.on() && i < samples; ++i) {
        clock.seconds = first + i % form.state.PlayByou;   // the bar shrinks, never ends
        tick.time([&form] { form.guard([&form] { form.tmrBp_Timer(); }); });
    }

    // A game with one right answer, over: something to save.
    form.txtKaitou->setText(form.state.Mondai);
    QTest::keyClick(form.txtKaitou, Qt::Key_Return);
    backToIdle(form);
    // Each save is taken back, outside the timing, so that every one goes to
    // the largest history that still takes a record: one below the limit.
    Samples save("save", wanted);
    QFile history(QStringLiteral("履歴.txt"));
    if (form.msgRireki->Rows() - 1 >= sumiraku::kMaxHistoryRecords) {
        form.msgRireki->setRows(sumiraku::kMaxHistoryRecords);
        if (!history.open(QIODevice::ReadWrite))
            fail("the history cannot be opened");
        const QByteArray bytes = history.readAll();
        history.resize(bytes.lastIndexOf("\r\n", bytes.size() - 3) + 2);
        history.close();
    }
    const int rows = form.msgRireki->Rows();
    const qint64 size = history.size();
    const int saves = save.on() ? samples / 10 : 0;
    for (int i = 0; i < saves; ++i) {
        save.time([&form] { form.cmdHozon->click(); });
        if (form.msgRireki->Rows() != rows + 1 || history.size() <= size)
            fail("a save added no row");
        form.msgRireki->setRows(rows);   // taken back, and the game with it
        history.resize(size);
        form.state.Saved = false;
    }

    // The grid scrolled: from the first row to the last at once, and from top
    // to bottom in 100 moves of its scroll bar.
    Samples jump("jump", wanted);
    for (int i = 0; jump.on() && i < samples / 10; ++i) {
        form.msgRireki->setTopRow(1);
        QCoreApplication::processEvents();
        jump.time([&form] { form.msgRireki->setTopRow(form.msgRireki->Rows() - 1); });
    }
    Samples scroll("scroll", wanted);
    QScrollBar *bar = form.msgRireki->view()->verticalScrollBar();
    bar->setValue(0);
    QCoreApplication::processEvents();
    for (int i = 1; scroll.on() && i <= 100; ++i)
        scroll.time([bar, i] { bar->setValue(int(qint64(bar->maximum()) * i / 100)); });

    // The history cleared; written back and read into the grid again untimed.
    Samples clear("clear", wanted);
    history.open(QIODevice::ReadOnly);
    const QByteArray kept = history.readAll();
    history.close();
    for (int i = 0; clear.on() && i < std::max(samples / 100, 3); ++i) {
        clear.time([&form] { form.cmdClear->click(); });
        if (form.msgRireki->Rows() != 1 || history.size() != 0)
            fail("the history was not cleared");
        if (!history.open(QIODevice::WriteOnly) || history.write(kept) != kept.size())
            fail("the history could not be written back");
        history.close();
        form.guard([&form] { form.LoadRirekiGrid(); });
    }

    // The chart of the whole history, opened and painted.
    Samples chart("chart", wanted);
    form.study->makeChart = [](QWidget *owner) { return new sumiraku::ChartWindow(owner); };
    for (int i = 0; chart.on() && i < std::max(samples / 100, 3); ++i) {
        chart.time([&form] {
            form.study->openChart();
            QCoreApplication::processEvents();
        });
        form.findChild<sumiraku::ChartWindow *>()->close();
    }

    answer.print();
    start.print();
    save.print();
    tick.print();
    jump.print();
    scroll.print();
    clear.print();
    chart.print();
    std::fprintf(stderr, "history rows before saving: %d, dictionary entries: %d\n", rows - 1,
                 int(form.state.JisyoCount));
    return 0;
}
