#include "controls/flexgrid_model.h"

#include <algorithm>
#include <limits>

namespace sumiraku {

namespace {

constexpr int kDefaultWidth = 960;    // twips: 64 px
constexpr int kLeftCenter = 1;
constexpr int kGeneral = 9;

} // namespace

FlexGridModel::FlexGridModel(int rows, int cols, int fixedRows, int fixedCols, QObject *parent)
    : QAbstractTableModel(parent),
      cols_(std::max(cols, 1)),
      fixedRows_(std::clamp(fixedRows, 0, 1)),
      fixedCols_(std::clamp(fixedCols, 0, std::min(1, cols_ - 1)))
{
    rows_ = std::max(rows, fixedRows_);
    shownRows_ = rows_;
    cells_.resize(qsizetype(rows_) * cols_);
    widths_.fill(kDefaultWidth, cols_);
    colAlign_.fill(kLeftCenter, cols_);
    fixedAlign_.fill(kLeftCenter, cols_);
}

void FlexGridModel::setRows(int rows)
{
    rows = std::max(rows, fixedRows_);
    if (rows == rows_)
        return;
    // Rows taken off the end take the source's last ones with them.
    const int kept = std::min(sourceRows_, rows - fixedRows_);
    if (kept < sourceRows_) {
        sourceCellsSet_.removeIf([this, kept](const auto &it) { return it.key() / cols_ >= fixedRows_ + kept; });
        sourceRows_ = kept;
        if (kept == 0)
            source_ = {};
    }
    const qsizetype size = qsizetype(rows - sourceRows_) * cols_;
    // Rows arrive one at a time while the history grows: grow the store
    // geometrically so that appending stays amortised constant.
    if (size > cells_.capacity())
        cells_.reserve(std::max(size, cells_.capacity() * 2));
    cells_.resize(size);
    changeRowCount(rows);
}

void FlexGridModel::setSourceRows(int count, RowSource source)
{
    setRows(fixedRows_);
    source_ = std::move(source);
    sourceRows_ = std::max(count, 0);
    changeRowCount(fixedRows_ + sourceRows_);
}

// The store already holds `rows`; the view is told unless changes are held.
void FlexGridModel::changeRowCount(int rows)
{
    rows_ = rows;
    if (!holding_)
        showRows(rows);
}

// The view told of the rows added or taken off since it was last told.
void FlexGridModel::showRows(int rows)
{
    if (rows > shownRows_) {
        beginInsertRows({}, shownRows_ - fixedRows_, rows - fixedRows_ - 1);
        shownRows_ = rows;
        endInsertRows();
    } else if (rows < shownRows_) {
        beginRemoveRows({}, rows - fixedRows_, shownRows_ - fixedRows_ - 1);
        shownRows_ = rows;
        endRemoveRows();
    }
}

// A row or cell changed while holding is not reported by itself: the release
// reports every row and cell at once.
void FlexGridModel::setHolding(bool hold)
{
    if (hold == holding_)
        return;
    holding_ = hold;
    if (hold)
        return;
    showRows(rows_);
    emit cornerChanged();
    const int rowsShown = rowCount();
    const int colsShown = columnCount();
    if (colsShown > 0)
        emit headerDataChanged(Qt::Horizontal, 0, colsShown - 1);
    if (rowsShown > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowsShown - 1);
    if (rowsShown > 0 && colsShown > 0)
        emit dataChanged(index(0, 0), index(rowsShown - 1, colsShown - 1));
}

QString FlexGridModel::cell(int row, int col) const
{
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_)
        return {};
    if (!sourced(row))
        return cells_.at(slot(row, col));
    const auto set = sourceCellsSet_.constFind(qint64(row) * cols_ + col);
    return set != sourceCellsSet_.cend() ? *set : source_(row, col);
}

