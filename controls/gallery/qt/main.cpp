#include "GalleryWindow.h"
#include <VarnoButton/VarnoButton.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("varnobutton-gallery"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows VarnoButton in every style, border style, alignment and behaviour."));
    parser.addHelpOption();
    const QCommandLineOption grab(QStringLiteral("grab"),
                                  QStringLiteral("Save a picture of the window to <file> (PNG) and quit."),
                                  QStringLiteral("file"));
    parser.addOption(grab);
    parser.process(app);

    ombrix::GalleryWindow window;
    window.show();
    window.activateWindow();
    window.firstFocus()->setFocus();

    if (parser.isSet(grab)) {
        // Once the window is laid out and has the focus.
        QTimer::singleShot(200, &window, [&window, file = parser.value(grab)] {
            if (window.grab().save(file, "PNG")) {
                QApplication::exit(0);
                return;
            }
            std::fprintf(stderr, "varnobutton-gallery: cannot write %s\n", qPrintable(file));
            QApplication::exit(1);
        });
    }
    return QApplication::exec();
}
