#include "app/frmMain.h"

#include "files/history_file.h"
#include "platform/flexgrid.h"
#include "platform/numbers.h"
#include "platform/runtime_error.h"

using namespace sumiraku;

namespace {

HistoryRecord resultNow(const FormState &s, const QString &mode, const QDateTime &now)
{
    HistoryRecord rec;
    rec.date = formatDate(now.date());
    rec.time = formatTime(now.time());
    rec.questions = QString::number(add16(s.NgCount, s.OkCount));
    rec.ok = s.OkCount;
    rec.ng = s.NgCount;
    rec.rate = formatRate(s.OkCount, add16(s.OkCount, s.NgCount));
    rec.perSecond = formatPerSecond(s.MojiCount, s.PlayByou);
    rec.length = QStringLiteral("%1秒").arg(s.PlayByou);
    rec.mode = mode.left(1);
    return rec;
}

} // namespace

void frmMain::cmdHozon_Click()
{
    if ((state.OkCount == 0 && state.NgCount == 0) || state.Playing || state.StartWait)
        return;
    // One more record now would leave a file the next start cannot read.
    // Refused before the grid or the file change.
    if (msgRireki->Rows() - 1 >= kMaxHistoryRecords) {
        throw RuntimeError(ErrorNumber::Overflow, QStringLiteral("履歴.txt"),
                           QStringLiteral("記録が %1 件に達しています。履歴をクリアしてください。")
                               .arg(kMaxHistoryRecords));
    }

    const HistoryRecord shown = resultNow(state, modeText(), platform().clock->now());
    msgRireki->setRows(msgRireki->Rows() + 1);
    addRirekiRow(msgRireki->Rows() - 1,
                 {shown.date, shown.time, shown.questions, QString::number(shown.ok),
                  QString::number(shown.ng), shown.rate, shown.perSecond, shown.length,
                  shown.mode});
    scrollRirekiToNewest();

    // The record is made afresh, with the clock read again at this moment.
    appendHistory(resultNow(state, modeText(), platform().clock->now()));
}
