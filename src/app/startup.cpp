#include "app/frmMain.h"

#include "files/dictionary_file.h"
#include "files/history_file.h"
#include "files/settings_file.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "runtime/numbers.h"

#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QStringListModel>
#include <QToolButton>

#include <algorithm>

using namespace sumiraku;

namespace {

// Items are added to an editable combo box without losing the text it shows;
// a text that names an item also selects it, so the arrow keys go on from there.
void addItemsKeepingText(PickCombo *combo, const QStringList &items)
{
    const QString text = combo->currentText();
    combo->addItems(items);
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    combo->setEditText(text);
}

// The saved games into the grid, as they are read: only the grid keeps their
// texts. The view learns of the whole history at once, not of each cell.
void loadHistoryGrid(frmMain &form)
{
    HistoryReader reader;
    FlexGrid *grid = form.msgRireki;
    grid->setRedraw(false);
    qint16 n = 1;
    HistoryRecord rec;
    while (reader.next(rec)) {
        grid->setRows(n + 1);
        form.addRirekiRow(n, rec);
        n = add16(n, 1);
    }
    grid->setRedraw(true);
}

} // namespace

qint16 frmMain::LoadJisyoList()
{
    const QStringList entries = readDictionary();
    // Added after whatever the list already shows, as items would be.
    auto *model = qobject_cast<QStringListModel *>(lstJisyo->model());
    model->setStringList(model->stringList() + entries);
    return checked16(entries.size());
}

void frmMain::Form_Load()
{
    state.HelpFile = QStringLiteral("RvHelp.chm");
    InitRirekiGrid();
    for (int i = 1; i <= 4; ++i)
        lblMondai[i]->setText(QString());

    loadHistoryGrid(*this);
    scrollRirekiToNewest();

    show();

    const Settings settings = readSettings();
    state.PlayByou = settings.PlayByou;
    state.AutoSave = settings.AutoSave;
    state.HideMode = settings.HideMode;

    chkAs->setChecked(state.AutoSave == 1);   // a preset, not a click: nothing is written

    QStringList times;
    for (int t = 10; t <= 180; t += 10)
        times << QString::number(t);
    cboJikan->setEditText(QString::number(state.PlayByou));
    addItemsKeepingText(cboJikan, times);

    cboHide->setEditText(state.HideMode);

    const qint16 c = LoadJisyoList();
    fraJisyo->setTitle(QStringLiteral("登録四字熟語 %1個").arg(c));

    addItemsKeepingText(cboHide, {QStringLiteral("1:イージー"), QStringLiteral("2:ノーマル"),
                                  QStringLiteral("3:ハード"), QStringLiteral("R:ランダム"),
                                  QStringLiteral("S:指定"), QStringLiteral("0:隠さない")});

    state.JikanBarWidth = roundToInt16(shpJikanK->widthTwips());
    txtKaitou->setText(QString());
    for (QLabel *lbl : {lblOk, lblNg, lblMoji_T, lblByou, lblRitu})
        lbl->setText(QString());
    cmdStart->setFocus();
}
