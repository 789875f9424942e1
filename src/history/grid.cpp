#include "app/frmMain.h"

#include "controls/flexgrid.h"
#include "files/history_file.h"

#include <QHash>

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

void frmMain::addRirekiRow(int n, const HistoryRecord &rec)
{
    const QString columns[10] = {QString::number(n), rec.date, rec.time, rec.questions,
                                 countText(rec.ok), countText(rec.ng), rec.rate,
                                 rec.perSecond, rec.length, rec.mode};
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
