// Preloaded into the real programs by the end-to-end tests. It tells on stderr
// each window that comes on screen ("shown: " and the window's object name,
// else its title), and acts as a user would:
//   OMBRIX_PROBE_SCAN            presses Enter on the main window's scan link once it is up;
//   OMBRIX_PROBE_KEYS=NAME:KEYS  presses KEYS ("Down,Ctrl+A,Return") in the window NAME
//                                once it is up, then grabs it into OMBRIX_PROBE_GRAB (a
//                                PNG file) when that is set, and closes it;
//   OMBRIX_PROBE_ANSWER=BUTTON   answers every message box with BUTTON ("Yes", "No", "OK"),
//                                after telling its text ("asked: ");
//   OMBRIX_PROBE_SAVE_AS=PATH    answers every file dialog with PATH.
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

QString setting(const char* name)
{
    return QString::fromLocal8Bit(std::getenv(name));
}

void tell(const char* what, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(text));
    std::fflush(stderr);
}

void press(QWidget* window, const QString& keys)
{
    for (const QString& key : keys.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QKeyCombination combination = QKeySequence::fromString(key)[0];
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        QKeyEvent down(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(window->focusWidget() ? window->focusWidget() : window, &up);
    }
}

void answer(QWidget* window)
{
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        tell("asked", box->text());
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove(QLatin1Char('&')) == setting("OMBRIX_PROBE_ANSWER"))
                QTimer::singleShot(0, button, &QAbstractButton::click);
        }
    } else if (auto* dialog = qobject_cast<QFileDialog*>(window); dialog && std::getenv("OMBRIX_PROBE_SAVE_AS")) {
        tell("save as", dialog->windowTitle());
        QTimer::singleShot(0, dialog, [dialog] {
            dialog->selectFile(setting("OMBRIX_PROBE_SAVE_AS"));
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it, but it is the dialog's OK
        });
    }
}

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
        tell("shown", name);
        answer(window);
        if (name == QLatin1String("frmMain") && !scanPressed_ && std::getenv("OMBRIX_PROBE_SCAN")) {
            scanPressed_ = true;
            QTimer::singleShot(0, window, [window] {
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(window->findChild<QWidget*>(QStringLiteral("Label6")), &enter);
            });
        }
        const QString keys = setting("OMBRIX_PROBE_KEYS");
        if (!keysPressed_ && keys.startsWith(name + QLatin1Char(':'))) {
            keysPressed_ = true;
            QTimer::singleShot(0, window, [window, keys = keys.mid(name.size() + 1)] {
                window->activateWindow();
                press(window, keys);
                if (std::getenv("OMBRIX_PROBE_GRAB"))
                    window->grab().save(setting("OMBRIX_PROBE_GRAB"));
                window->close();
            });
        }
        return false;
    }

private:
    bool scanPressed_ = false;
    bool keysPressed_ = false;
};

void installProbe()
{
    qApp->installEventFilter(new Probe);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
