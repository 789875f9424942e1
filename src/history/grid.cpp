#include "app/frmMain.h"

#include "controls/flexgrid.h"
#include "files/history_file.h"

#include <QHash>

#include <array>
#include <memory>

using namespace sumiraku;

namespace {

struct Column {
    const char *heading;
    int width;   // twips
};

const Column kColumns[10] = {
    {"回", 600},      {"日付", 1400},     {"時間", 1000},     {"問数", 600},
    {"ＯＫ", 600},    {"ＮＧ", 600},      {"正解率", 900},    {"秒当たり", 1000},
    {"表示秒数", 1025}, {"モード", 700},
};

// A long history repeats a few counts: each is formatted once and its text
// shared by every cell that shows it.
const QString &countText(qint16 value)
{
    static QHash<qint16, QString> texts;
    QString &text = texts[value];
    if (text.isNull())
        text = QString::number(value);
    return text;
}

// One saved game as the grid's row n: everything the grid shows of a record.
std::array<QString, 10> rirekiRow(int n, const HistoryRecord &rec)
{
    return {QString::number(n), rec.date, rec.time, rec.questions, countText(rec.ok), countText(rec.ng),
            rec.rate, rec.perSecond, rec.length, rec.mode};
}

// The saved games' rows made as the view or a caller asks for them. A view
// asks for a row cell by cell, so the last row made is kept.
class RirekiRows {
public:
    explicit RirekiRows(HistoryRows &&rows) : rows_(std::make_shared<const HistoryRows>(std::move(rows))) {}
    int count() const { return int(rows_->size()); }
    QString operator()(int row, int col)
    {
        if (row != row_)
            texts_ = rirekiRow(row, rows_->at(row - 1)), row_ = row;
        return texts_[size_t(col)];
    }

private:
    std::shared_ptr<const HistoryRows> rows_;
    int row_ = -1;
    std::array<QString, 10> texts_;
};

} // namespace

void frmMain::InitRirekiGrid()
{
    msgRireki->setFontSize(11);
    msgRireki->setRows(1);
    msgRireki->setRow(0);
    msgRireki->setCol(0);
    for (int c = 0; c <= 9; ++c) {
        msgRireki->setCol(c);
        msgRireki->setText(QString::fromUtf8(kColumns[c].heading));
        msgRireki->setColWidth(c, kColumns[c].width);
    }
    for (int c = 0; c <= 9; ++c)
        msgRireki->setFixedAlignment(c, FlexGrid::CenterCenter);
    for (int c = 0; c <= 9; ++c)
        msgRireki->setColAlignment(c, FlexGrid::RightCenter);
    for (int c : {1, 2, 9})
        msgRireki->setColAlignment(c, FlexGrid::CenterCenter);
}

// The whole history is read and checked before the window shows, but the
// grid makes the texts of a saved game only when they are looked at.
void frmMain::LoadRirekiGrid()
{
    RirekiRows rows{HistoryRows{HistoryReader()}};
    const int count = rows.count();
    msgRireki->setSourceRows(count, std::move(rows));
}

void frmMain::addRirekiRow(int n, const HistoryRecord &rec)
{
    const std::array<QString, 10> columns = rirekiRow(n, rec);
    msgRireki->setRow(n);
    for (int c = 0; c <= 9; ++c) {
        msgRireki->setCol(c);
        msgRireki->setText(columns[c]);
    }
}

void frmMain::scrollRirekiToNewest()
{
    if (msgRireki->Rows() > 7)
        msgRireki->setTopRow(msgRireki->Rows() - 1);
}
