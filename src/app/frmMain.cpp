#include "app/frmMain.h"

#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "runtime/runtime_error.h"
#include "study/study.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>

#include <QListWidget>
#include <QLockFile>
#include <QTimer>
#include <QToolButton>

using namespace sumiraku;

frmMain::frmMain(const Platform &platform, QWidget *parent)
    : QWidget(parent), platform_(platform)
{
    setObjectName(QStringLiteral("frmMain"));
    buildControls();
    study = new Study(this, platform_);
    connectEvents();
    // Both timers tick from the window's creation to the end of the program;
    // their procedures decide by the form state whether to act.
    tmrStart->start();
    tmrBp->start();
}

frmMain::~frmMain() = default;

void frmMain::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    study->fillMenu(&menu);
    menu.exec(event->globalPos());
}

void frmMain::connectEvents()
{
    auto on = [this](auto procedure) {
        return [this, procedure] { guard([this, procedure] { (this->*procedure)(); }); };
    };
    connect(cmdStart, &QToolButton::clicked, this, on(&frmMain::cmdStart_Click));
    // F1 opens the help, as it does on every desktop.
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            on(&frmMain::cmdHelp_Click));
    connect(cmdHozon, &QToolButton::clicked, this, on(&frmMain::cmdHozon_Click));
    connect(cmdClear, &QToolButton::clicked, this, on(&frmMain::cmdClear_Click));
    connect(cmdHelp, &QToolButton::clicked, this, on(&frmMain::cmdHelp_Click));
    connect(cmdEnd, &QToolButton::clicked, this, on(&frmMain::cmdEnd_Click));
    connect(chkAs, &QToolButton::clicked, this, on(&frmMain::chkAs_Click));
    connect(cboJikan, &PickCombo::clicked, this, on(&frmMain::cboJikan_Click));
    connect(cboHide, &PickCombo::clicked, this, on(&frmMain::cboHide_Click));
    connect(fraJisyo, &ClickFrame::clicked, this, on(&frmMain::fraJisyo_Click));
    connect(frmRireki, &ClickFrame::clicked, this, on(&frmMain::frmRireki_Click));
    connect(lblHint, &ClickLabel::clicked, this, on(&frmMain::lblHint_Click));
    for (qint16 i = 1; i <= 4; ++i) {
        connect(lblMondai[i], &ClickLabel::clicked, this,
                [this, i] { guard([this, i] { lblMondai_Click(i); }); });
    }
    txtKaitou->keyPress = [this](qint16 &keyAscii) {
        guard([this, &keyAscii] { txtKaitou_KeyPress(keyAscii); });
    };
    connect(tmrStart, &QTimer::timeout, this, on(&frmMain::tmrStart_Timer));
    connect(tmrBp, &QTimer::timeout, this, on(&frmMain::tmrBp_Timer));
}

void frmMain::guard(const std::function<void()> &procedure)
{
    if (ending_)
        return;
    try {
        procedure();
    } catch (const RuntimeError &error) {
        fatal(error.message());
    } catch (const std::bad_alloc &) {
        fatal(QStringLiteral("実行時エラー '7':\n\nメモリが不足しています。"));
    } catch (const std::exception &error) {
        fatal(QString::fromLocal8Bit(error.what()));
    }
}

// The process ends without running destructors: the lock goes first, so that
// the next start finds the folder free at once.
void frmMain::releasePlayFolder()
{
    playFolderLock_.reset();
}

void frmMain::fatal(const QString &message)
{
    // The program is ending: no tick may run against half-done state while the
    // report is on screen.
    ending_ = true;
    tmrStart->stop();
    tmrBp->stop();
    platform_.messages->show(isVisible() ? this : nullptr, message, QStringLiteral("SUMIRAKU"),
                             MsgButtons::OkOnly, MsgIcon::Critical);
    releasePlayFolder();
    platform_.process->exitNow(1);
}
