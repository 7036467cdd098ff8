// Presses Space on a button and exits 0 when its clicked() signal came.
#include <VarnoButton/VarnoButton.h>

#include <QApplication>
#include <QKeyEvent>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ombrix::VarnoButton ok;
    ok.InitProperties();
    ok.setCaption(QStringLiteral("OK"));
    ok.setBorderStyle(1);
    int clicks = 0;
    QObject::connect(&ok, &ombrix::VarnoButton::clicked, [&clicks] { ++clicks; });
    ok.show();

    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent space(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(&ok, &space);
    }
    if (clicks != 1 || ok.grab().isNull()) {
        std::fprintf(stderr, "consumer: Space gave %d clicks\n", clicks);
        return 1;
    }
    return 0;
}
