#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "Fakes.h"
#include "ImageList.h"
#include "ScanView.h"

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
        mainWindow.onShow = [this] { owner.show(); };
    }

    // Past one repaint interval, so the view shows what the form holds.
    static void settle() { QTest::qWait(80); }

    QImage iconImage(int row) const
    {
        const QModelIndex index = view.listView1()->model()->index(row, 0);
        return index.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
    }
    QImage imageOf(const char* key) const { return images.icon(key).pixmap(16, 16).toImage(); }

    QPoint rowCentre(int row) const
    {
        return view.listView1()->visualRect(view.listView1()->model()->index(row, 0)).center();
    }

    // Releases `button` over the list and tells whether the menu popped up and
    // whether its delete entry was usable then.
    std::pair<bool, bool> releaseOverList(Qt::MouseButton button)
    {
        bool shown = false;
        bool usable = false;
        QMenu* menu = view.badguymenu();
        const auto connection = QObject::connect(menu, &QMenu::aboutToShow, [&] {
            shown = true;
            usable = view.mnuDeletethisFile()->isEnabled();
            QTimer::singleShot(0, menu, &QMenu::close);
        });
        QTest::mouseRelease(view.listView1()->viewport(), button, {}, rowCentre(0));
        QObject::disconnect(connection);
        return {shown, usable};
    }

    QWidget owner;
    ScanView view{form, &owner};
    ImageList images;
};

TEST_F(ViewTest, controlsSitWhereTheWindowDesignPutsThem)
{
    view.show();
    EXPECT_EQ(view.size(), QSize(610, 395));
    EXPECT_EQ(view.windowTitle(), "Varno Ombrix");
    EXPECT_LE((view.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 4)
        << "centred on its owner";

    const struct {
        const char* name;
        const char* parent;
        QRect geometry;
        const char* text;
    } controls[] = {
        {"Frame1", "", {8, 8, 465, 193}, nullptr},
        {"Image2", "Frame1", {0, 0, 470, 25}, nullptr},
        {"Label6", "Frame1", {8, 32, 89, 17}, "Current Item:"},
        {"Label7", "Frame1", {8, 48, 441, 17}, "Current: 0"},
        {"Label4", "Frame1", {104, 72, 353, 17}, "Scanning for xxxx items."},
        {"Line1(0)", "Frame1", {8, 128, 448, 2}, nullptr},
        {"Line1(1)", "Frame1", {8, 160, 448, 2}, nullptr},
        {"Line1(2)", "Frame1", {0, 96, 464, 2}, nullptr},
        {"Label2", "Frame1", {16, 104, 105, 17}, "Dirs:  0"},
        {"Label3", "Frame1", {168, 104, 193, 17}, "Files:  0"},
        {"Label5", "Frame1", {16, 136, 193, 17}, "Detected:  0"},
        {"Label1", "Frame1", {16, 168, 193, 17}, "Fixed:  0"},
        {"Command1", "", {488, 8, 113, 33}, "Cancel"},
        {"Frame2", "", {8, 208, 593, 177}, nullptr},
        {"ListView1", "Frame2", {8, 8, 577, 161}, nullptr},
        {"Shape3", "Frame2", {0, 0, 593, 177}, nullptr},
        {"Image1", "", {600, 8, 16, 16}, nullptr},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        const auto* widget = view.findChild<QWidget*>(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.geometry);
        EXPECT_EQ(widget->parentWidget() == &view ? "" : widget->parentWidget()->objectName(), c.parent);
        if (const auto* label = qobject_cast<const QLabel*>(widget); label && c.text) {
            EXPECT_EQ(label->text(), c.text);
        }
        EXPECT_EQ(widget->font().family(), "Arial");
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), 8.25);
        const bool bold = c.name == std::string("Label6") || c.name == std::string("Command1");
        EXPECT_EQ(widget->font().bold(), bold);
    }
    EXPECT_EQ(view.command1()->text(), "Cancel");
    EXPECT_EQ(view.findChild<QLabel*>("Image2")->pixmap().size(), QSize(470, 25));
    EXPECT_EQ(view.listView1()->model()->columnCount(), 0) << "the run makes the columns";
    ASSERT_EQ(view.badguymenu()->actions().size(), 2);
    EXPECT_EQ(view.badguymenu()->actions()[0]->text(), "Delete this File");
    EXPECT_EQ(view.badguymenu()->actions()[1]->text(), "Open Folder");
    for (const char* key : {"redbug", "greenbug", "yellowbug"})
        EXPECT_EQ(images.icon(key).pixmap(16, 16).size(), QSize(16, 16)) << key;
}

