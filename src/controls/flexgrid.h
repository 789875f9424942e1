#pragma once

// The history grid: a small grid component with the operations the window uses.
// Rows and columns count from 0; the first FixedRows rows and FixedCols columns
// are headings, drawn as such and kept in view while the rest scrolls. Cell
// texts are written by making a cell current and setting Text, as the classic
// component did. Widths are in twips (15 per logical pixel).

#include <QWidget>

#include <functional>

class QTableView;

namespace sumiraku {

class FlexGridModel;

class FlexGrid : public QWidget {
    Q_OBJECT
public:
    // Alignment codes of the classic component that the window uses.
    enum Alignment : int { CenterCenter = 4, RightCenter = 7 };

    FlexGrid(int rows, int cols, int fixedRows, int fixedCols, QWidget *parent = nullptr);
    ~FlexGrid() override;

    int Rows() const;
    void setRows(int rows);            // keeps existing cells; new rows are empty
    // Every row below the fixed ones replaced by `count` rows whose texts are
    // asked of `source` when shown or read, until set: a long history costs
    // no more than the screenful in view.
    void setSourceRows(int count, std::function<QString(int row, int col)> source);

    // Off: rows and texts change without telling the view, which shows them all
    // at once when Redraw is turned on again (filling thousands of rows cell by
    // cell would otherwise notify it of each cell).
    void setRedraw(bool on);
    int FixedRows() const;

    void setRow(int row);
    void setCol(int col);

    void setText(const QString &text);
    QString TextMatrix(int row, int col) const;

    int ColWidth(int col) const;       // twips
    void setColWidth(int col, int twips);

    void setColAlignment(int col, int code);
    void setFixedAlignment(int col, int code);

    int TopRow() const;                // first scrollable row in view
    void setTopRow(int row);

    void setFontSize(float points);

    QTableView *view() const { return view_; }

private:
    FlexGridModel *model_ = nullptr;
    QTableView *view_ = nullptr;
    int row_ = 0;
    int col_ = 0;
};

} // namespace sumiraku
