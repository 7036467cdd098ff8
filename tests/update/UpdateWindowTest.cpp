#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <thread>

#include "UpdateFixture.h"
#include "UpdateWindow.h"

namespace ombrix::test {

namespace {

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
        return outcome;
    }

    QString message() const { return window.findChild<QLabel*>()->text(); }
    QPushButton* button() const { return window.findChild<QPushButton*>(); }

    int argc = 1;
    char name[7] = "update";
    char* argv[1] = {name};
    QApplication app{argc, argv};
    update::UpdateWindow window;
};

const std::string kCanceled = "Update failed: the update was canceled. The installed signature list was not changed.";

// Started from the main window of a fresh install, the window says where an address is set.
TEST_F(UpdateWindowTest, withoutAnUpdateSourceTheWindowSaysWhereToSetOne)
{
    const std::string expected = "No update source is set. An administrator sets one as \"url = ADDRESS\" in " +
                                 tree.path("prog/update.conf") +
                                 "; for your own copy, ombrix-settings set \"Update URL\" ADDRESS.";
    EXPECT_EQ(run("").message, expected);
    EXPECT_EQ(message().toStdString(), expected);
    EXPECT_EQ(button()->text(), "Close");
}

TEST_F(UpdateWindowTest, cancelStopsAHangingDownloadAndLeavesTheList)
{
    EXPECT_EQ(run(url("/stalled.release"), [&] { button()->click(); }).message, kCanceled);
    EXPECT_EQ(message().toStdString(), kCanceled);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(read("prog/ombrix.ini"), installedList);
}

// The close box cancels too, but the window goes only once the update has stopped.
TEST_F(UpdateWindowTest, closingTheWindowCancelsAndClosesWhenTheUpdateHasStopped)
{
    bool closed = false;
    QObject::connect(&window, &update::UpdateWindow::closed, [&] { closed = true; });
    EXPECT_EQ(run(url("/stalled.release"), [&] {
        window.close();
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(closed);
    }).message, kCanceled);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace

}  // namespace ombrix::test
