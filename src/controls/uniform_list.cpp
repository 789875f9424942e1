#include "controls/uniform_list.h"

#include <QAccessible>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>

namespace sumiraku {

int UniformListView::rows() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

QModelIndex UniformListView::indexOfRow(int row) const
{
    return model()->index(row, modelColumn(), rootIndex());
}

// Every row's size, the last row's as QListView takes it for uniform items;
// asked of the delegate again after a layout, a font or a style changes.
QSize UniformListView::itemSize() const
{
    if (itemSize_.isEmpty() && rows() > 0) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QModelIndex last = indexOfRow(rows() - 1);
        itemSize_ = itemDelegateForIndex(last)->sizeHint(option, last);
    }
    return itemSize_;
}

int UniformListView::rowHeight() const
{
    return qMax(1, itemSize().height());
}

int UniformListView::pixelsPerStep() const
{
    return verticalScrollMode() == ScrollPerItem ? rowHeight() : 1;
}

int UniformListView::rowAt(int y) const
{
    const int top = y + verticalOffset();
    return top < 0 ? -1 : top / rowHeight();
}

int UniformListView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int UniformListView::verticalOffset() const
{
    return verticalScrollBar()->value() * pixelsPerStep();
}

QRect UniformListView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex()
        || index.column() != modelColumn()) {
        return {};
    }
    // As wide as the view, or as a row when that is wider.
    return {-horizontalOffset(), index.row() * rowHeight() - verticalOffset(),
            qMax(viewport()->width(), itemSize().width()), rowHeight()};
}

QModelIndex UniformListView::indexAt(const QPoint &point) const
{
    const int row = rowAt(point.y());
    if (row < 0 || row >= rows())
        return {};
    const QModelIndex index = indexOfRow(row);
    return visualRect(index).contains(point) ? index : QModelIndex();
}

void UniformListView::doItemsLayout()
{
    itemSize_ = {};
    QAbstractItemView::doItemsLayout();   // places nothing: only the scroll bars change
}

bool UniformListView::event(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        itemSize_ = {};
    return QListView::event(event);
}

// The ranges QListView sets: by item, the last page begins where the last
// whole page of rows fits; by pixel, as any scroll area.
void UniformListView::updateGeometries()
{
    const int count = rows(), height = rowHeight(), view = viewport()->height();
    QScrollBar *bar = verticalScrollBar();
    if (count == 0) {
        bar->setRange(0, 0);
    } else if (verticalScrollMode() == ScrollPerItem) {
        const int page = count * height <= view ? count + 1 : view / height;
        bar->setSingleStep(1);
        bar->setPageStep(page);
        bar->setRange(0, qMax(0, count - page));
    } else {
        bar->setSingleStep(height);
        bar->setPageStep(view);
        bar->setRange(0, qMax(0, count * height - view));
    }
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

// The rows on screen are moved as QListView moves them; only those scrolled in
// are painted. (QAbstractItemView leaves this to each view.)
void UniformListView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy * pixelsPerStep());
}

void UniformListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    const QRect rect = visualRect(index);
    if (!rect.isValid())
        return;
    const QRect area = viewport()->rect();
    if (hint == EnsureVisible && area.contains(rect)) {
        viewport()->update(rect);
        return;
    }
    if (hint == EnsureVisible)
        hint = rect.top() < area.top() ? PositionAtTop : rect.bottom() > area.bottom() ? PositionAtBottom : hint;
    QScrollBar *bar = verticalScrollBar();
    int value = bar->value();
    if (verticalScrollMode() == ScrollPerItem) {
        // Whole rows that fit above and with the row, itself included.
        const int fit = qMin(index.row() + 1, qMax(1, area.height() / rect.height()));
        value = hint == PositionAtTop      ? index.row()
              : hint == PositionAtBottom   ? index.row() - fit + 1
              : hint == PositionAtCenter   ? index.row() - fit / 2
                                           : value;
    } else {
        value += hint == PositionAtTop      ? rect.top()
               : hint == PositionAtBottom   ? qMin(rect.top(), rect.bottom() - area.height() + 1)
               : hint == PositionAtCenter   ? rect.top() - (area.height() - rect.height()) / 2
                                            : 0;
    }
    bar->setValue(value);
}

