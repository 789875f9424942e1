#include "platform/flexgrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <memory>

using sumiraku::FlexGrid;

namespace {

// The history grid as the window builds it: two rows, ten columns, headings in
// row 0 and entry numbers in column 0, the window's size.
std::unique_ptr<FlexGrid> historyGrid()
{
    auto grid = std::make_unique<FlexGrid>(2, 10, 1, 1);
    QFont font(grid->font());
    font.setPixelSize(12);
    grid->setFont(font);
    grid->resize(586, 131);
    return grid;
}

void put(FlexGrid &grid, int row, int col, const QString &text)
{
    grid.setRow(row);
    grid.setCol(col);
    grid.setText(text);
}

void appendEntries(FlexGrid &grid, int count)
{
    for (int n = grid.Rows(); count > 0; ++n, --count) {
        grid.setRows(n + 1);
        put(grid, n, 0, QString::number(n));
        for (int c = 1; c < grid.Cols(); ++c)
            put(grid, n, c, QStringLiteral("%1-%2").arg(n).arg(c));
    }
}

// What the view shows for a cell, fixed or not.
QVariant shown(const FlexGrid &grid, int row, int col, int role)
{
    const QAbstractItemModel *model = grid.view()->model();
    if (row == 0)
        return model->headerData(col - 1, Qt::Horizontal, role);
    if (col == 0)
        return model->headerData(row - 1, Qt::Vertical, role);
    return model->index(row - 1, col - 1).data(role);
}

} // namespace

class TestFlexGrid : public QObject {
    Q_OBJECT

private slots:
    void shrinkingKeepsHeadingsAndGrowingAddsEmptyRows()
    {
        auto grid = historyGrid();
        grid->setRows(1);
        put(*grid, 0, 0, QStringLiteral("回"));
        put(*grid, 0, 4, QStringLiteral("ＯＫ"));
        appendEntries(*grid, 5);
        QCOMPARE(grid->Rows(), 6);
        QCOMPARE(grid->view()->model()->rowCount(), 5);
        QCOMPARE(grid->Row(), 5);

        grid->setRows(1);
        QCOMPARE(grid->Rows(), 1);
        QCOMPARE(grid->view()->model()->rowCount(), 0);
        QCOMPARE(grid->Row(), 0);
        QCOMPARE(grid->TextMatrix(0, 0), QStringLiteral("回"));
        QCOMPARE(grid->TextMatrix(0, 4), QStringLiteral("ＯＫ"));

        grid->setRows(3);
        QCOMPARE(grid->view()->model()->rowCount(), 2);
        for (int c = 0; c < grid->Cols(); ++c)
            QVERIFY2(grid->TextMatrix(1, c).isEmpty(), qPrintable(grid->TextMatrix(1, c)));
        QCOMPARE(grid->TextMatrix(0, 4), QStringLiteral("ＯＫ"));
    }

