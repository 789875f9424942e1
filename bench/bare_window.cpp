// The reference for start-up: a bare Qt Widgets window of the program's size,
// shown, and ended once its first frame is on screen.
// Usage: bench_bare_window [--phases] [--label] [--stay]
//   --label  one line of Japanese text in the window, in the face the program
//            asks for: what any window showing text pays for its fonts
//   --phases print where the time and the memory go
//   --stay   keep the window open, for a measure taken from outside

#include "first_frame.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>
#include <optional>

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    bool phases = false;
    bool label = false;
    bool stay = false;
    for (int i = 1; i < argc; ++i) {
        phases = phases || std::strcmp(argv[i], "--phases") == 0;
        label = label || std::strcmp(argv[i], "--label") == 0;
        stay = stay || std::strcmp(argv[i], "--stay") == 0;
    }
    QApplication app(argc, argv);
    std::optional<bench::ExitOnFirstFrame> exit;
    if (!stay)
        exit.emplace(clock, phases);
    QWidget window;
    window.setFixedSize(631, 452);
    if (label) {
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(21);
        auto *text = new QLabel(QStringLiteral("四字熟語を入力してください"), &window);
        text->setFont(font);
        text->move(20, 20);
    }
    window.show();
    return app.exec();
}
