#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "Fakes.h"
#include "FormCheck.h"
#include "ScanForm.h"
#include "ImageList.h"
#include "ScanView.h"
#include "ToolTips.h"
#include "Accessibility.h"
#include "QtMessageBox.h"

namespace ombrix::test {
namespace {

class ViewTest : public ::testing::Test, public FormFixture {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "scanwindow-tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    ViewTest()
    {
        owner.setGeometry(200, 150, 500, 400);
        world.onShow = [this] { owner.show(); };
    }

    // Past one repaint interval, so the view shows what the form holds.
    static void settle() { QTest::qWait(80); }

    bool rowShowsIcon(int row, const char* key) const
    {
        const QIcon shown = view.listView1()->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
        return shown.pixmap(16, 16).toImage() == images.icon(key).pixmap(16, 16).toImage();
    }

    QPoint rowCentre(int row) const
    {
        return view.listView1()->visualRect(view.listView1()->model()->index(row, 0)).center();
    }

    // Does `act` and tells whether the menu popped up and whether its delete
    // entry was usable then.
    std::pair<bool, bool> menuAfter(const std::function<void()>& act)
    {
        bool shown = false;
        bool usable = false;
        QMenu* menu = view.badguymenu();
        const auto connection = QObject::connect(menu, &QMenu::aboutToShow, [&] {
            shown = true;
            usable = view.mnuDeletethisFile()->isEnabled();
            QTimer::singleShot(0, menu, &QMenu::close);
        });
        act();
        QObject::disconnect(connection);
        return {shown, usable};
    }

    std::pair<bool, bool> releaseOverList(Qt::MouseButton button)
    {
        return menuAfter([&] { QTest::mouseRelease(view.listView1()->viewport(), button, {}, rowCentre(0)); });
    }

    std::pair<bool, bool> pressInList(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        return menuAfter([&] { QTest::keyClick(view.listView1(), key, modifiers); });
    }

    // In the event loop, the user closes the scan window, the only one on the
    // screen, as a run over one finding starts. The loop's exit code: 7 when
    // nothing ended it within `patienceMs`.
    int runClosingTheLastWindow(int patienceMs)
    {
        tree.file("scan/z/bad.exe");
        QGuiApplication::setQuitOnLastWindowClosed(true);
        view.setParent(nullptr, Qt::Window);  // closing an owned window never ends the program
        view.show();
        QTimer::singleShot(0, [this] {
            QTimer::singleShot(0, &view, &QWidget::close);
            scan();
        });
        QTimer stopper;
        stopper.callOnTimeout([] { QCoreApplication::exit(7); });
        stopper.start(patienceMs);
        return QApplication::exec();
    }