void FlexGridModel::setCell(int row, int col, const QString &text)
{
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_)
        return;
    if (sourced(row))
        sourceCellsSet_.insert(qint64(row) * cols_ + col, text);
    else
        cells_[slot(row, col)] = text;
    if (holding_)
        return;
    const bool fixedRow = row < fixedRows_;
    const bool fixedCol = col < fixedCols_;
    if (fixedRow && fixedCol)
        emit cornerChanged();
    else if (fixedRow)
        emit headerDataChanged(Qt::Horizontal, col - fixedCols_, col - fixedCols_);
    else if (fixedCol)
        noteRowHeadingChanged(row - fixedRows_);
    else {
        const QModelIndex at = index(row - fixedRows_, col - fixedCols_);
        emit dataChanged(at, at, {Qt::DisplayRole, Qt::TextAlignmentRole});
    }
}

// A header answers a change of one heading by locating that section, which after
// an inserted row means a pass over all rows; reporting the row headings once
// per turn of the event loop keeps appending rows one by one linear.
void FlexGridModel::noteRowHeadingChanged(int section)
{
    const bool scheduled = headingsFirst_ <= headingsLast_;
    headingsFirst_ = std::min(headingsFirst_, section);
    headingsLast_ = std::max(headingsLast_, section);
    if (!scheduled)
        QMetaObject::invokeMethod(this, &FlexGridModel::reportRowHeadings, Qt::QueuedConnection);
}

void FlexGridModel::reportRowHeadings()
{
    const int first = headingsFirst_;
    const int last = std::min(headingsLast_, rowCount() - 1);
    headingsFirst_ = std::numeric_limits<int>::max();
    headingsLast_ = -1;
    if (first <= last)
        emit headerDataChanged(Qt::Vertical, first, last);
}

void FlexGridModel::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols_)
        return;
    widths_[col] = std::max(twips, 0);
    emit colWidthChanged(col);
}

void FlexGridModel::setColAlignment(int col, int code)
{
    if (col < 0 || col >= cols_)
        return;
    colAlign_[col] = code;
    if (col >= fixedCols_ && rowCount() > 0 && !holding_)
        emit dataChanged(index(0, col - fixedCols_), index(rowCount() - 1, col - fixedCols_),
                         {Qt::TextAlignmentRole});
}

void FlexGridModel::setFixedAlignment(int col, int code)
{
    if (col < 0 || col >= cols_)
        return;
    fixedAlign_[col] = code;
    if (holding_)
        return;
    if (col < fixedCols_) {
        emit cornerChanged();
        if (rowCount() > 0)
            emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    } else if (fixedRows_ > 0) {
        emit headerDataChanged(Qt::Horizontal, col - fixedCols_, col - fixedCols_);
    }
}

Qt::Alignment FlexGridModel::alignmentOf(int code, const QString &text)
{
    if (code == kGeneral) {
        bool number = false;
        text.trimmed().toDouble(&number);
        return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    if (code < 0 || code > 8)
        return Qt::AlignLeft | Qt::AlignVCenter;
    static constexpr Qt::AlignmentFlag horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter,
                                                       Qt::AlignRight};
    static constexpr Qt::AlignmentFlag vertical[] = {Qt::AlignTop, Qt::AlignVCenter,
                                                     Qt::AlignBottom};
    return horizontal[code / 3] | vertical[code % 3];
}

int FlexGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shownRows_ - fixedRows_;
}

int FlexGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cols_ - fixedCols_;
}

QVariant FlexGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int col = index.column() + fixedCols_;
    return roleData(index.row() + fixedRows_, col, colAlign_.at(col), role);
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // A header without a fixed row or column behind it is hidden; answer nothing.
    const bool horizontal = orientation == Qt::Horizontal;
    if (horizontal ? fixedRows_ == 0 : fixedCols_ == 0)
        return {};
    const int row = horizontal ? 0 : section + fixedRows_;
    const int col = horizontal ? section + fixedCols_ : 0;
    return roleData(row, col, fixedAlign_.value(col), role);
}

QVariant FlexGridModel::roleData(int row, int col, int alignment, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return cell(row, col);
    case Qt::TextAlignmentRole:
        // Only the general code looks at the text; a row from a source is not made for it.
        return int(alignmentOf(alignment, alignment == kGeneral ? cell(row, col) : QString()));
    default:
        return {};
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex &index) const
{
    // Display only: never edited.
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

} // namespace sumiraku