QModelIndex UniformListView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int last = rows() - 1;
    if (last < 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return indexOfRow(0);
    // A page is one row fewer than fit whole, as QListView moves.
    const int row = current.row(), page = qMax(1, viewport()->height() / rowHeight() - 1);
    switch (action) {
    case MoveUp:
    case MovePrevious: return indexOfRow(qMax(0, row - 1));
    case MoveDown:
    case MoveNext: return indexOfRow(qMin(last, row + 1));
    case MovePageUp: return indexOfRow(qMax(0, row - page));
    case MovePageDown: return indexOfRow(qMin(last, row + page));
    case MoveHome: return indexOfRow(0);
    case MoveEnd: return indexOfRow(last);
    default: return current;   // left and right: one column
    }
}

void UniformListView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel())
        return;
    const int top = qMax(0, rowAt(rect.top())), bottom = qMin(rows() - 1, rowAt(rect.bottom()));
    QItemSelection selection;
    if (top <= bottom)
        selection.select(indexOfRow(top), indexOfRow(bottom));
    selectionModel()->select(selection, command);
}

QRegion UniformListView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        if (!range.isValid() || range.parent() != rootIndex() || modelColumn() < range.left()
            || modelColumn() > range.right()) {
            continue;
        }
        const QRect rect = visualRect(indexOfRow(range.top())) | visualRect(indexOfRow(range.bottom()));
        if (viewport()->rect().intersects(rect))
            region += rect;
    }
    return region;
}

// As QListView paints its rows, for those the region holds.
void UniformListView::paintEvent(QPaintEvent *event)
{
    const int first = qMax(0, rowAt(event->rect().top())), last = qMin(rows() - 1, rowAt(event->rect().bottom()));
    if (first > last)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State state = option.state;
    const bool enabled = state & QStyle::State_Enabled;
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    const QModelIndex hover = viewport()->underMouse() ? indexAt(mouse) : QModelIndex();
    QPainter painter(viewport());
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = indexOfRow(row);
        option.rect = visualRect(index);
        option.rect.setWidth(viewport()->width());   // drawn no wider than the view
        option.state = state;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (enabled) {
            const bool itemEnabled = model()->flags(index) & Qt::ItemIsEnabled;
            option.state.setFlag(QStyle::State_Enabled, itemEnabled);
            option.palette.setCurrentColorGroup(itemEnabled ? QPalette::Normal : QPalette::Disabled);
        }
        if (focus && index == current) {
            option.state |= QStyle::State_HasFocus;
            if (this->state() == EditingState)
                option.state |= QStyle::State_Editing;
        }
        option.state.setFlag(QStyle::State_MouseOver, index == hover);
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

// QListView tells assistive technology the changed row by its place in its own
// layout, which this view does not keep: the row is that place.
void UniformListView::notifyAccessibility(const QModelIndex &index, int type)
{
    if (!index.isValid() || !QAccessible::isActive())
        return;
    QAccessibleEvent event(this, QAccessible::Event(type));
    event.setChild(index.row());
    QAccessible::updateAccessibility(&event);
}

void UniformListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (hasFocus())
        notifyAccessibility(current, QAccessible::Focus);
    QAbstractItemView::currentChanged(current, previous);
}

void UniformListView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    notifyAccessibility(selected.indexes().value(0), QAccessible::SelectionAdd);
    notifyAccessibility(deselected.indexes().value(0), QAccessible::SelectionRemove);
    QAbstractItemView::selectionChanged(selected, deselected);
}

} // namespace sumiraku
