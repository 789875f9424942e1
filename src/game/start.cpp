#include "app/frmMain.h"

#include "controls/controls.h"
#include "files/data_files.h"
#include "game/rules.h"
#include "runtime/runtime_error.h"

#include <QLabel>
#include <QListWidget>
#include <QToolButton>

using namespace sumiraku;

namespace {

bool anyMado(const FormState &s)
{
    return s.Mado[1] || s.Mado[2] || s.Mado[3] || s.Mado[4];
}

} // namespace

void frmMain::cmdStart_Click()
{
    const qint16 lastMojiCount = state.MojiCount;
    state.MojiCount = 0;
    txtKaitou->setText(QString());

    const bool sMode = opensCellsByLetter(modeText());
    if (sMode && !anyMado(state)) {
        platform().messages->show(
            this, QStringLiteral("Ｓ：指定モードの場合は、いずれか一つ以上の窓は開いてください。"),
            QStringLiteral("スタートチェック"), MsgButtons::OkOnly, MsgIcon::Exclamation);
        return;
    }

    for (int i = 1; i <= 4; ++i) {
        lblMondai[i]->setText(QString());
        if (!sMode)
            lblMondai[i]->setBackColor(buttonFace());
    }
    state.StartWait = true;
    // The countdown starts from its first picture even when the last game was
    // so short that no idle tick has reset the step since its third.
    state.StartCount = 0;
    shpJikanK->setWidthTwips(state.JikanBarWidth);

    // With no idiom to ask, or no dictionary to read just now (an editor that
    // saves by rename leaves none for a moment), the game cannot begin: say
    // so instead of failing, and keep the last game whole, saved or not, and
    // its idioms for the answer box.
    QString refusal;
    try {
        if (!LoadJisyo())
            refusal = QStringLiteral("%1 に四字熟語が登録されていません。").arg(kDictionaryFile);
    } catch (const RuntimeError &error) {
        refusal = QStringLiteral("%1 を読み込めないため、スタートできません。\n\n%2")
                      .arg(kDictionaryFile, error.message());
    }
    if (!refusal.isEmpty()) {
        state.StartWait = false;
        state.MojiCount = lastMojiCount;
        platform().messages->show(this, refusal, QStringLiteral("スタートチェック"),
                                  MsgButtons::OkOnly, MsgIcon::Exclamation);
        return;
    }

    lstRireki->clear();
    frmRireki->setVisible(true);
    for (QLabel *lbl : {lblOk, lblNg, lblMoji_T, lblByou, lblRitu})
        lbl->setText(QString());
    state.OkCount = 0;
    state.NgCount = 0;
    state.Saved = false;
    lblOk->setText(QString::number(state.OkCount));
    lblNg->setText(QString::number(state.NgCount));
    cmdStart->setEnabled(false);
}
