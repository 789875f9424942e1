#pragma once

// frmMain is the program's one window, built as the classic form it replaces:
// it owns every control, the shared variables of the game (FormState) and the
// event procedures, named control_Event. The bodies live with their subsystem:
//   app/      the window and its layout, startup (Form_Load), help and exit
//   game/     the play settings, start, countdown, the cells, hiding, answers,
//             the game clock
//   history/  saving, the history grid, clearing, panel switching
// The study features (study/) hang off the context menu and hear of misses,
// reveals and right answers; they change nothing the classic form does.
// Every event reaches its procedure through guard(): an error a procedure
// throws is reported in a critical box and the program ends, as the classic
// runtime did. Tests call the procedures directly and see the exception.

#include "app/form_state.h"
#include "platform/services.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QLabel;
class QLockFile;
class QListView;
class QListWidget;
class QTimer;
class QToolButton;
class QGroupBox;

namespace sumiraku {
class ClickLabel;
class ClickFrame;
class PickCombo;
class Shape;
class AnswerBox;
class FlexGrid;
class Study;
struct HistoryRecord;
} // namespace sumiraku

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(const sumiraku::Platform &platform, QWidget *parent = nullptr);
    ~frmMain() override;

    FormState state;

    // --- controls (array members keep the classic indices; unused slots are null)
    QLabel *Image1 = nullptr;
    QToolButton *cmdStart = nullptr;
    QToolButton *cmdHozon = nullptr;
    QToolButton *cmdClear = nullptr;
    QToolButton *cmdHelp = nullptr;
    QToolButton *cmdEnd = nullptr;
    std::array<QWidget *, 2> Line1{};
    QListWidget *lstHide = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QLabel *, 4> imgStart{};          // 1..3
    std::array<QLabel *, 2> Label1{};            // 1
    sumiraku::PickCombo *cboJikan = nullptr;
    QToolButton *chkAs = nullptr;
    QGroupBox *Frame2 = nullptr;
    sumiraku::Shape *shpJikanK = nullptr;
    sumiraku::Shape *shpJikanB = nullptr;
    std::array<QLabel *, 2> Label2{};            // 0, 1
    sumiraku::PickCombo *cboHide = nullptr;
    sumiraku::AnswerBox *txtKaitou = nullptr;
    sumiraku::ClickFrame *fraJisyo = nullptr;
    QListView *lstJisyo = nullptr;               // a view over the entries: no item per entry
    sumiraku::ClickFrame *frmRireki = nullptr;
    QListWidget *lstRireki = nullptr;
    sumiraku::ClickLabel *lblHint = nullptr;
    std::array<sumiraku::ClickLabel *, 5> lblMondai{};   // 1..4
    sumiraku::FlexGrid *msgRireki = nullptr;
    // Beyond the classic form: the study features, from the context menu.
    sumiraku::Study *study = nullptr;
    QTimer *tmrStart = nullptr;
    QTimer *tmrBp = nullptr;
    QLabel *lblOk = nullptr;
    QLabel *lblNg = nullptr;
    QLabel *lblMoji_T = nullptr;
    QLabel *lblRitu = nullptr;
    QLabel *lblByou = nullptr;

    // --- event procedures
    void Form_Load();                          // app/startup.cpp
    void cmdHelp_Click();                      // app/help_exit.cpp
    void cmdEnd_Click();                       // app/help_exit.cpp
    void cboJikan_Click();                     // game/settings.cpp
    void chkAs_Click();                        // game/settings.cpp
    void cboHide_Click();                      // game/settings.cpp
    void cmdStart_Click();                     // game/start.cpp
    void tmrStart_Timer();                     // game/countdown.cpp
    void txtKaitou_KeyPress(qint16 &KeyAscii); // game/answer.cpp
    void tmrBp_Timer();                        // game/game_clock.cpp
    void lblHint_Click();                      // game/cells.cpp
    void lblMondai_Click(qint16 Index);        // game/cells.cpp
    void cmdHozon_Click();                     // history/save.cpp
    void cmdClear_Click();                     // history/clear.cpp
    void fraJisyo_Click();                     // history/panels.cpp
    void frmRireki_Click();                    // history/panels.cpp

    // --- private procedures of the window (public so that tests can call them)
    void InitRirekiGrid();                     // history/grid.cpp
    void HideMoji();                           // game/hide.cpp
    void ApplyMado();                          // game/hide.cpp
    qint16 LoadJisyoList();                    // app/startup.cpp
    bool LoadJisyo();                          // game/question.cpp; false: no entries, nothing changed

    // --- helpers shared by several procedures
    QColor buttonFace() const;                 // game/cells.cpp: the colour of a closed cell
    static QColor white() { return QColor(255, 255, 255); }
    void setCell(int i, const QColor &back, const QString &caption);   // game/cells.cpp
    void cutMoji();                            // game/cells.cpp: Moji(1..4) from Mondai, cells captioned
    void revealMondai();                       // game/cells.cpp: Esc or the hint strip shows all
    std::array<QString, 4> captions() const;   // game/cells.cpp: what the cells show
    QString modeText() const;                  // game/cells.cpp: the text of cboHide
    void drawMondai();                         // game/question.cpp: the next idiom into Mondai
    // game/question.cpp: draws the next idiom into the cells, then opens them as
    // designated or hides them by the mode's count. The caller tests the mode
    // its own way (see game/rules.h).
    void askMondai(bool playerOpensCells);
    void writeSettingsFile();                  // game/settings.cpp
    // history/save.cpp: the last game into the grid and the file; a failure is
    // reported in a box and leaves the game unsaved.
    void saveResult(bool automatic);
    void LoadRirekiGrid();                     // history/grid.cpp
    void addRirekiRow(int n, const sumiraku::HistoryRecord &record);   // history/grid.cpp
    void scrollRirekiToNewest();               // history/grid.cpp

    // Runs one event procedure; an error it throws is reported and ends the program.
    void guard(const std::function<void()> &procedure);

    const sumiraku::Platform &platform() const { return platform_; }

protected:
    void closeEvent(QCloseEvent *event) override;   // app/help_exit.cpp
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void buildControls();                      // app/frmMain_layout.cpp
    bool lockPlayFolder();                     // app/startup.cpp
    void releasePlayFolder();
    void connectEvents();
    void fatal(const QString &message);

    bool ending_ = false;                      // an error is being reported; ignore events
    std::unique_ptr<QLockFile> playFolderLock_;   // held while the program runs

    sumiraku::Platform platform_;
};
