// The history grid: headings kept, texts and widths reaching the view, scrolling
// to the newest entry, and no editing.

#include "controls/flexgrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
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

// What the view shows for a cell, fixed or not.
QVariant shown(const FlexGrid &grid, int row, int col, int role = Qt::DisplayRole)
{
    const QAbstractItemModel *model = grid.view()->model();
    if (row == 0)
        return model->headerData(col - 1, Qt::Horizontal, role);
    if (col == 0)
        return model->headerData(row - 1, Qt::Vertical, role);
    return model->index(row - 1, col - 1).data(role);
}

bool inView(const FlexGrid &grid, int row)
{
    const QTableView *view = grid.view();
    return view->viewport()->rect().contains(view->visualRect(view->model()->index(row - 1, 0)));
}

} // namespace

class TestFlexGrid : public QObject {
    Q_OBJECT

private slots:
    void cellTextsReachTheViewAndHeadingsOutliveTheRows()
    {
        FlexGrid grid(5, 10, 1, 1);   // headings in row 0, entry numbers in column 0
        for (const QPoint cell : {QPoint(6, 0), QPoint(0, 3), QPoint(9, 4)}) {
            const QString text = QStringLiteral("正解率%1/%2").arg(cell.y()).arg(cell.x());
            put(grid, cell.y(), cell.x(), text);
            QCOMPARE(shown(grid, cell.y(), cell.x()).toString(), text);
        }
        grid.setRows(1);
        QCOMPARE(grid.view()->model()->rowCount(), 0);
        grid.setRows(5);
        QCOMPARE(grid.TextMatrix(4, 9), QString());
        QCOMPARE(shown(grid, 0, 6).toString(), QStringLiteral("正解率0/6"));
    }

    // Fixed and normal cells of a column keep separate alignments.
    void widthsAndAlignmentsReachTheView()
    {
        FlexGrid grid(3, 10, 1, 1);
        grid.setColWidth(0, 600);
        grid.setColWidth(2, 1000);
        grid.setFixedAlignment(5, FlexGrid::CenterCenter);
        grid.setColAlignment(5, FlexGrid::RightCenter);
        grid.resize(586, 131);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.ColWidth(2), 1000);
        QCOMPARE(grid.view()->verticalHeader()->width(), 40);
        QCOMPARE(grid.view()->horizontalHeader()->sectionSize(1), 67);
        QCOMPARE(shown(grid, 0, 5, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        QCOMPARE(shown(grid, 2, 5, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    }

    void cellsCannotBeEdited()
    {
        FlexGrid grid(4, 10, 1, 1);
        put(grid, 2, 2, QStringLiteral("2-2"));
        grid.resize(586, 131);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTableView *view = grid.view();
        const QModelIndex cell = view->model()->index(1, 1);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
        QVERIFY(!view->viewport()->findChild<QLineEdit *>());
        QCOMPARE(cell.data().toString(), QStringLiteral("2-2"));
    }

    // Redraw off: the grid takes rows and texts without telling its view, which
    // keeps showing what it showed; turned on, the view shows everything at once.
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

        QSignalSpy headers(model, &QAbstractItemModel::headerDataChanged);
        grid->setRedraw(false);
        put(*grid, 0, 2, QStringLiteral("日付"));
        grid->setColAlignment(2, FlexGrid::RightCenter);
        grid->setRows(after);
        for (int n = 1; n < after; ++n) {
            put(*grid, n, 0, QString::number(n));
            put(*grid, n, 9, QStringLiteral("%1秒").arg(n));
        }
        QCOMPARE(model->rowCount(), before - 1);
        QCOMPARE(headers.count(), 0);
        QApplication::processEvents();   // a paint in between must find the view consistent

        grid->setRedraw(true);
        QCOMPARE(model->rowCount(), after - 1);
        QVERIFY(headers.count() > 0);
        QCOMPARE(shown(*grid, 0, 2).toString(), QStringLiteral("日付"));
        for (int n = 1; n < after; ++n) {
            QCOMPARE(shown(*grid, n, 0).toString(), QString::number(n));
            QCOMPARE(shown(*grid, n, 9).toString(), QStringLiteral("%1秒").arg(n));
            QCOMPARE(shown(*grid, n, 2, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        }
        grid->setTopRow(after - 1);
        QApplication::processEvents();
        if (after > 1)
            QVERIFY(inView(*grid, after - 1));
    }
};

QTEST_MAIN(TestFlexGrid)
#include "test_flexgrid.moc"
