#include "MainWindowView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include <cstdlib>

#include "ScanView.h"
#include "ShellFixture.h"

namespace ombrix {
namespace {

// One application for the whole test run, never destroyed: Qt's own
// statics may already be gone when static objects are destroyed at exit.
void startApplication()
{
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

class View : public test::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        startApplication();
        subfolders[at("usb/")] = {at("usb/Program Files"), at("usb/WINDOWS")};
        makeForm();
        window = std::make_unique<MainWindowView>(*form);
        road = form->Form_Load();
        window->syncFromForm();
    }
    void TearDown() override
    {
        window.reset();
        ShellFixture::TearDown();
    }

    template <typename T = QWidget>
    T* control(const char* name) const
    {
        return window->findChild<T*>(QLatin1String(name));
    }

    std::unique_ptr<MainWindowView> window;
};

TEST_F(View, everyControlSitsWhereItWasDesigned)
{
    EXPECT_EQ(window->windowTitle(), "Varno Ombrix");
    EXPECT_EQ(window->size(), QSize(597, 389));
    const std::vector<std::pair<const char*, QRect>> places = {
        {"TreeView1", {8, 8, 225, 369}},  {"Image1", {240, 8, 350, 25}},   {"Image5", {485, 8, 104, 101}},
        {"Check1", {256, 48, 13, 14}},    {"Label1", {272, 48, 297, 17}},  {"Check2", {256, 72, 13, 14}},
        {"Label2", {272, 72, 297, 17}},   {"Label3", {272, 88, 313, 17}},  {"Check3", {256, 112, 13, 14}},
        {"Label4", {272, 112, 297, 17}},  {"Label5", {272, 128, 313, 17}}, {"Label10", {256, 160, 321, 17}},
        {"Label11", {256, 176, 321, 17}}, {"Image2", {240, 224, 350, 25}}, {"Label7", {248, 256, 297, 17}},
        {"Label8", {248, 280, 297, 17}},  {"Label9", {248, 304, 297, 17}}, {"Image4", {494, 232, 95, 93}},
        {"Image3", {256, 344, 32, 32}},   {"Label6", {296, 344, 132, 32}}, {"Image6", {440, 344, 32, 32}},
        {"Label12", {480, 352, 108, 24}},
    };
    for (const auto& [name, place] : places) {
        const QWidget* widget = control(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->parentWidget(), window.get()) << name;
        EXPECT_EQ(widget->geometry(), place) << name;
    }
}

TEST_F(View, fontsFollowTheDesign)
{
    EXPECT_EQ(window->font().family(), "Arial");
    EXPECT_DOUBLE_EQ(window->font().pointSizeF(), 8.25);
    EXPECT_TRUE(window->font().bold());
    for (const char* name : {"Label1", "Label10", "Label7", "TreeView1"})
        EXPECT_TRUE(control(name)->font().bold()) << name;
    for (const char* name : {"Label3", "Label5", "Label11"}) {
        EXPECT_FALSE(control(name)->font().bold()) << name;
        EXPECT_DOUBLE_EQ(control(name)->font().pointSizeF(), 8.25) << name;
    }
    for (const char* name : {"Label6", "Label12"}) {
        EXPECT_DOUBLE_EQ(control(name)->font().pointSizeF(), 9.75) << name;
        EXPECT_TRUE(control(name)->font().underline()) << name;
        EXPECT_EQ(control(name)->cursor().shape(), Qt::BitmapCursor) << name;
    }
}

TEST_F(View, showsTheFormsValues)
{
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(control<QLabel>("Label7")->text(), "Scanned:  ?");
    EXPECT_EQ(control<QLabel>("Label11")->text(), QString::fromStdString(at("usb/")));
    EXPECT_EQ(control<QCheckBox>("Check1")->checkState(), Qt::Checked);
    const auto* tree = control<QTreeWidget>("TreeView1");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "My Computer");
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 6);
    EXPECT_EQ(tree->currentItem()->text(0), QString::fromStdString(at("usb/")));
}

TEST_F(View, checkBoxesWriteTheForm)
{
    control<QCheckBox>("Check2")->click();
    EXPECT_EQ(form->Check2, 0);
    control<QCheckBox>("Check2")->click();
    EXPECT_EQ(form->Check2, 1);
}

TEST_F(View, doubleClickShowsTheLoadedFolders)
{
    auto* tree = control<QTreeWidget>("TreeView1");
    QTreeWidgetItem* usb = tree->currentItem();
    emit tree->itemClicked(usb, 0);
    emit tree->itemDoubleClicked(usb, 0);
    ASSERT_EQ(usb->childCount(), 2);
    EXPECT_EQ(usb->child(1)->text(0), "WINDOWS");
    EXPECT_TRUE(usb->isExpanded());
    tree->setCurrentItem(usb->child(1));
    emit tree->itemClicked(usb->child(1), 0);
    EXPECT_EQ(control<QLabel>("Label11")->text(), QString::fromStdString(at("usb/WINDOWS")));
}

TEST_F(View, updateLinkAndIconAnswerALeftClick)
{
    QTest::mouseClick(control("Label12"), Qt::LeftButton);
    QTest::mouseClick(control("Image6"), Qt::LeftButton);
    QTest::mouseClick(control("Label12"), Qt::RightButton);
    EXPECT_EQ(launches.size(), 2u);
}

TEST_F(View, scanWindowIsOwnedTitledAndOnScreenWhileTheMainWindowHides)
{
    tree.file("usb/bad.exe", "x");
    form->Check3 = 0;
    form->Label6_Click();
    const ScanView* scan = window->scanView();
    EXPECT_EQ(scan->parentWidget(), window.get());
    EXPECT_TRUE(scan->isVisible());
    EXPECT_EQ(scan->windowTitle(), QString::fromStdString("Varno Ombrix - Scanning:  " + at("usb/")));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Scan Complete - Problems were found!"});
}

TEST_F(View, closingEndsTheMainWindowForGood)
{
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(form->visible());
    EXPECT_TRUE(form->scanWindow().canceled);
    form->show();
    EXPECT_FALSE(window->isVisible());
}

// Pictures for a person to look at: the main window, and the scan window
// after a scan that found files and left them.
TEST_F(View, screenshots)
{
    const char* folder = std::getenv("OMBRIX_SCREENSHOTS");
    if (!folder)
        GTEST_SKIP() << "set OMBRIX_SCREENSHOTS to a folder to save the windows there";
    EXPECT_TRUE(window->grab().save(QString::fromLocal8Bit(folder) + "/mainwindow.png"));
    tree.file("usb/games/bad.exe", "x");
    tree.file("usb/docs/old/BAD.EXE", "x");
    form->Check3 = 0;
    form->Label6_Click();
    // The scan window catches up with its state on a timer.
    QTest::qWait(200);
    EXPECT_TRUE(window->scanView()->grab().save(QString::fromLocal8Bit(folder) + "/finishedscan.png"));
}

}  // namespace
}  // namespace ombrix
