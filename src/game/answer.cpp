#include "app/frmMain.h"

#include "controls/controls.h"
#include "game/rules.h"
#include "runtime/numbers.h"

#include <QLabel>
#include <QListWidget>

using namespace sumiraku;

void frmMain::txtKaitou_KeyPress(qint16 &KeyAscii)
{
    if (KeyAscii == 27) {
        cutMoji();   // reveal; the key goes on to the box
        return;
    }
    if (KeyAscii != 13)
        return;
    KeyAscii = 0;
    // Before the first idiom of this run there is nothing to judge.
    if (!state.MondaiDrawn)
        return;

    if (txtKaitou->text() != state.Mondai) {
        // Modal, but the game clock keeps running: the game may end and save
        // itself while the box is up, and the miss counts only afterwards.
        platform().messages->show(this, QStringLiteral("違います！！"), QStringLiteral("間違い"),
                                  MsgButtons::OkOnly, MsgIcon::Critical);
        state.NgCount = add16(state.NgCount, 1);
        lblNg->setText(QString::number(state.NgCount));
    } else {
        lstRireki->addItem(solvedEntry(captions()));
        askMondai(opensCellsByName(modeText()));

        state.OkCount = add16(state.OkCount, 1);
        lblOk->setText(QString::number(state.OkCount));
        state.MojiCount = add16(state.MojiCount, checked16(txtKaitou->text().size()));
    }
    txtKaitou->setText(QString());
}
