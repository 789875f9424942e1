#pragma once

// Ends a start-up benchmark once its window's first frame is on screen. The
// expose event is let through (the window paints and flushes while handling
// it) and the exit follows from the event loop, at once: no teardown is timed,
// only the way from exec() of the process to the first frame.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

class ExitOnFirstFrame : public QObject {
public:
    // `phases`: print the milliseconds since `clock` started when the frame is done.
    ExitOnFirstFrame(const QElapsedTimer &clock, bool phases) : clock_(clock), phases_(phases)
    {
        // Application-wide: the window handle does not exist before show().
        QCoreApplication::instance()->installEventFilter(this);
        // A window that never shows must not hang the run.
        QTimer::singleShot(20000, this, [] {
            std::fputs("no window exposed within 20 s\n", stderr);
            std::_Exit(2);
        });
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && !done_ && watched->isWindowType()
            && static_cast<QWindow *>(watched)->isExposed()) {
            done_ = true;
            QMetaObject::invokeMethod(this, [this] { finish(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void finish() const
    {
        if (phases_) {
            std::fprintf(stderr, "first frame   %6.1f ms\n", clock_.nsecsElapsed() / 1e6);
            printMemory();
        }
        std::fflush(nullptr);
        std::_Exit(0);
    }

    // Resident memory split into heap and mapped files (libraries, fonts).
    static void printMemory()
    {
        if (FILE *status = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, status)) {
                if (std::strncmp(line, "VmHWM", 5) == 0 || std::strncmp(line, "Rss", 3) == 0)
                    std::fputs(line, stderr);
            }
            std::fclose(status);
        }
    }

    const QElapsedTimer &clock_;
    bool phases_;
    bool done_ = false;
};

} // namespace bench
