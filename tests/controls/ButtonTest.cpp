#include "ButtonTest.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>

namespace ombrix::test {

QApplication& testApplication()
{
    static int argc = 1;
    static char name[] = "ombrix-controls-tests";
    static char* argv[] = {name, nullptr};
    static auto* application = new QApplication(argc, argv);
    return *application;
}

ButtonTest::ButtonTest()
{
    testApplication();
    newButton();
}

void ButtonTest::newButton()
{
    journal.clear();
    auto recording = std::make_unique<RecordingSurface>();
    surface = recording.get();
    button = std::make_unique<VarnoButton>(std::move(recording));
    button->InitProperties();
    button->setEventHandler(&events);
    sizeTo(100, 30);
    surface->ops.clear();
    surface->onClear = [this] { journal.push_back(button->ButtonDown() ? "paint down" : "paint up"); };
}

void ButtonTest::sizeTo(int width, int height)
{
    const QSize old = button->size();
    button->resize(width, height);
    QResizeEvent event(button->size(), old);
    QApplication::sendEvent(button.get(), &event);
}

void ButtonTest::focus(bool in)
{
    QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut);
    QApplication::sendEvent(button.get(), &event);
}

void ButtonTest::key(QEvent::Type type, Qt::Key key, const QString& text, bool autoRepeat)
{
    QKeyEvent event(type, key, Qt::NoModifier, text, autoRepeat);
    QApplication::sendEvent(button.get(), &event);
}

void ButtonTest::tap(Qt::Key key, const QString& text)
{
    this->key(QEvent::KeyPress, key, text);
    this->key(QEvent::KeyRelease, key, text);
}

void ButtonTest::mouse(QEvent::Type type, QPoint at, Qt::MouseButton which, QWidget* target)
{
    QWidget* receiver = target ? target : button.get();
    const bool holding = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    const Qt::MouseButtons held = holding ? Qt::MouseButtons(which) : Qt::NoButton;
    QMouseEvent event(type, at, receiver->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : which, held,
                      Qt::NoModifier);
    QApplication::sendEvent(receiver, &event);
}

PictureBox& ButtonTest::picture1() const
{
    return *button->findChild<PictureBox*>(QStringLiteral("Picture1"));
}

}  // namespace ombrix::test
