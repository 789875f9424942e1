// Redraw off: the grid takes rows and texts without telling its view, which
// keeps showing what it showed; turned on, the view shows everything at once.

#include "platform/flexgrid.h"

#include <QTableView>
#include <QtTest>

using sumiraku::FlexGrid;

namespace {

void put(FlexGrid &grid, int row, int col, const QString &text)
{
    grid.setRow(row);
    grid.setCol(col);
    grid.setText(text);
}

QString shownCell(const FlexGrid &grid, int row, int col)
{
    const QAbstractItemModel *model = grid.view()->model();
    if (col == 0)
        return model->headerData(row - 1, Qt::Vertical).toString();
    return model->index(row - 1, col - 1).data().toString();
}

} // namespace

class TestFlexGridRedraw : public QObject {
    Q_OBJECT

private slots:
    void rowsSetWhileOffReachTheViewWhenTurnedOn_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("grown") << 3 << 40;
        QTest::newRow("shrunk") << 40 << 3;
        QTest::newRow("emptied") << 5 << 1;
    }

    void rowsSetWhileOffReachTheViewWhenTurnedOn()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QWidget window;
        window.resize(631, 452);
        auto *grid = new FlexGrid(before, 10, 1, 1, &window);
        grid->setGeometry(15, 215, 586, 131);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QAbstractItemModel *model = grid->view()->model();

        grid->setRedraw(false);
        QVERIFY(!grid->Redraw());
        grid->setRows(after);
        for (int n = 1; n < after; ++n) {
            put(*grid, n, 0, QString::number(n));
            put(*grid, n, 9, QStringLiteral("%1秒").arg(n));
        }
        QCOMPARE(grid->Rows(), after);
        QCOMPARE(grid->TextMatrix(after - 1, 0), after > 1 ? QString::number(after - 1) : QString());
        QCOMPARE(model->rowCount(), before - 1);
        QApplication::processEvents();   // a paint in between must find the view consistent

        grid->setRedraw(true);
        QCOMPARE(model->rowCount(), after - 1);
        for (int n = 1; n < after; ++n) {
            QCOMPARE(shownCell(*grid, n, 0), QString::number(n));
            QCOMPARE(shownCell(*grid, n, 9), QStringLiteral("%1秒").arg(n));
        }
        grid->setTopRow(after - 1);
        QApplication::processEvents();
        if (after > 1) {
            const QTableView *view = grid->view();
            const QRect last = view->visualRect(model->index(after - 2, 0));
            QVERIFY(view->viewport()->rect().contains(last));
        }
    }

    // Headings and alignments set while off reach the view as well.
    void headingsAndAlignmentsSetWhileOffReachTheView()
    {
        FlexGrid grid(3, 4, 1, 1);
        const QAbstractItemModel *model = grid.view()->model();
        QSignalSpy headers(model, &QAbstractItemModel::headerDataChanged);
        grid.setRedraw(false);
        put(grid, 0, 2, QStringLiteral("日付"));
        grid.setColAlignment(2, FlexGrid::RightCenter);
        grid.setFixedAlignment(2, FlexGrid::CenterCenter);
        QCOMPARE(headers.count(), 0);
        grid.setRedraw(true);
        QVERIFY(headers.count() > 0);
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("日付"));
        QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignCenter));
        QCOMPARE(model->index(0, 1).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));
    }
};

QTEST_MAIN(TestFlexGridRedraw)
#include "test_flexgrid_redraw.moc"
