#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <cstdlib>
#include <thread>

#include "Accessibility.h"
#include "FormCheck.h"
#include "UpdateFixture.h"
#include "UpdateForm.h"
#include "UpdateWindow.h"

namespace ombrix::test {

namespace {

// The Qt view of the update window over a real update; what the window does is
// frmUpdate's and tested with it.
class UpdateWindowTest : public UpdateFixture {
protected:
    // Runs one update on a worker thread, as the program does, while this thread
    // serves the window; `whileRunning` acts on the window once the update has started.
    update::Outcome run(const std::string& url, const std::function<void()>& whileRunning = {})
    {
        tree.file("site/stalled.release.pace", "stall");
        update::Outcome outcome;
        std::atomic<bool> done = false;
        std::thread worker([&] {
            const std::string prog = tree.path("prog");
            outcome = update::RunUpdate({{prog, prog, prog, prog, prog + "/update-keys"}, url}, window);
            window.finish(outcome);
            done = true;
        });
        window.show();
        if (whileRunning) {
            QApplication::processEvents();
            whileRunning();
        }
        while (!done || button()->text() != "Close")
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        worker.join();
        QApplication::processEvents();
        return outcome;
    }

    QLabel* message() const { return window.findChild<QLabel*>(); }
    QProgressBar* bar() const { return window.findChild<QProgressBar*>(); }
    QPushButton* button() const { return window.findChild<QPushButton*>(); }

    int argc = 1;
    char name[7] = "update";
    char* argv[1] = {name};
    QApplication app{argc, argv};
    update::UpdateWindow window;
};

// Run at the scales 1, 1.5 and 2 (CMakeLists.txt): an outcome many times longer
// than the window's design shows whole, and no bar is left standing at 0 %.
TEST_F(UpdateWindowTest, aLongFailureShowsWholeWithoutABar)
{
    std::string text = "Update failed:";
    for (int i = 0; i < 12; ++i)
        text += " the server at http://127.0.0.1:8080/lists/ombrix.ini.release answered 404.";
    window.show();
    window.finish({update::kFailed, text});
    while (button()->text() != "Close")
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    const QRect needed = message()->fontMetrics().boundingRect(QRect(0, 0, message()->contentsRect().width(), 10000),
                                                               Qt::TextWordWrap, message()->text());
    EXPECT_GE(message()->contentsRect().height(), needed.height());
    EXPECT_LE(message()->geometry().bottom(), button()->geometry().top());
    EXPECT_TRUE(window.rect().contains(button()->geometry()));
    EXPECT_TRUE(bar()->isHidden());
}

// The outcome of a fresh install names the command to type; the window has words for a person at it.
TEST_F(UpdateWindowTest, aFreshInstallIsToldInWordsForTheWindow)
{
    ASSERT_NE(run("").message.find("ombrix-settings set"), std::string::npos);
    const QString shown = message()->text();
    EXPECT_FALSE(shown.contains("ombrix-settings")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QString::fromStdString(tree.path("prog/update.conf"))));
    EXPECT_TRUE(shown.contains("\"Update URL\""));
}

TEST_F(UpdateWindowTest, cancelStopsAHangingDownloadAndLeavesTheList)
{
    EXPECT_EQ(run(url("/stalled.release"), [&] { button()->click(); }).message,
              "Update failed: the update was canceled. The installed signature list was not changed.");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(read("prog/ombrix.ini"), installedList);
}

TEST_F(UpdateWindowTest, aScreenReaderMeetsANamedWindowAndBar)
{
    window.show();
    expectBuiltFrom(window, update::kUpdateForm);
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(&window);
    EXPECT_EQ(item->role(), QAccessible::Window);
    EXPECT_EQ(item->text(QAccessible::Name), "Ombrix Update");
    EXPECT_EQ(unnamedAccessibles(&window), "");
}

// The main window passes its frame to the updater it starts.
TEST_F(UpdateWindowTest, itOpensOverTheWindowThatStartedIt)
{
    ::setenv("OMBRIX_OWNER_BOX", "100,80,500,300", 1);
    update::UpdateWindow placed;
    ::unsetenv("OMBRIX_OWNER_BOX");
    placed.show();
    QApplication::processEvents();
    const QPoint centre = placed.frameGeometry().center();
    EXPECT_LE((centre - QPoint(350, 230)).manhattanLength(), 2) << centre.x() << "," << centre.y();
}

}  // namespace

}  // namespace ombrix::test
