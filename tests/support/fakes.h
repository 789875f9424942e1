#pragma once

// Stand-ins for the system services: they record what the window asked for and
// answer as the test says.

#include "platform/services.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace sumiraku::testing {

struct ShownBox {
    QString text, title;
    MsgButtons buttons;
    MsgIcon icon;
};

struct FakeMessages : MessageBoxes {
    QList<ShownBox> shown;
    std::deque<MsgResult> answers;                      // then OK
    std::function<void(const ShownBox &)> whileOpen;    // what happens while the box is up

    MsgResult show(QWidget *, const QString &text, const QString &title, MsgButtons buttons,
                   MsgIcon icon) override
    {
        shown.append({text, title, buttons, icon});
        if (whileOpen)
            whileOpen(shown.last());
        const MsgResult answer = answers.empty() ? MsgResult::Ok : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
};

struct FakeProcess : ProcessControl {
    QList<int> exits;
    void exitNow(int status) override { exits.append(status); }
};

struct FakeClock : Clock {
    double seconds = 36000.25;   // the wall clock
    double steady = 500.5;
    QDateTime current{QDate(2026, 5, 6), QTime(21, 3, 15)};
    double secondsSinceMidnight() const override { return seconds; }
    QDateTime now() const override { return current; }
    double steadySeconds() const override { return steady; }
    void pass(double s) { seconds += s, steady += s; }
};

// Every draw gives the same value.
struct FakeRandom : RandomSource {
    float value = 0.0f;
    void randomize(double) override {}
    float next() override { return value; }
};

struct FakeHelp : HelpViewer {
    QStringList opened;
    int closedAll = 0;
    void displayTopic(QWidget *, const QString &helpFile) override { opened.append(helpFile); }
    void closeAll() override { ++closedAll; }
};

} // namespace sumiraku::testing
