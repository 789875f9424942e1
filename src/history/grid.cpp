#include "app/frmMain.h"

#include "platform/flexgrid.h"

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

void frmMain::addRirekiRow(int n, const QStringList &columns)
{
    msgRireki->setRow(n);
    msgRireki->setCol(0);
    msgRireki->setText(QString::number(n));
    for (int c = 1; c <= 9; ++c) {
        msgRireki->setCol(c);
        msgRireki->setText(columns.value(c - 1));
    }
}

void frmMain::scrollRirekiToNewest()
{
    if (msgRireki->Rows() > 7)
        msgRireki->setTopRow(msgRireki->Rows() - 1);
}
