#include "app/system_services.h"

#include "helpviewer/chmviewer.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTime>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sumiraku {

MsgResult QtMessageBoxes::show(QWidget *owner, const QString &text, const QString &title,
                               MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton *cancel = nullptr;
    if (buttons == MsgButtons::OkCancel) {
        cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton(ok);
    box.exec();   // a nested event loop: the window's timers keep ticking
    return box.clickedButton() == ok ? MsgResult::Ok : MsgResult::Cancel;
}

void SystemProcess::exitNow(int status)
{
    // At once: no handler, no destructor and no pending event of the program runs.
    std::fflush(nullptr);
    std::_Exit(status);
}

double SystemClock::secondsSinceMidnight() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

double SystemClock::steadySeconds() const
{
#ifdef CLOCK_BOOTTIME
    // Counts on while the machine sleeps, as the wall clock would: a game
    // slept through is over on waking.
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return double(ts.tv_sec) + ts.tv_nsec / 1e9;
#endif
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

SystemRandom::SystemRandom() : engine_(std::random_device{}()) {}

void SystemRandom::randomize(double seed)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &seed, sizeof bits);
    std::seed_seq seq{static_cast<std::uint32_t>(engine_()), static_cast<std::uint32_t>(bits),
                      static_cast<std::uint32_t>(bits >> 32)};
    engine_.seed(seq);
}

float SystemRandom::next()
{
    // 24 random bits: every value is exact in single precision and below 1.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
}

SystemPlatform::SystemPlatform(MessageBoxes *messages)
{
    platform_.messages = messages ? messages : &boxes_;
    platform_.process = &process_;
    platform_.clock = &clock_;
    platform_.random = &random_;
    help_ = std::make_unique<ChmHelpViewer>(platform_.messages);
    platform_.help = help_.get();
    platform_.preferences = &preferences_;
}

SystemPlatform::~SystemPlatform() = default;

} // namespace sumiraku
