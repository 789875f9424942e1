#include "app/frmMain.h"

#include "files/history_file.h"
#include "controls/flexgrid.h"

using namespace sumiraku;

void frmMain::cmdClear_Click()
{
    const MsgResult answer = platform().messages->show(
        this, QStringLiteral("履歴データをクリアします。よろしいですか？"),
        QStringLiteral("クリア確認"), MsgButtons::OkCancel, MsgIcon::Exclamation);
    if (answer != MsgResult::Ok)
        return;
    emptyHistory();          // fails before the grid changes
    msgRireki->setRows(1);
    platform().messages->show(this, QStringLiteral("履歴データをクリアしました"),
                              QStringLiteral("クリア終了"), MsgButtons::OkOnly,
                              MsgIcon::Information);
}