TEST_F(ViewTest, labelsRowsAndIconsShowTheFinishedRun)
{
    view.show();
    scanTwoFindings();
    ::unlink(row(2).FullPath.c_str());
    form.mnuDeletethisFile_Click();
    settle();

    for (const ScanLabel label : {ScanLabel::Label1, ScanLabel::Label2, ScanLabel::Label3, ScanLabel::Label4,
                                  ScanLabel::Label5, ScanLabel::Label6, ScanLabel::Label7})
        EXPECT_EQ(view.label(label)->text().toStdString(), text(label));
    EXPECT_EQ(view.label(ScanLabel::Label5)->text(), "Detected:  2");
    EXPECT_EQ(view.label(ScanLabel::Label6)->text(), "Scan Complete - Problems were found!");
    EXPECT_EQ(view.command1()->text(), "Close");

    const QAbstractItemModel* model = view.listView1()->model();
    ASSERT_EQ(model->rowCount(), 2);
    ASSERT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Virus Name");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Filename");
    EXPECT_EQ(view.listView1()->header()->sectionSize(0), 288);
    EXPECT_EQ(view.listView1()->header()->sectionSize(1), 288);
    EXPECT_EQ(model->index(1, 1).data().toString().toStdString(), row(2).FullPath);
    EXPECT_EQ(model->index(1, 0).data().toString().toStdString(), row(2).VirusName);
    EXPECT_EQ(iconImage(0), imageOf("redbug"));
    EXPECT_EQ(iconImage(1), imageOf("greenbug"));
    EXPECT_EQ(view.listView1()->selectionModel()->selectedRows().size(), 2);
}

TEST_F(ViewTest, theDeleteEntryIsUsableOnlyWhileTheSelectedRowsFileExists)
{
    view.show();
    scanTwoFindings();
    settle();
    ::unlink(row(2).FullPath.c_str());

    EXPECT_EQ(releaseOverList(Qt::RightButton), std::make_pair(true, false)) << "row 2 was selected last";
    EXPECT_FALSE(releaseOverList(Qt::LeftButton).first);
    EXPECT_FALSE(releaseOverList(Qt::MiddleButton).first);

    QTest::mouseClick(view.listView1()->viewport(), Qt::LeftButton, {}, rowCentre(0));
    EXPECT_EQ(form.selectedRow(), 1u);
    EXPECT_FALSE(row(2).Selected);
    EXPECT_EQ(releaseOverList(Qt::RightButton), std::make_pair(true, true));

    QTest::mousePress(view.listView1()->viewport(), Qt::RightButton, {}, rowCentre(1));
    EXPECT_EQ(form.selectedRow(), 2u) << "a right press selects the row under the pointer";
}

TEST_F(ViewTest, cancelClickedDuringTheWalkReachesTheForm)
{
    for (const char* folder : {"a", "b", "c"})
        tree.file(std::string("scan/") + folder + "/x/file.txt");
    view.show();
    QTimer::singleShot(0, view.command1(), &QPushButton::click);
    scan();
    settle();
    EXPECT_TRUE(form.canceled);
    EXPECT_EQ(view.label(ScanLabel::Label6)->text(), "Scan Canceled");
    EXPECT_EQ(view.command1()->text(), "Close");

    view.command1()->click();
    EXPECT_FALSE(view.isVisible());
    EXPECT_TRUE(owner.isVisible());
}

// The user closes the scan window, the last one on the screen, during the
// walk. The program must live on: once the run has brought the main window
// back, only something else may end the event loop (exit code 7 here).
TEST_F(ViewTest, closingTheWindowDuringTheRunDoesNotEndTheProgram)
{
    tree.file("scan/z/bad.exe");
    QGuiApplication::setQuitOnLastWindowClosed(true);
    view.setParent(nullptr, Qt::Window);  // closing an owned window never ends the program
    view.show();
    QTimer::singleShot(0, [this] {
        QTimer::singleShot(0, &view, &QWidget::close);
        scan();
        QTimer::singleShot(100, [] { QCoreApplication::exit(7); });
    });
    EXPECT_EQ(QApplication::exec(), 7);
    EXPECT_TRUE(owner.isVisible());
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(log, (Log{"show main"})) << "no message over the gone window";
    EXPECT_TRUE(QGuiApplication::quitOnLastWindowClosed());
}

TEST_F(ViewTest, theProgramEndsAfterTheRunWhenNoWindowIsLeft)
{
    tree.file("scan/z/bad.exe");
    QGuiApplication::setQuitOnLastWindowClosed(true);
    view.setParent(nullptr, Qt::Window);  // closing an owned window never ends the program
    mainWindow.closed = true;
    view.show();
    QTimer::singleShot(0, [this] {
        QTimer::singleShot(0, &view, &QWidget::close);
        scan();
    });
    QTimer stopper;
    stopper.callOnTimeout([] { QCoreApplication::exit(7); });
    stopper.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
}

}  // namespace
}  // namespace ombrix::test
