#include "ButtonTest.h"

#include <QMouseEvent>
#include <QResizeEvent>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <sstream>

namespace ombrix::test {

using Kind = DrawOp::Kind;

QApplication& testApplication()
{
    static int argc = 1;
    static char name[] = "controls-tests";
    static char* argv[] = {name, nullptr};
    static auto* application = new QApplication(argc, argv);
    [[maybe_unused]] static const char* const locale = std::setlocale(LC_CTYPE, "C.UTF-8");
    return *application;
}

void record(VarnoButton& button, Journal& journal)
{
    const auto log = [&journal](const char* name) {
        return [&journal, name](const auto&... values) {
            std::ostringstream line;
            line << name;
            ((line << ' ' << values), ...);
            journal.push_back(line.str());
        };
    };
    QObject::connect(&button, &VarnoButton::clicked, log("Click"));
    QObject::connect(&button, &VarnoButton::dblClicked, log("DblClick"));
    QObject::connect(&button, &VarnoButton::keyDown, log("KeyDown"));
    QObject::connect(&button, &VarnoButton::keyPress, log("KeyPress"));
    QObject::connect(&button, &VarnoButton::keyUp, log("KeyUp"));
    QObject::connect(&button, &VarnoButton::mouseDown, log("MouseDown"));
    QObject::connect(&button, &VarnoButton::mouseMove, log("MouseMove"));
    QObject::connect(&button, &VarnoButton::mouseUp, log("MouseUp"));
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
    send(QResizeEvent(button->size(), old));
}

void ButtonTest::mouse(QEvent::Type type, QPoint at, Qt::MouseButton which)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(which);
    send(QMouseEvent(type, at, button->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : which, held, {}));
}

}  // namespace ombrix::test
