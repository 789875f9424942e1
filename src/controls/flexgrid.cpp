#include "controls/flexgrid.h"

#include "controls/controls.h"
#include "controls/flexgrid_model.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QFontInfo>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace sumiraku {

namespace {

// A header whose thickness is set, not measured: measuring would read the texts
// of thousands of rows, and the fixed column has a width of its own.
class FixedHeader : public QHeaderView {
public:
    FixedHeader(Qt::Orientation orientation, QWidget *parent)
        : QHeaderView(orientation, parent)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setSectionsClickable(false);
        setHighlightSections(false);
        setMinimumSectionSize(0);
        setTextElideMode(Qt::ElideNone);
    }

    void setThickness(int pixels)
    {
        thickness_ = pixels;
        updateGeometry();
    }

    QSize sizeHint() const override
    {
        return orientation() == Qt::Horizontal ? QSize(length(), thickness_)
                                               : QSize(thickness_, length());
    }

private:
    int thickness_ = 0;
};

// Draws a cell's text a little smaller where it would fill the cell: the
// design's widths leave the date and the time no room at all in the Japanese
// faces we have, and the two would read as one.
class FittingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        QStyle *style = item.widget ? item.widget->style() : QApplication::style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, item.widget) + 2;
        const qreal room = item.rect.width() - 2 * margin;
        const qreal wide = QFontMetricsF(item.font).horizontalAdvance(item.text);
        if (wide > room && room > 0) {
            item.font.setPixelSize(std::max(1, int(QFontInfo(item.font).pixelSize() * room / wide)));
            item.fontMetrics = QFontMetrics(item.font);
        }
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
    }
};

class GridView : public QTableView {
public:
    GridView(FlexGridModel *model, QWidget *parent)
        : QTableView(parent), model_(model)
    {
        setHorizontalHeader(new FixedHeader(Qt::Horizontal, this));
        setItemDelegate(new FittingDelegate(this));
        setVerticalHeader(new FixedHeader(Qt::Vertical, this));
        setModel(model);
        horizontalHeader()->setVisible(model->fixedRows() > 0);
        verticalHeader()->setVisible(model->fixedCols() > 0);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionMode(QAbstractItemView::NoSelection);
        setTabKeyNavigation(false);
        setWordWrap(false);
        setTextElideMode(Qt::ElideNone);
        setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        setCornerButtonEnabled(false);
        setFocusPolicy(Qt::StrongFocus);

        // The corner button is the view's only button; it is painted as the
        // top-left fixed cell.
        corner_ = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
        if (corner_)
            corner_->installEventFilter(this);
        connect(model, &FlexGridModel::cornerChanged, this, [this] {
            if (corner_)
                corner_->update();
        });
        connect(model, &FlexGridModel::colWidthChanged, this, &GridView::applyWidth);
        for (int col = 0; col < model->cols(); ++col)
            applyWidth(col);
        applyFontMetrics();
    }

    // Rows as the model counts them, without the fixed row.
    int topRow() const
    {
        const int last = std::max(model_->rowCount() - 1, 0);
        return pendingTop_ >= 0 ? std::min(pendingTop_, last) : verticalScrollBar()->value();
    }

    void setTopRow(int row)
    {
        pendingTop_ = std::max(row, 0);
        if (laidOut())
            doItemsLayout(); // updateGeometries() applies it
    }

protected:
    bool event(QEvent *event) override
    {
        const bool done = QTableView::event(event);
        if (event->type() == QEvent::Show && pendingTop_ >= 0)
            doItemsLayout();
        return done;
    }

    void changeEvent(QEvent *event) override
    {
        QTableView::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            applyFontMetrics();
    }

    void updateGeometries() override
    {
        // Laying out can show a scroll bar, which lays out again from within;
        // only the outermost pass leaves the final scroll range.
        ++layoutDepth_;
        QTableView::updateGeometries();
        --layoutDepth_;
        // The scroll range is right only once the view has its real size; until
        // then a requested top row waits.
        if (layoutDepth_ == 0 && pendingTop_ >= 0 && laidOut()) {
            verticalScrollBar()->setValue(pendingTop_);
            pendingTop_ = -1;
        }
    }

