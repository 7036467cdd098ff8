// Preloaded into the real ombrix by signal_end_to_end.sh. It tells on stderr
// each window that comes on screen ("shown: " and the window's object name,
// else its title) and, with OMBRIX_PROBE_SCAN set, presses Enter on the main
// window's scan link once that window is up, as a user would.
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class Probe final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow())
            return false;
        const QString name = window->objectName().isEmpty() ? window->windowTitle() : window->objectName();
        std::fprintf(stderr, "shown: %s\n", qPrintable(name));
        std::fflush(stderr);
        if (name == QLatin1String("frmMain") && !scanPressed_ && std::getenv("OMBRIX_PROBE_SCAN")) {
            scanPressed_ = true;
            QTimer::singleShot(0, window, [window] {
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(window->findChild<QWidget*>(QStringLiteral("Label6")), &enter);
            });
        }
        return false;
    }

private:
    bool scanPressed_ = false;
};

void installProbe()
{
    qApp->installEventFilter(new Probe);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
