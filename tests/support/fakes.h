#pragma once

// Stand-ins for the system services: they record what the window asked for and
// answer as the test says.

#include "platform/services.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

namespace sumiraku::testing {

struct ShownBox {
    QString text;
    QString title;
    MsgButtons buttons;
    MsgIcon icon;
};

class FakeMessages : public MessageBoxes {
public:
    QList<ShownBox> shown;
    std::deque<MsgResult> answers;                      // then OK
    std::function<void(const ShownBox &)> whileOpen;    // what happens while the box is up

    MsgResult show(QWidget *owner, const QString &text, const QString &title,
                   MsgButtons buttons, MsgIcon icon) override;
    QStringList titles() const;
};

class FakeProcess : public ProcessControl {
public:
    QList<int> exits;
    void exitNow(int status) override { exits.append(status); }
};

class FakeClock : public Clock {
public:
    double seconds = 36000.25;
    QDateTime current{QDate(2026, 5, 6), QTime(21, 3, 15)};
    double secondsSinceMidnight() const override { return seconds; }
    QDateTime now() const override { return current; }
};

class FakeRandom : public RandomSource {
public:
    std::deque<float> values;    // then `fallback`
    float fallback = 0.0f;
    int randomized = 0;
    void randomize(double) override { ++randomized; }
    float next() override;
};

class FakeHelp : public HelpViewer {
public:
    QStringList opened;
    int closedAll = 0;
    void displayTopic(QWidget *, const QString &helpFile) override { opened.append(helpFile); }
    void closeAll() override { ++closedAll; }
};

} // namespace sumiraku::testing
