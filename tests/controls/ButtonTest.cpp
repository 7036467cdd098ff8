#include "ButtonTest.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>

#include <clocale>
#include <sstream>

namespace ombrix::test {

namespace {

template <typename... Values>
std::string line(const char* name, Values... values)
{
    std::ostringstream text;
    text << name;
    ((text << ' ' << values), ...);
    return text.str();
}

}  // namespace

QApplication& testApplication()
{
    static int argc = 1;
    static char name[] = "controls-tests";
    static char* argv[] = {name, nullptr};
    static auto* application = [] {
        auto* created = new QApplication(argc, argv);
        std::setlocale(LC_CTYPE, "C.UTF-8");
        return created;
    }();
    return *application;
}

void record(VarnoButton& button, Journal& journal)
{
    const auto key = [&journal](const char* name) {
        return [&journal, name](qint16& code, qint16& shift) { journal.push_back(line(name, code, shift)); };
    };
    const auto mouse = [&journal](const char* name) {
        return [&journal, name](qint16 b, qint16 s, float x, float y) { journal.push_back(line(name, b, s, x, y)); };
    };
    QObject::connect(&button, &VarnoButton::clicked, [&journal] { journal.push_back("Click"); });
    QObject::connect(&button, &VarnoButton::dblClicked, [&journal] { journal.push_back("DblClick"); });
    QObject::connect(&button, &VarnoButton::keyDown, key("KeyDown"));
    QObject::connect(&button, &VarnoButton::keyPress, [&journal](qint16& k) { journal.push_back(line("KeyPress", k)); });
    QObject::connect(&button, &VarnoButton::keyUp, key("KeyUp"));
    QObject::connect(&button, &VarnoButton::mouseDown, mouse("MouseDown"));
    QObject::connect(&button, &VarnoButton::mouseMove, mouse("MouseMove"));
    QObject::connect(&button, &VarnoButton::mouseUp, mouse("MouseUp"));
}

ButtonTest::ButtonTest()
{
    newButton();
}

void ButtonTest::newButton()
{
    delete button;
    journal.clear();
    auto recording = std::make_unique<RecordingSurface>();
    surface = recording.get();
    button = new VarnoButton(std::move(recording), &window);
    button->InitProperties();
    sizeTo(100, 30);
    surface->ops.clear();
    surface->onClear = [this] { journal.push_back(button->ButtonDown() ? "paint down" : "paint up"); };
    record(*button, journal);
}

void ButtonTest::sizeTo(int width, int height)
{
    const QSize old = button->size();
    button->resize(width, height);
    QResizeEvent event(button->size(), old);
    QApplication::sendEvent(button, &event);
}

void ButtonTest::focus(bool in)
{
    QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut);
    QApplication::sendEvent(button, &event);
}

void ButtonTest::key(QEvent::Type type, Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers,
                     bool autoRepeat)
{
    QKeyEvent event(type, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(button, &event);
}

void ButtonTest::tap(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers)
{
    this->key(QEvent::KeyPress, key, text, modifiers);
    this->key(QEvent::KeyRelease, key, text, modifiers);
}

void ButtonTest::mouse(QEvent::Type type, QPoint at, Qt::MouseButton which, QWidget* target)
{
    QWidget* receiver = target ? target : button;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(which);
    QMouseEvent event(type, at, receiver->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : which, held,
                      Qt::NoModifier);
    QApplication::sendEvent(receiver, &event);
}

PictureBox& ButtonTest::picture1() const
{
    return *button->findChild<PictureBox*>(QStringLiteral("Picture1"));
}

}  // namespace ombrix::test