    void currentCellTextReachesTheView_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("heading") << 0 << 6;
        QTest::newRow("entry number") << 3 << 0;
        QTest::newRow("cell") << 3 << 6;
        QTest::newRow("last cell") << 4 << 9;
    }

    void currentCellTextReachesTheView()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        auto grid = historyGrid();
        grid->setRows(5);
        const QString text = QStringLiteral("正解率%1/%2").arg(row).arg(col);
        put(*grid, row, col, text);
        QCOMPARE(grid->Text(), text);
        QCOMPARE(grid->TextMatrix(row, col), text);
        QCOMPARE(shown(*grid, row, col, Qt::DisplayRole).toString(), text);
        // Its neighbours stay empty.
        QVERIFY(grid->TextMatrix(row, col == 9 ? 8 : col + 1).isEmpty());
        QVERIFY(grid->TextMatrix(row == 4 ? 3 : row + 1, col).isEmpty());
    }

    void rowHeadingsAreAnnouncedOncePerTurnOfTheEventLoop()
    {
        auto grid = historyGrid();
        grid->setRows(1);
        QSignalSpy spy(grid->view()->model(), &QAbstractItemModel::headerDataChanged);
        appendEntries(*grid, 3);
        QVERIFY(spy.isEmpty());
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<Qt::Orientation>(), Qt::Vertical);
        QCOMPARE(spy.at(0).at(1).toInt(), 0);
        QCOMPARE(spy.at(0).at(2).toInt(), 2);
    }

    void widthsInTwipsBecomeHeaderPixels_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("fixed column") << 0 << 600 << 40;
        QTest::newRow("date") << 1 << 1400 << 93;
        QTest::newRow("time") << 2 << 1000 << 67;
        QTest::newRow("game length") << 8 << 1025 << 68;
        QTest::newRow("mode") << 9 << 700 << 47;
    }

    void widthsInTwipsBecomeHeaderPixels()
    {
        QFETCH(int, col);
        QFETCH(int, twips);
        QFETCH(int, pixels);
        auto grid = historyGrid();
        grid->setColWidth(col, twips);
        QCOMPARE(grid->ColWidth(col), twips);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        if (col == 0)
            QCOMPARE(grid->view()->verticalHeader()->width(), pixels);
        else
            QCOMPARE(grid->view()->horizontalHeader()->sectionSize(col - 1), pixels);
    }

    void alignmentCodesReachFixedAndNormalCells_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
        const int right = Qt::AlignRight | Qt::AlignVCenter;
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        QTest::newRow("4 centre") << 4 << QStringLiteral("12:34:56") << centre;
        QTest::newRow("7 right") << 7 << QStringLiteral("80.0%") << right;
        QTest::newRow("1 left") << 1 << QStringLiteral("N") << left;
        QTest::newRow("0 left top") << 0 << QStringLiteral("N") << int(Qt::AlignLeft | Qt::AlignTop);
        QTest::newRow("8 right bottom") << 8 << QStringLiteral("N")
                                        << int(Qt::AlignRight | Qt::AlignBottom);
        QTest::newRow("9 general number") << 9 << QStringLiteral("25") << right;
        QTest::newRow("9 general text") << 9 << QStringLiteral("2.68/秒") << left;
    }

    void alignmentCodesReachFixedAndNormalCells()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(int, expected);
        auto grid = historyGrid();
        grid->setRows(3);
        for (int c : {0, 5}) {
            for (int r : {0, 2})
                put(*grid, r, c, text);
        }
        // Fixed and normal cells keep separate codes: set one, then the other.
        grid->setFixedAlignment(5, code);
        QCOMPARE(grid->FixedAlignment(5), code);
        QCOMPARE(grid->ColAlignment(5), 1);
        QCOMPARE(shown(*grid, 0, 5, Qt::TextAlignmentRole).toInt(), expected);
        QCOMPARE(shown(*grid, 2, 5, Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));

        grid->setColAlignment(5, code);
        QCOMPARE(grid->ColAlignment(5), code);
        QCOMPARE(shown(*grid, 2, 5, Qt::TextAlignmentRole).toInt(), expected);

        // The entry numbers are fixed cells of column 0; its normal alignment is unused.
        grid->setColAlignment(0, code == 4 ? 7 : 4);
        grid->setFixedAlignment(0, code);
        QCOMPARE(shown(*grid, 2, 0, Qt::TextAlignmentRole).toInt(), expected);
    }

    void topRowBringsTheRowIntoView_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<int>("row");
        for (const char *when : {"shown", "before show", "before show, laid out",
                                 "before show, then font set"}) {
            QTest::addRow("%s, middle row", when) << QString::fromLatin1(when) << 120;
            QTest::addRow("%s, last row", when) << QString::fromLatin1(when) << 200;
        }
    }

    // As in the window: filled and scrolled inside a window not yet shown, whose
    // pending events run before it appears.
    void topRowBringsTheRowIntoView()
    {
        QFETCH(QString, when);
        QFETCH(int, row);
        QWidget window;
        window.resize(631, 452);
        auto *grid = new FlexGrid(2, 10, 1, 1, &window);
        grid->setGeometry(15, 215, 586, 131);
        grid->setRows(1);
        appendEntries(*grid, 200);
        QTableView *view = grid->view();
        if (when == QLatin1String("before show, laid out"))
            view->doItemsLayout();
        if (when != QLatin1String("shown")) {
            grid->setTopRow(row);
            QCOMPARE(grid->TopRow(), row);
            QCoreApplication::processEvents();
            if (when == QLatin1String("before show, then font set"))
                grid->setFontSize(11);
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (when == QLatin1String("shown"))
            grid->setTopRow(row);

        const QRect wanted = view->visualRect(view->model()->index(row - 1, 0));
        QVERIFY(view->viewport()->rect().contains(wanted));
        if (row < grid->Rows() - 6) {
            QCOMPARE(grid->TopRow(), row);
            QCOMPARE(wanted.top(), 0);
        } else {
            // Near the end the view stops with the last row at the bottom; TopRow
            // reports the first row it shows whole.
            const int top = grid->TopRow();
            QVERIFY(top < row);
            QVERIFY(view->visualRect(view->model()->index(top - 1, 0)).top() >= 0);
            QVERIFY(view->visualRect(view->model()->index(top - 2, 0)).top() < 0);
        }
    }

    void newestEntryComesIntoViewAfterEachAppend()
    {
        auto grid = historyGrid();
        grid->setRows(1);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QTableView *view = grid->view();
        for (int n = 1; n <= 12; ++n) {
            appendEntries(*grid, 1);
            if (grid->Rows() > 7)
                grid->setTopRow(grid->Rows() - 1);
            const QRect newest = view->visualRect(view->model()->index(n - 1, 0));
            QVERIFY2(view->viewport()->rect().contains(newest), qPrintable(QString::number(n)));
        }
    }

    void keysScrollFromWhereTheViewIs_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("pages");   // pages moved, beside the rows
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("expected"); // 0: as moved; else this TopRow
        QTest::newRow("down") << int(Qt::Key_Down) << 0 << 1 << 0;
        QTest::newRow("up") << int(Qt::Key_Up) << 0 << -1 << 0;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << 1 << 0 << 0;
        QTest::newRow("page up") << int(Qt::Key_PageUp) << -1 << 0 << 0;
        QTest::newRow("home") << int(Qt::Key_Home) << 0 << 0 << 1;
    }

    void keysScrollFromWhereTheViewIs()
    {
        QFETCH(int, key);
        QFETCH(int, pages);
        QFETCH(int, rows);
        QFETCH(int, expected);
        auto grid = historyGrid();
        grid->setRows(1);
        appendEntries(*grid, 60);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        grid->setTopRow(30);
        // Taking the focus must not move the view to a cell cursor at the top.
        grid->setFocus();
        QVERIFY(grid->view()->hasFocus());
        QCOMPARE(grid->TopRow(), 30);

        const int page = grid->view()->verticalScrollBar()->pageStep();
        QVERIFY(page > 1);
        QTest::keyClick(grid->view(), Qt::Key(key));
        QCOMPARE(grid->TopRow(), expected ? expected : 30 + pages * page + rows);
    }

    void cellsCannotBeEdited()
    {
        auto grid = historyGrid();
        appendEntries(*grid, 3);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QTableView *view = grid->view();
        const QModelIndex cell = view->model()->index(1, 1);
        QVERIFY(!(cell.flags() & Qt::ItemIsEditable));
        const QPoint centre = view->visualRect(cell).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
        QTest::keyClick(view, Qt::Key_F2);
        QTest::keyClick(view, Qt::Key_A);
        QVERIFY(!view->viewport()->findChild<QLineEdit *>());
        QCOMPARE(cell.data().toString(), QStringLiteral("2-2"));
    }

    void fontSizeIsInPointsAndSetsTheRowHeight()
    {
        auto grid = historyGrid();
        QCOMPARE(grid->FontSize(), 9.0f);   // 12 px at 96 dpi
        const int designHeight = grid->view()->verticalHeader()->defaultSectionSize();
        grid->setFontSize(11);
        QCOMPARE(grid->FontSize(), 11.0f);
        QCOMPARE(grid->view()->font().pointSizeF(), 11.0);
        QVERIFY(grid->view()->verticalHeader()->defaultSectionSize() > designHeight);
        QCOMPARE(grid->view()->horizontalHeader()->sizeHint().height(),
                 grid->view()->verticalHeader()->defaultSectionSize());
    }
};

QTEST_MAIN(TestFlexGrid)
#include "test_flexgrid.moc"
