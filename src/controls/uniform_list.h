#pragma once

// A list view whose rows all have the size of its last: each row's place is
// worked out when asked for. QListView keeps a place for every row and lays
// them all out before its first paint, which for the 32,767 entries a
// dictionary may hold costs more than everything else the list does.

#include <QListView>

namespace sumiraku {

// Looks and behaves as a QListView in its default list mode, top to bottom
// without wrapping and without a horizontal scroll bar; no row is hidden.
class UniformListView : public QListView {
    Q_OBJECT
public:
    using QListView::QListView;

    QRect visualRect(const QModelIndex &index) const override;
    QModelIndex indexAt(const QPoint &point) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    void doItemsLayout() override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    int rows() const;
    QSize itemSize() const;
    int rowHeight() const;
    // The row at viewport height y, unbounded.
    int rowAt(int y) const;
    // Rows a scroll step moves by: one, or a pixel's worth when scrolling by pixel.
    int pixelsPerStep() const;
    QModelIndex indexOfRow(int row) const;
    void notifyAccessibility(const QModelIndex &index, int type);

    mutable QSize itemSize_;   // empty: not known yet
};

} // namespace sumiraku