    // The keys scroll the view instead of moving a cell cursor: the grid shows
    // a list to read, and a cursor would start at the top, far from the newest
    // entries the view is usually scrolled to.
    void keyPressEvent(QKeyEvent *event) override
    {
        QScrollBar *rows = verticalScrollBar();
        QScrollBar *cols = horizontalScrollBar();
        switch (event->key()) {
        case Qt::Key_Up: rows->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Down: rows->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case Qt::Key_PageUp: rows->triggerAction(QAbstractSlider::SliderPageStepSub); break;
        case Qt::Key_PageDown: rows->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case Qt::Key_Home: rows->triggerAction(QAbstractSlider::SliderToMinimum); break;
        case Qt::Key_End: rows->triggerAction(QAbstractSlider::SliderToMaximum); break;
        case Qt::Key_Left: cols->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Right: cols->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        default:
            event->ignore();
            return;
        }
        pendingTop_ = -1;   // the reader has scrolled since
        event->accept();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == corner_ && event->type() == QEvent::Paint) {
            paintCorner();
            return true;
        }
        return QTableView::eventFilter(watched, event);
    }

private:
    bool laidOut() const
    {
        const QWidget *grid = parentWidget();
        return !testAttribute(Qt::WA_PendingResizeEvent) && grid
               && !grid->testAttribute(Qt::WA_PendingResizeEvent);
    }

    void applyWidth(int col)
    {
        const int pixels = twipsToPixels(model_->colWidth(col));
        if (col < model_->fixedCols())
            static_cast<FixedHeader *>(verticalHeader())->setThickness(pixels);
        else
            horizontalHeader()->resizeSection(col - model_->fixedCols(), pixels);
        updateGeometries();
    }

    void applyFontMetrics()
    {
        // Fixed heights: sizing rows to their contents costs a pass over every row.
        const int height = fontMetrics().height() + 2;
        verticalHeader()->setDefaultSectionSize(height);
        static_cast<FixedHeader *>(horizontalHeader())->setThickness(height);
        updateGeometries();
    }

    void paintCorner()
    {
        // Colours, state and font come from the view: the button is disabled so
        // that it selects nothing, and buttons may carry a font of their own.
        QPainter painter(corner_);
        painter.setFont(font());
        QStyleOptionHeader option;
        option.initFrom(this);
        option.rect = corner_->rect();
        option.orientation = Qt::Horizontal;
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.text = model_->cell(0, 0);
        option.textAlignment = FlexGridModel::alignmentOf(model_->fixedAlignment(0), option.text);
        style()->drawControl(QStyle::CE_Header, &option, &painter, corner_);
    }

    FlexGridModel *model_;
    QAbstractButton *corner_ = nullptr;
    int pendingTop_ = -1;
    int layoutDepth_ = 0;
};

GridView *gridView(QTableView *view)
{
    return static_cast<GridView *>(view);
}

} // namespace

FlexGrid::FlexGrid(int rows, int cols, int fixedRows, int fixedCols, QWidget *parent)
    : QWidget(parent),
      model_(new FlexGridModel(rows, cols, fixedRows, fixedCols, this)),
      view_(new GridView(model_, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(view_);
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::Rows() const
{
    return model_->rows();
}

void FlexGrid::setRows(int rows)
{
    model_->setRows(rows);
    row_ = std::min(row_, model_->rows() - 1);
}

void FlexGrid::setSourceRows(int count, std::function<QString(int row, int col)> source)
{
    model_->setSourceRows(count, std::move(source));
    row_ = std::min(row_, model_->rows() - 1);
}


void FlexGrid::setRedraw(bool on)
{
    model_->setHolding(!on);
}


int FlexGrid::FixedRows() const
{
    return model_->fixedRows();
}



void FlexGrid::setRow(int row)
{
    row_ = std::clamp(row, 0, model_->rows() - 1);
}


void FlexGrid::setCol(int col)
{
    col_ = std::clamp(col, 0, model_->cols() - 1);
}


void FlexGrid::setText(const QString &text)
{
    model_->setCell(row_, col_, text);
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    return model_->cell(row, col);
}

int FlexGrid::ColWidth(int col) const
{
    return model_->colWidth(col);
}

void FlexGrid::setColWidth(int col, int twips)
{
    model_->setColWidth(col, twips);
}


void FlexGrid::setColAlignment(int col, int code)
{
    model_->setColAlignment(col, code);
}


void FlexGrid::setFixedAlignment(int col, int code)
{
    model_->setFixedAlignment(col, code);
}

// Before the grid has been shown at its size, the top row reads back as set
// (clamped to the rows there are); afterwards as shown, which is less than the
// request when the last rows already fit below it.
int FlexGrid::TopRow() const
{
    return gridView(view_)->topRow() + model_->fixedRows();
}

void FlexGrid::setTopRow(int row)
{
    gridView(view_)->setTopRow(row - model_->fixedRows());
}


void FlexGrid::setFontSize(float points)
{
    if (points <= 0)
        return;
    QFont changed = font();
    changed.setPointSizeF(points);
    setFont(changed);
}

} // namespace sumiraku
