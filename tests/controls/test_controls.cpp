// The control stand-ins: what counts as a click on a label, a frame and a combo
// box, and the history grid as its view shows it.

#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "controls/uniform_list.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTableView>
#include <QtTest>

using namespace sumiraku;

namespace {

// A grid cell set as the classic code sets one.
void put(FlexGrid *grid, int row, int col, const QString &text)
{
    grid->setRow(row);
    grid->setCol(col);
    grid->setText(text);
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    // A click is a press and a release inside. As the classic platform gives
    // them, a double-click on a label clicks once, and Enter clicks a focused
    // button as Space does.
    void clicksAsTheClassicControlsDo()
    {
        ClickLabel label(QStringLiteral("問題"));
        ClickFrame frame(QStringLiteral("履歴"));
        for (QWidget *target : std::initializer_list<QWidget *>{&label, &frame}) {
            target->resize(100, 50);
            QSignalSpy clicks(target, SIGNAL(clicked()));
            for (const QPoint release : {QPoint(90, 60), QPoint(110, 40), QPoint(90, 40)}) {   // below, right, inside
                QTest::mousePress(target, Qt::LeftButton, {}, QPoint(5, 5));
                QTest::mouseRelease(target, Qt::LeftButton, {}, release);
            }
            QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                              Qt::LeftButton, {});
            if (target == &label) {
                QApplication::sendEvent(&label, &twice);
                QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(5, 5));
            }
            QCOMPARE(clicks.count(), 1);
        }
        CommandButton button;
        QSignalSpy pressed(&button, &QToolButton::clicked);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
            QTest::keyClick(&button, key);
        QCOMPARE(pressed.count(), 3);
    }

    void keysGiveTheClassicCharacterCodes()
    {
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, none = Qt::NoModifier;
        const struct { int key; Qt::KeyboardModifiers with; const char16_t *text; int code; } keys[] = {
            {Qt::Key_Return, none, u"\r", 13}, {Qt::Key_Return, ctrl, u"", 10},
            {Qt::Key_Enter, Qt::AltModifier, u"", 0}, {Qt::Key_Escape, none, u"", 27},
            {Qt::Key_M, ctrl, u"", 13}, {Qt::Key_BracketLeft, ctrl, u"", 27}, {Qt::Key_A, ctrl, u"", 1},
            {Qt::Key_Z, ctrl, u"", 26}, {Qt::Key_1, ctrl, u"", 0}, {Qt::Key_A, none, u"a", 97},
            {0, none, u"一", 0x4E00},
        };
        for (const auto &k : keys)
            QCOMPARE(int(keyAsciiFor(k.key, k.with, QString::fromUtf16(k.text))), k.code);
    }

    // The wheel picks as the popup and the arrow keys do; typed text is neither
    // completed from the list nor added to it nor a pick, even with Enter and
    // naming an entry; a popup closed without a choice picks nothing.
    void aComboClicksOnAPickOnly()
    {
        PickCombo combo;
        combo.addItems({QStringLiteral("10"), QStringLiteral("20")});
        combo.show();   // completion needs the focus
        QVERIFY(QTest::qWaitForWindowActive(&combo));
        QSignalSpy clicks(&combo, &PickCombo::clicked);
        QWheelEvent wheel({5, 5}, {5, 5}, {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&combo, &wheel);
        QCOMPARE(combo.currentText(), QStringLiteral("20"));
        for (const QString &typed : {QStringLiteral("1"), QStringLiteral("10")}) {
            combo.clearEditText();
            QTest::keyClicks(&combo, typed);
            QTest::keyClick(&combo, Qt::Key_Return);
            QCOMPARE(combo.currentText(), typed);
        }
        QCOMPARE(combo.count(), 2);
        combo.showPopup();
        QTest::keyClick(combo.view(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        QCOMPARE(clicks.count(), 1);
        combo.showPopup();
        QTest::keyClick(combo.view(), Qt::Key_Down);
        QTest::keyClick(combo.view(), Qt::Key_Return);
        QCOMPARE(clicks.count(), 2);
    }

    // Off, the view keeps showing what it showed, even to a paint in between;
    // on, it shows what was set, and rows cut off meanwhile come back empty.
    void gridShowsWhatWasSetWhileRedrawWasOffWhenItIsOn()
    {
        for (const auto &[before, after] : {std::pair(3, 40), std::pair(40, 3), std::pair(5, 1)}) {
            QWidget window;
            auto *grid = new FlexGrid(before, 10, 1, 1, &window);
            for (int n = 1; n < before; ++n)
                put(grid, n, 5, QStringLiteral("古い"));
            grid->setColWidth(0, 600);
            grid->setColWidth(2, 1000);
            grid->setFixedAlignment(5, FlexGrid::CenterCenter);
            grid->setGeometry(15, 215, 586, 131);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTableView *view = grid->view();
            const QAbstractItemModel *model = view->model();
            QSignalSpy headers(model, &QAbstractItemModel::headerDataChanged);
            grid->setRedraw(false);
            put(grid, 0, 5, QStringLiteral("日付"));
            grid->setColAlignment(5, FlexGrid::RightCenter);
            grid->setRows(after);
            for (int n = 1; n < after; ++n) {
                put(grid, n, 0, QString::number(n));
                put(grid, n, 5, QStringLiteral("%1秒").arg(n));
            }
            QApplication::processEvents();
            QVERIFY(model->rowCount() == before - 1 && headers.isEmpty());

            grid->setRedraw(true);
            QCOMPARE(model->rowCount(), after - 1);
            QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("日付"));
            QCOMPARE(model->headerData(4, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
            for (int n = 1; n < after; ++n) {
                QCOMPARE(model->headerData(n - 1, Qt::Vertical).toString(), QString::number(n));
                QCOMPARE(model->index(n - 1, 4).data().toString(), QStringLiteral("%1秒").arg(n));
                QCOMPARE(model->index(n - 1, 4).data(Qt::TextAlignmentRole).toInt(),
                         int(Qt::AlignRight | Qt::AlignVCenter));
            }
            QVERIFY(!headers.isEmpty());
            QCOMPARE(view->verticalHeader()->width(), 40);   // 15 twips a pixel, rounded
            QCOMPARE(view->horizontalHeader()->sectionSize(1), 67);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(model->index(0, 4)).center());
            QVERIFY(!view->viewport()->findChild<QLineEdit *>());   // no editor
            grid->setTopRow(after - 1);   // scrolled to the newest row
            QApplication::processEvents();
            QVERIFY(after == 1 || view->viewport()->rect().contains(view->visualRect(model->index(after - 2, 0))));
            grid->setRows(before);
            QCOMPARE(grid->TextMatrix(before - 1, 5), after < before ? QString() : QStringLiteral("2秒"));
        }
    }

    // Rows from a source are asked for only when read or shown; a cell set in
    // one wins over the source; rows cut off take their set cells with them,
    // and rows added after the source's are kept as any.
    void gridAsksItsSourceOnlyForWhatIsRead()
    {
        FlexGrid grid(1, 3, 1, 1);
        put(&grid, 0, 1, QStringLiteral("見出し"));
        int asked = 0;
        const auto source = [&asked](int row, int col) {
            ++asked;
            return QStringLiteral("%1-%2").arg(row).arg(col);
        };
        grid.setSourceRows(30000, source);
        QCOMPARE(asked, 0);
        QCOMPARE(grid.Rows(), 30001);
        QCOMPARE(grid.view()->model()->rowCount(), 30000);
        QCOMPARE(grid.TextMatrix(0, 1) + grid.TextMatrix(30000, 2), QStringLiteral("見出し30000-2"));
        put(&grid, 7, 2, QStringLiteral("直した"));
        grid.setRows(30002);
        put(&grid, 30001, 2, QStringLiteral("新しい"));
        const auto row = [&grid](int r) { return grid.TextMatrix(r, 1) + u'|' + grid.TextMatrix(r, 2); };
        QCOMPARE(row(7) + u' ' + row(30001), QStringLiteral("7-1|直した |新しい"));
        grid.setRows(5);
        grid.setRows(9);
        QCOMPARE(row(4) + u' ' + row(7), QStringLiteral("4-1|4-2 |"));
        grid.setRows(1);
        grid.setRows(3);
        QCOMPARE(row(0) + u' ' + row(2), QStringLiteral("見出し| |"));
        grid.setSourceRows(8, source);
        QCOMPARE(row(7) + u' ' + row(2), QStringLiteral("7-1|7-2 2-1|2-2"));
        QCOMPARE(grid.view()->model()->rowCount(), 8);
    }

    // A long list's items are made as they are shown, each from its block, and
    // are never edited.
    void aTextListReadsEachItemFromItsBlock()
    {
        TextListModel list;
        list.append(2, [](int i) { return QStringLiteral("a%1").arg(i); });
        list.append(0, {});
        list.append(3, [](int i) { return QStringLiteral("b%1").arg(i); });
        QStringList items;
        for (int row = 0; row < list.rowCount(); ++row)
            items << list.index(row).data().toString();
        QCOMPARE(items.join(u' '), QStringLiteral("a0 a1 b0 b1 b2"));
        QVERIFY(!(list.flags(list.index(1)) & Qt::ItemIsEditable));
    }

    // The list that places its rows by arithmetic looks and moves as Qt's own
    // list does, side by side on the same entries: scroll ranges, keys, clicks,
    // scrolls to a row and what is drawn, by item and by pixel.
    void aUniformListIsAQListView()
    {
        QStringList entries;
        for (int i = 0; i < 300; ++i)
            entries << QStringLiteral("一期一会%1").arg(i);
        QStringListModel model(entries);
        for (const auto mode : {QAbstractItemView::ScrollPerItem, QAbstractItemView::ScrollPerPixel}) {
            model.setStringList(entries);
            QWidget window;   // one window: both active or neither
            QListView qt(&window);
            UniformListView ours(&window);
            for (QListView *list : {&qt, static_cast<QListView *>(&ours)}) {
                list->setModel(&model);
                list->setUniformItemSizes(true);
                list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                list->setVerticalScrollMode(mode);
                list->setFont(QFont(list->font().family(), 11));
                list->setGeometry(list == &qt ? 0 : 110, 0, 106, 109);   // not a whole number of rows
            }
            window.resize(300, 200);
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QCursor::setPos(window.mapToGlobal(QPoint(250, 150)));   // on neither
            ours.setFocus();   // the first focus makes the first row current
            qt.setFocus();
            const auto same = [&](const char *step) {
                for (int i = 0; i < 2; ++i)   // a layout, then the scroll bars it shows or hides
                    QCoreApplication::processEvents();
                const QScrollBar *a = qt.verticalScrollBar(), *b = ours.verticalScrollBar();
                const QString seen = QStringLiteral("%1: row %2 at %3 of %4 by %5 and %6")
                    .arg(QLatin1String(step));
                QCOMPARE(seen.arg(ours.currentIndex().row()).arg(b->value()).arg(b->maximum())
                             .arg(b->pageStep()).arg(b->singleStep()),
                         seen.arg(qt.currentIndex().row()).arg(a->value()).arg(a->maximum())
                             .arg(a->pageStep()).arg(a->singleStep()));
                for (const QPoint p : {QPoint(3, 2), QPoint(50, 60), QPoint(105, 108), QPoint(3, -1)})
                    QCOMPARE(ours.indexAt(p), qt.indexAt(p));
                QCOMPARE(ours.visualRect(ours.currentIndex()), qt.visualRect(qt.currentIndex()));
                // Each drawn as it is when it has the focus.
                const auto image = [](QListView &list) { return list.setFocus(), list.grab().toImage(); };
                QCOMPARE(image(ours), image(qt));
            };
            same("start");
            for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Up,
                                      Qt::Key_PageUp, Qt::Key_Home}) {
                QTest::keyClick(&qt, key);
                QTest::keyClick(&ours, key);
                same(qPrintable(QKeySequence(key).toString()));
            }
            for (const auto hint : {QAbstractItemView::PositionAtBottom, QAbstractItemView::PositionAtCenter,
                                    QAbstractItemView::EnsureVisible, QAbstractItemView::PositionAtTop}) {
                for (const int row : {150, 2, 299}) {
                    qt.scrollTo(model.index(row), hint);
                    ours.scrollTo(model.index(row), hint);
                    same("scroll");
                }
            }
            // What the views scroll their contents by shows in a widget on each.
            QWidget qtMark(qt.viewport()), ourMark(ours.viewport());
            for (const int value : {3, 40, 41, 0}) {
                qt.verticalScrollBar()->setValue(value);
                ours.verticalScrollBar()->setValue(value);
                QCOMPARE(ourMark.pos(), qtMark.pos());
            }
            QTest::mouseClick(qt.viewport(), Qt::LeftButton, {}, {40, 50});
            QTest::mouseClick(ours.viewport(), Qt::LeftButton, {}, {40, 50});
            same("click");
            QCOMPARE(ours.selectionModel()->selectedRows(), qt.selectionModel()->selectedRows());
            model.setStringList(entries.mid(0, 3));   // all rows fit
            same("few");
        }
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
