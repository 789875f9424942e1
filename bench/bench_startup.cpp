// The program's start-up as main() runs it, on the data files in a folder,
// ended once the window's first frame is on screen.
// Usage: bench_startup [--phases] [FOLDER]
//   FOLDER   where the data files are (default: the current folder)
//   --phases print where the time and the memory go

#include "bench_services.h"
#include "first_frame.h"

#include "app/app_setup.h"
#include "app/frmMain.h"
#include "app/system_services.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

class Phases {
public:
    Phases(const QElapsedTimer &clock, bool on) : clock_(clock), on_(on) {}
    void mark(const char *what) const
    {
        if (on_)
            std::fprintf(stderr, "%-13s %6.1f ms\n", what, clock_.nsecsElapsed() / 1e6);
    }

private:
    const QElapsedTimer &clock_;
    bool on_;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    bool phasesOn = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--phases") == 0)
            phasesOn = true;
        else
            std::filesystem::current_path(argv[i]);   // the program reads its files from here
    }
    const Phases phases(clock, phasesOn);

    QApplication app(argc, argv);
    bench::ExitOnFirstFrame exit(clock, phasesOn);
    phases.mark("application");
    sumiraku::setupFonts();

    // A failed start-up ends the run with a message; the success path shows no box.
    bench::ReportingMessages messages;
    const sumiraku::SystemPlatform system(&messages);
    frmMain form(system.platform());
    phases.mark("window built");
    form.guard([&form] { form.Form_Load(); });
    phases.mark("Form_Load");
    return app.exec();
}
