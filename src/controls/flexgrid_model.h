#pragma once

// The cells and per-column settings behind FlexGrid. The table model exposes
// only the scrollable cells; the fixed row and column reach the view as header
// data, so they stay in view without a second table.

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <limits>

namespace sumiraku {

class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // At most one fixed row and one fixed column: headers can show no more.
    FlexGridModel(int rows, int cols, int fixedRows, int fixedCols, QObject *parent = nullptr);

    int rows() const { return rows_; }
    void setRows(int rows);

    // The texts of rows nobody may ever look at, made when asked for.
    using RowSource = std::function<QString(int row, int col)>;
    // Every row below the fixed ones replaced by `count` rows whose cells come
    // from `source` until set; rows added after them are kept as any.
    void setSourceRows(int count, RowSource source);

    // Held changes (rows, cells, alignments) reach the view only when released,
    // all in one go; until then the view keeps showing the rows it was told of.
    bool holding() const { return holding_; }
    void setHolding(bool hold);
    int cols() const { return cols_; }
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }

    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString &text);

    int colWidth(int col) const { return widths_.value(col); }
    void setColWidth(int col, int twips);
    int colAlignment(int col) const { return colAlign_.value(col); }
    void setColAlignment(int col, int code);
    int fixedAlignment(int col) const { return fixedAlign_.value(col); }
    void setFixedAlignment(int col, int code);

    // The classic alignment code as Qt flags; the general code 9 puts numbers
    // on the right and other text on the left.
    static Qt::Alignment alignmentOf(int code, const QString &text);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void cornerChanged();
    void colWidthChanged(int col);

private:
    QVariant roleData(int row, int col, int alignment, int role) const;
    void noteRowHeadingChanged(int section);
    void reportRowHeadings();
    void changeRowCount(int rows);
    void showRows(int rows);
    bool sourced(int row) const { return row >= fixedRows_ && row < fixedRows_ + sourceRows_; }
    // Where a row's cells are kept, for a row not from the source.
    qsizetype slot(int row, int col) const
    {
        return qsizetype(row < fixedRows_ ? row : row - sourceRows_) * cols_ + col;
    }

    int rows_;
    int shownRows_;          // the rows the view has been told of
    int cols_;
    int fixedRows_;
    int fixedCols_;
    QList<QString> cells_;   // row-major: the fixed rows, then those after the source's
    RowSource source_;
    int sourceRows_ = 0;
    QHash<qint64, QString> sourceCellsSet_;   // row × cols_ + col
    QList<int> widths_;      // twips
    QList<int> colAlign_;
    QList<int> fixedAlign_;
    int headingsFirst_ = std::numeric_limits<int>::max();   // rows whose heading
    int headingsLast_ = -1;                                 // changed, not yet told
    bool holding_ = false;
};

} // namespace sumiraku