    QWidget owner;
    ScanView view{form, &owner};
    ImageList images;
};

TEST_F(ViewTest, controlsFollowTheFormDescriptionAtEveryScale)
{
    test::expectBuiltFrom(view, kScanForm);
    // The finding list's beetles have as many pixels as the scale gives them.
    for (const char* key : {"redbug", "greenbug", "yellowbug"})
        EXPECT_EQ(images.icon(key).availableSizes(), QList<QSize>{QSize(16, 16) * testScale()}) << key;
}

// The labels, button and rows show the finished run, the result message whole on its
// design line. Paths lose their middle, so the file name stays in sight; the tooltip
// has them whole. The folder being scanned is plain text like every other label.
TEST_F(ViewTest, theFinishedRunShowsWithEachPathKeepingItsFileNameAtEveryScale)
{
    const std::string longPath = "scan/a folder with a name much longer than the column can show/bad.exe";
    tree.file(longPath);
    tree.file("scan/b/worm.dll");
    view.show();
    scan();
    ::unlink(row(2).FullPath.c_str());
    form.mnuDeletethisFile_Click();
    settle();

    for (int label = 0; label < 7; ++label)
        EXPECT_EQ(view.label(ScanLabel(label))->text().toStdString(), text(ScanLabel(label)));
    EXPECT_EQ(view.label(ScanLabel::Label7)->textFormat(), Qt::PlainText);
    EXPECT_EQ(view.command1()->text(), "Close");
    const QLabel* result = view.label(ScanLabel::Label6);
    ASSERT_EQ(result->text(), "Scan Complete - Problems were found!");
    EXPECT_EQ(result->geometry().topLeft(), QPoint(8, 32));
    EXPECT_GE(result->width(), result->fontMetrics().horizontalAdvance(result->text()));
    EXPECT_LE(result->geometry().right(), view.findChild<QWidget*>("Frame1")->contentsRect().right());

    QTreeView* list = view.listView1();
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_TRUE(rowShowsIcon(0, "redbug"));
    EXPECT_TRUE(rowShowsIcon(1, "greenbug"));
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 2);
    const int bad = row(1).VirusName == "Trojan.A" ? 0 : 1;
    const QModelIndex path = list->model()->index(bad, 1);
    EXPECT_EQ(path.siblingAtColumn(0).data().toString(), "Trojan.A");
    ASSERT_EQ(path.data().toString().toStdString(), tree.path(longPath));
    EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
    EXPECT_EQ(test::toolTipAt(list->viewport(), list->visualRect(path).center()).toStdString(), tree.path(longPath));
}

TEST_F(ViewTest, theDeleteEntryIsUsableOnlyWhileTheSelectedRowsFileExists)
{
    view.show();
    scanTwoFindings();
    settle();
    ::unlink(row(2).FullPath.c_str());

    EXPECT_EQ(view.mnuDeletethisFile()->text(), "Delete this File");
    EXPECT_EQ(releaseOverList(Qt::RightButton), std::make_pair(true, false)) << "row 2 was selected last";
    EXPECT_FALSE(releaseOverList(Qt::LeftButton).first);
    EXPECT_FALSE(releaseOverList(Qt::MiddleButton).first);

    QTest::mousePress(view.listView1()->viewport(), Qt::RightButton, {}, rowCentre(0));
    EXPECT_EQ(releaseOverList(Qt::RightButton), std::make_pair(true, true)) << "a right press made row 1 the menu's";

    QTest::mouseClick(view.listView1()->viewport(), Qt::LeftButton, {}, rowCentre(1));
    EXPECT_EQ(form.selectedRow(), 2u);
    EXPECT_FALSE(row(1).Selected) << "a click selects its row only";
}

// The Menu key and Shift+F10 open the menu for the current row, made the selection when it was not.
TEST_F(ViewTest, theMenuKeyAndShiftF10OpenTheMenuForTheCurrentRowAtEveryScale)
{
    view.show();
    scanTwoFindings();
    settle();
    ::unlink(row(1).FullPath.c_str());
    view.listView1()->selectionModel()->setCurrentIndex(view.listView1()->model()->index(0, 0),
                                                        QItemSelectionModel::NoUpdate);
    EXPECT_EQ(pressInList(Qt::Key_Menu), std::make_pair(true, false));
    EXPECT_FALSE(pressInList(Qt::Key_F10).first);

    QTest::keyClick(view.listView1(), Qt::Key_Down);
    QTest::keyClick(view.listView1(), Qt::Key_Space, Qt::ControlModifier);
    ASSERT_FALSE(row(2).Selected);
    EXPECT_EQ(pressInList(Qt::Key_F10, Qt::ShiftModifier), std::make_pair(true, true));
    EXPECT_EQ(view.listView1()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(form.selectedRow(), 2u);
}

// Esc is Cancel during the walk; Enter on Close closes.
TEST_F(ViewTest, cancelDuringTheWalkStopsItAndTheButtonThenCloses)
{
    for (const char* folder : {"a", "b", "c", "d"})
        tree.file(std::string("scan/") + folder + "/x/file.txt");
    view.show();
    QTimer::singleShot(0, [this] {
        QTest::keyClick(view.listView1(), Qt::Key_Escape);
        view.command1()->click();
        EXPECT_EQ(form.buttonCaption(), "Cancel") << "a second click during the walk does not close";
    });
    scan();
    settle();
    EXPECT_TRUE(form.canceled);
    EXPECT_NE(text(ScanLabel::Label2), "Dirs: 9") << "the walk stopped early";
    EXPECT_EQ(view.label(ScanLabel::Label6)->text(), "Scan Canceled");
    EXPECT_EQ(view.label(ScanLabel::Label7)->text(), "");
    EXPECT_FALSE(owner.isVisible());

    view.command1()->setFocus();
    QTest::keyClick(view.command1(), Qt::Key_Return);
    EXPECT_FALSE(view.isVisible());
    EXPECT_TRUE(owner.isVisible());
}

// More rows than the list can show, with long paths: the list scrolls down, never sideways.
TEST_F(ViewTest, theFindingListNeverScrollsSideways)
{
    for (int i = 0; i < 30; ++i)
        tree.file("scan/a folder with a rather long name " + std::to_string(i) + "/bad.exe");
    view.show();
    scan();
    settle();

    QTreeView* list = view.listView1();
    ASSERT_EQ(list->model()->rowCount(), 30);
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(list->header()->sectionSize(0), list->header()->sectionSize(1));
}

// Close holding the keyboard shows it plainly: a ring in the highlight colour.
TEST_F(ViewTest, theFocusedButtonShowsARing)
{
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    const auto highlighted = [this] {
        const QImage look = view.command1()->grab().toImage();
        const QRgb ring = view.command1()->palette().color(QPalette::Highlight).rgb();
        int count = 0;
        for (int y = 0; y < look.height(); ++y)
            for (int x = 0; x < look.width(); ++x)
                count += look.pixel(x, y) == ring;
        return count;
    };
    view.listView1()->setFocus();
    const int unfocused = highlighted();
    view.command1()->setFocus();
    EXPECT_GE(highlighted() - unfocused, 2 * view.command1()->width());
}

// A screen reader finds a name on everything the window and its message boxes show.
TEST_F(ViewTest, everythingOnScreenHasANameAtEveryScale)
{
    tree.file("scan/a/bad.exe");
    view.show();
    scan();
    settle();
    // The folder being scanned is emptied at the end of the run.
    EXPECT_EQ(test::unnamedAccessibles(&view, {"Label7"}), "");

    std::string inTheBox = "(no message box)";
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        inTheBox = test::unnamedAccessibles(box);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QtMessageBox().show("Unable to kill this file");
    EXPECT_EQ(inTheBox, "");
}

// Once the run has brought the main window back, only something else may end the program.
TEST_F(ViewTest, closingTheLastWindowDuringTheRunDoesNotEndTheProgram)
{
    EXPECT_EQ(runClosingTheLastWindow(200), 7);
    EXPECT_TRUE(owner.isVisible());
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(world.log, (Log{"show main"})) << "no message over the gone window";
    EXPECT_TRUE(QGuiApplication::quitOnLastWindowClosed());
}

TEST_F(ViewTest, theProgramEndsAfterTheRunWhenNoWindowIsLeft)
{
    world.mainClosed = true;
    EXPECT_EQ(runClosingTheLastWindow(5000), 0);
}

}  // namespace
}  // namespace ombrix::test
