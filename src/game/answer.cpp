#include "app/frmMain.h"

#include "controls/controls.h"
#include "game/rules.h"
#include "runtime/numbers.h"
#include "study/study.h"

#include <QLabel>
#include <QListWidget>

using namespace sumiraku;

void frmMain::txtKaitou_KeyPress(qint16 &KeyAscii)
{
    if (KeyAscii == 27) {
        revealMondai();   // the key goes on to the box
        return;
    }
    if (KeyAscii != 13)
        return;
    KeyAscii = 0;
    // Only a running game judges: before it, during the countdown and after
    // time is up, an answer would change a result already shown or saved.
    if (!state.Playing)
        return;

    if (!isRightAnswer(txtKaitou->text(), state.Mondai, captions(), state.Jisyo)) {
        // Counted before the box: the game clock keeps running while it is up,
        // and a game that ends and saves itself meanwhile must include the miss.
        state.NgCount = add16(state.NgCount, 1);
        study->missed(state.Mondai);
        lblNg->setText(QString::number(state.NgCount));
        platform().messages->show(this, QStringLiteral("違います！！"), QStringLiteral("間違い"),
                                  MsgButtons::OkOnly, MsgIcon::Critical);
    } else {
        lstRireki->addItem(solvedEntry(captions()));
        // The idiom's reading and meaning, once it can give nothing away.
        const QString note = study->noteFor(state.Mondai);
        lstRireki->item(lstRireki->count() - 1)->setToolTip(note);
        lstRireki->item(lstRireki->count() - 1)->setData(Qt::AccessibleDescriptionRole, note);
        study->answered(state.Mondai);
        askMondai(opensCellsByName(state.GameMode));

        state.OkCount = add16(state.OkCount, 1);
        lblOk->setText(QString::number(state.OkCount));
        state.MojiCount = add16(state.MojiCount, checked16(txtKaitou->text().size()));
    }
    txtKaitou->setText(QString());
}
