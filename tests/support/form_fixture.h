#pragma once

// The real window with fake services, in a sandbox folder, and a small script
// language in which the window tests play and check whole games.

#include "app/frmMain.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "fakes.h"
#include "sandbox.h"

#include <QListWidget>
#include <QTest>
#include <memory>

namespace sumiraku::testing {

// One history record as the program writes it; "records:N" writes N of them.
inline const QByteArray kRecord = sjis(R"("2026/05/06","21:03:15",25,20,5,"80.0%","1.33/秒","60秒","2")" "\r\n");

class FormFixture {
public:
    // Timers stay still unless the test wants them ticking on their own.
    explicit FormFixture(bool ticking = false);

    Sandbox sandbox;
    FakeMessages messages;
    FakeProcess process;
    FakeClock clock;
    FakeRandom random;
    FakeHelp help;
    std::unique_ptr<frmMain> form;

    // Runs startup as main() does, through the error boundary.
    void load();

    // Plays a script of blank-separated steps and returns its steps as they
    // went: a check "what=value" comes back with the value seen at that point
    // (with "what~=value", the value when the seen text contains it), blanks
    // and line ends in it as "_" and "/"; an unknown step comes back marked.
    // The steps are listed in act(), the checks in look().
    QStringList play(const QString &script);
    QString look(const QString &what);

private:
    // A window on the fakes, its timers as the fixture's.
    std::unique_ptr<frmMain> newForm();
    bool act(const QString &step);
    bool ticking_;
};

} // namespace sumiraku::testing
