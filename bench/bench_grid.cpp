// Fills the history grid to its largest size the way the window does, and
// prints the time and the growth of the resident memory of each way.
// Usage: bench_grid [append|held|bulk|shown]; without an argument each way runs
// in a fresh process, so that one's freed memory does not flatter the next.
// held appends row by row with Redraw off, as the window's startup does.

#include "controls/flexgrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTextStream>

#include <cstdio>

using sumiraku::FlexGrid;

namespace {

constexpr int kEntries = 32766;

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression vmRss(QStringLiteral("^VmRSS:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    return vmRss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

void fillRow(FlexGrid &grid, int n, const QStringList &fields)
{
    grid.setRow(n);
    grid.setCol(0);
    grid.setText(QString::number(n));
    for (int c = 1; c <= 9; ++c) {
        grid.setCol(c);
        grid.setText(fields.at(c - 1));
    }
}

int run(const QString &way)
{
    const QStringList fields = {QStringLiteral("2024/05/06"), QStringLiteral("12:34:56"),
                                QStringLiteral("25"), QStringLiteral("20"), QStringLiteral("5"),
                                QStringLiteral("80.0%"), QStringLiteral("2.68/秒"),
                                QStringLiteral("60"), QStringLiteral("N")};
    QWidget window;
    window.resize(631, 452);
    auto *grid = new FlexGrid(2, 10, 1, 1, &window);
    grid->setGeometry(15, 215, 586, 131);
    grid->setFontSize(11);
    grid->setRows(1);
    if (way == QLatin1String("shown")) {
        window.show();
        QApplication::processEvents();
    }

    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    if (way == QLatin1String("bulk")) {
        grid->setRows(kEntries + 1);
        for (int n = 1; n <= kEntries; ++n)
            fillRow(*grid, n, fields);
    } else if (way == QLatin1String("held")) {
        grid->setRedraw(false);
        for (int n = 1; n <= kEntries; ++n) {
            grid->setRows(n + 1);
            fillRow(*grid, n, fields);
        }
        grid->setRedraw(true);
    } else {
        for (int n = 1; n <= kEntries; ++n) {
            grid->setRows(n + 1);
            fillRow(*grid, n, fields);
        }
    }
    grid->setTopRow(grid->Rows() - 1);
    const qint64 fillMs = timer.elapsed();
    if (way != QLatin1String("shown"))
        window.show();
    QApplication::processEvents();
    const qint64 shownMs = timer.elapsed();

    std::printf("%-6s %d rows x 10 cols: fill %lld ms, fill+show %lld ms, +%ld KiB resident,"
                " top row %d\n",
                qPrintable(way), kEntries, fillMs, shownMs, residentKiB() - before,
                grid->TopRow());
    return grid->TextMatrix(kEntries, 9) == fields.last() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1)
        return run(QString::fromLocal8Bit(argv[1]));

    int failures = 0;
    for (const char *way : {"append", "held", "bulk", "shown"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(way)});
        child.waitForFinished(-1);
        failures += child.exitCode() != 0;
    }
    return failures;
}
