// The chart window as a module of its own, loaded on the chart's first opening.

#include "study/chart_window.h"

extern "C" Q_DECL_EXPORT QDialog *sumirakuChartWindow(QWidget *owner)
{
    return new sumiraku::ChartWindow(owner);
}
