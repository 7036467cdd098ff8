#include "Desktop.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>

#include <cstdlib>
#include <thread>

#include "UpdateWindow.h"

namespace ombrix::update {

// A display, and no controlling terminal (the main window starts programs in a
// session of their own).
bool StartedFromDesktop()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        return false;
    const int terminal = ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0)
        return true;
    ::close(terminal);
    return false;
}

bool LogsEveryUpdate()
{
    return false;
}

bool TerminalShowsProgress()
{
    return isatty(STDERR_FILENO);
}

Outcome UpdateInWindow(int& argc, char** argv, const std::function<Outcome(UpdateReport&)>& update)
{
    QApplication app(argc, argv);
    UpdateWindow window;
    QObject::connect(&window, &UpdateWindow::closed, &app, &QApplication::quit);
    window.show();
    Outcome outcome;
    std::thread worker([&] {
        outcome = update(window);
        window.finish(outcome);
    });
    app.exec();
    worker.join();
    return outcome;
}

}  // namespace ombrix::update
