#include "app/frmMain.h"

#include "files/dictionary_file.h"
#include "files/settings_file.h"
#include "controls/controls.h"
#include "runtime/numbers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QLockFile>
#include <QStandardPaths>
#include <QToolButton>

#include <algorithm>
#include <memory>

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

} // namespace

// One running program per play folder: two would each append to a history
// they no longer see whole, and undo each other's settings. The lock lives
// in the runtime folder, so that nothing appears beside the player's files,
// and is named for the folder's real path.
bool frmMain::lockPlayFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return true;   // nowhere to lock: play unguarded rather than not at all
    const QByteArray key = QCryptographicHash::hash(QDir::current().canonicalPath().toUtf8(),
                                                    QCryptographicHash::Sha256).toHex().left(32);
    auto lock = std::make_unique<QLockFile>(QStringLiteral("%1/sumiraku-%2.lock").arg(runtime, key));
    lock->setStaleLockTime(0);   // taken over only when its program is gone
    if (lock->tryLock(0)) {
        playFolderLock_ = std::move(lock);
        return true;
    }
    return lock->error() != QLockFile::LockFailedError;
}

qint16 frmMain::LoadJisyoList()
{
    auto entries = std::make_shared<const DictionaryEntries>();
    const qsizetype count = entries->size();
    // Added after whatever the list already shows, as items would be.
    qobject_cast<TextListModel *>(lstJisyo->model())
        ->append(int(count), [entries](int i) { return entries->at(i); });
    return checked16(count);
}

void frmMain::Form_Load()
{
    if (!lockPlayFolder()) {
        platform().messages->show(
            nullptr,
            QStringLiteral("SUMIRAKU はこのフォルダーですでに起動しています。\n\nフォルダー: %1\n\n"
                           "起動中の SUMIRAKU をお使いください。こちらは何も読み書きせずに終了します。")
                .arg(QDir::toNativeSeparators(QDir::currentPath())),
            QStringLiteral("SUMIRAKU"), MsgButtons::OkOnly, MsgIcon::Exclamation);
        platform().process->exitNow(1);
        return;
    }
    state.HelpFile = QStringLiteral("RvHelp.chm");
    InitRirekiGrid();
    for (int i = 1; i <= 4; ++i)
        lblMondai[i]->setText(QString());

    LoadRirekiGrid();
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
