#pragma once

// The window "成績グラフ": the saved games in order, accuracy and speed as two
// lines on two axes, one mode or all. It follows the history file as it
// changes, whoever changes it.

#include "files/history_file.h"

#include <QDialog>
#include <QList>
#include <QPointF>

class QComboBox;
class QFileSystemWatcher;
class QLabel;
class QChartView;
class QLineSeries;

namespace sumiraku {

struct ChartGame {
    int number;            // its place in the history, from 1
    double rate;           // 正解率, percent
    double perSecond;      // 秒当たり
    QString label;         // date, time, seconds and mode, for the hover
};

// The games of one mode (or all, for an empty mode) that carry both figures.
QList<ChartGame> chartGames(const std::vector<HistoryRecord> &records, const QString &mode);
// A short spoken summary of the last games, for the chart's description.
QString chartSummary(const QList<ChartGame> &games);

class ChartWindow : public QDialog {
    Q_OBJECT
public:
    explicit ChartWindow(QWidget *owner);
    // Reads 履歴.txt again and redraws; a problem with it shows in place of the chart.
    void refresh();

    QComboBox *modes = nullptr;
    QChartView *view = nullptr;
    QLineSeries *rates = nullptr;
    QLineSeries *speeds = nullptr;
    QLabel *problem = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void draw();

    QFileSystemWatcher *watcher_;
    std::vector<HistoryRecord> records_;
    QList<ChartGame> games_;
};

} // namespace sumiraku
