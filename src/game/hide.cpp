#include "app/frmMain.h"

#include "game/rules.h"
#include "controls/controls.h"

#include <QListWidget>

using namespace sumiraku;

void frmMain::HideMoji()
{
    RandomSource &random = *platform().random;
    const bool randomMode = state.GameMode == QStringLiteral("R:ランダム");
    float r = 0.0f;
    if (randomMode) {
        random.randomize(platform().clock->secondsSinceMidnight());
        r = random.next();
    }
    state.HideCount = hideCountFor(state.GameMode, r);

    lstHide->clear();
    for (int i = 1; i <= 4; ++i) {
        setCell(i, white(), state.Moji[i]);
        lstHide->addItem(QString::number(i));
    }

    state.HidePos.fill(0);
    random.randomize(platform().clock->secondsSinceMidnight());
    for (int k = 1; k <= state.HideCount; ++k) {
        const int j = bagPosition(lstHide->count(), random.next());
        QListWidgetItem *item = lstHide->takeItem(j);
        state.HidePos[k] = static_cast<qint16>(item->text().toInt());
        delete item;
        lblMondai[state.HidePos[k]]->setText(QString());
        lblMondai[state.HidePos[k]]->setBackColor(buttonFace());
    }
}

void frmMain::ApplyMado()
{
    for (int i = 1; i <= 4; ++i) {
        if (state.Mado[i])
            setCell(i, white(), state.Moji[i]);
        else
            setCell(i, buttonFace(), QString());
    }
}
