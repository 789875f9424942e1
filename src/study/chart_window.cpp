#include "study/chart_window.h"

#include "runtime/runtime_error.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineSeries>
#include <QSet>
#include <QToolTip>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

namespace sumiraku {

namespace {

const QString kAllModes = QStringLiteral("すべてのモード");

// "33.3%" and "0.40/秒" as the grid shows them; false for anything else.
bool figure(QString text, const QString &unit, double *value)
{
    if (!text.endsWith(unit))
        return false;
    text.chop(unit.size());
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

} // namespace

QList<ChartGame> chartGames(const std::vector<HistoryRecord> &records, const QString &mode)
{
    QList<ChartGame> games;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const HistoryRecord &r = records[i];
        ChartGame game{int(i + 1), 0, 0, {}};
        if ((!mode.isEmpty() && r.mode != mode) || !figure(r.rate, QStringLiteral("%"), &game.rate)
            || !figure(r.perSecond, QStringLiteral("/秒"), &game.perSecond))
            continue;
        game.label = QStringLiteral("%1回目　%2 %3　%4　モード %5\n正解率 %6　%7")
                         .arg(game.number).arg(r.date, r.time, r.length, r.mode, r.rate, r.perSecond);
        games.append(game);
    }
    return games;
}

QString chartSummary(const QList<ChartGame> &games)
{
    if (games.isEmpty())
        return QStringLiteral("保存されたゲームはありません。");
    const qsizetype n = std::min<qsizetype>(games.size(), 10);
    double rate = 0, speed = 0;
    for (qsizetype i = games.size() - n; i < games.size(); ++i)
        rate += games[i].rate, speed += games[i].perSecond;
    return QStringLiteral("全 %1 ゲーム。最近 %2 ゲームの平均: 正解率 %3%、秒当たり %4 文字。")
        .arg(games.size()).arg(n).arg(rate / n, 0, 'f', 1).arg(speed / n, 0, 'f', 2);
}

ChartWindow::ChartWindow(QWidget *owner)
    : QDialog(owner, Qt::Window), watcher_(new QFileSystemWatcher(this))
{
    setWindowTitle(QStringLiteral("成績グラフ"));
    setAccessibleName(windowTitle());
    resize(760, 460);
    modes = new QComboBox(this);
    modes->setAccessibleName(QStringLiteral("表示するモード"));
    problem = new QLabel(this);
    problem->setWordWrap(true);
    problem->hide();

    auto *chart = new QChart;
    rates = new QLineSeries(chart);
    rates->setName(QStringLiteral("正解率 (%)"));
    speeds = new QLineSeries(chart);
    speeds->setName(QStringLiteral("秒当たり (文字)"));
    chart->addSeries(rates);
    chart->addSeries(speeds);
    auto *games = new QValueAxis(chart);
    games->setTitleText(QStringLiteral("ゲーム"));
    games->setLabelFormat(QStringLiteral("%d"));
    auto *percent = new QValueAxis(chart);
    percent->setRange(0, 100);
    percent->setTitleText(QStringLiteral("正解率 (%)"));
    auto *perSecond = new QValueAxis(chart);
    perSecond->setTitleText(QStringLiteral("秒当たり (文字)"));
    chart->addAxis(games, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    chart->addAxis(perSecond, Qt::AlignRight);
    rates->attachAxis(games), rates->attachAxis(percent);
    speeds->attachAxis(games), speeds->attachAxis(perSecond);
    view = new QChartView(chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(windowTitle());

    for (QLineSeries *series : {rates, speeds}) {
        connect(series, &QLineSeries::hovered, this, [this](const QPointF &at, bool on) {
            if (!on || games_.isEmpty())
                return QToolTip::hideText();
            const auto near = std::min_element(games_.cbegin(), games_.cend(), [&](const ChartGame &a, const ChartGame &b) {
                return std::abs(a.number - at.x()) < std::abs(b.number - at.x());
            });
            QToolTip::showText(QCursor::pos(), near->label, view);
        });
    }
    connect(modes, &QComboBox::currentIndexChanged, this, &ChartWindow::draw);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        if (isVisible())
            refresh();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(modes);
    layout->addWidget(problem);
    layout->addWidget(view);
}

void ChartWindow::showEvent(QShowEvent *event)
{
    refresh();
    QDialog::showEvent(event);
}

void ChartWindow::refresh()
{
    // A file replaced by a rename is no longer watched: watch it again.
    const QString history = QDir::current().absoluteFilePath(kHistoryFile.toString());
    if (!watcher_->files().contains(history))
        watcher_->addPath(history);
    try {
        records_ = readHistory();
        problem->hide();
    } catch (const RuntimeError &error) {
        records_.clear();
        problem->setText(error.message());
        problem->show();
    }
    QSet<QString> seen;
    QStringList found;
    for (const HistoryRecord &r : records_) {
        if (!seen.contains(r.mode))
            seen.insert(r.mode), found.append(r.mode);
    }
    std::sort(found.begin(), found.end());
    const QString chosen = modes->currentText();
    const QSignalBlocker quiet(modes);
    modes->clear();
    modes->addItem(kAllModes);
    for (const QString &mode : std::as_const(found))
        modes->addItem(QStringLiteral("モード %1").arg(mode), mode);
    modes->setCurrentIndex(std::max(0, modes->findText(chosen)));
    draw();
}

void ChartWindow::draw()
{
    games_ = chartGames(records_, modes->currentData().toString());
    QList<QPointF> rate, speed;
    double fastest = 0;
    for (const ChartGame &game : std::as_const(games_)) {
        rate.append(QPointF(game.number, game.rate));
        speed.append(QPointF(game.number, game.perSecond));
        fastest = std::max(fastest, game.perSecond);
    }
    rates->replace(rate);
    speeds->replace(speed);
    const auto axes = view->chart()->axes();
    const int last = games_.isEmpty() ? 1 : games_.last().number;
    axes[0]->setRange(games_.isEmpty() ? 0 : games_.first().number, last);
    axes[2]->setRange(0, std::max(1.0, fastest * 1.1));
    view->setAccessibleDescription(chartSummary(games_));
}

} // namespace sumiraku
