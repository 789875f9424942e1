// The reference for start-up: a bare Qt Widgets window of the program's size,
// shown, and ended once its first frame is on screen.
// Usage: bench_bare_window [--phases]

#include "first_frame.h"

#include <QApplication>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    const bool phases = argc > 1 && std::strcmp(argv[1], "--phases") == 0;
    QApplication app(argc, argv);
    bench::ExitOnFirstFrame exit(clock, phases);
    QWidget window;
    window.setFixedSize(631, 452);
    window.show();
    return app.exec();
}
