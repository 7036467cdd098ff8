#include "MainWindowView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include "ScanView.h"
#include "ShellFixture.h"

namespace ombrix {
namespace {

class View : public test::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        // One application for the whole run, never destroyed: Qt's own statics
        // may already be gone when static objects are destroyed at exit.
        static int argc = 1;
        static char name[] = "shell_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
        subfolders[at("usb/")] = {at("usb/Program Files"), at("usb/WINDOWS")};
        makeForm();
        window = std::make_unique<MainWindowView>(*form);
        road = form->Form_Load();
        window->syncFromForm();
    }

    template <typename T = QWidget>
    T* control(const char* name) const
    {
        return window->findChild<T*>(QLatin1String(name));
    }

    std::unique_ptr<MainWindowView> window;
};

// Controls spread over the window: a wrong unit or origin moves them all.
TEST_F(View, controlsSitAndLookAsDesigned)
{
    EXPECT_EQ(window->windowTitle(), "Varno Ombrix");
    EXPECT_EQ(window->size(), QSize(597, 389));
    // name, place, Arial points, bold, underline
    const std::vector<std::tuple<const char*, QRect, double, bool, bool>> designs = {
        {"TreeView1", {8, 8, 225, 369}, 8.25, true, false}, {"Label5", {272, 128, 313, 17}, 8.25, false, false},
        {"Label11", {256, 176, 321, 17}, 8.25, false, false}, {"Label7", {248, 256, 297, 17}, 8.25, true, false},
        {"Label6", {296, 344, 132, 32}, 9.75, false, true},   {"Label12", {480, 352, 108, 24}, 9.75, false, true},
    };
    for (const auto& [name, place, points, bold, underline] : designs) {
        const QWidget* widget = control(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->geometry(), place) << name;
        const QFont font = widget->font();
        EXPECT_EQ(std::tuple(font.family(), font.pointSizeF(), font.bold(), font.underline()),
                  std::tuple(QString("Arial"), points, bold, underline))
            << name;
    }
    for (const char* link : {"Label6", "Label12"})
        EXPECT_EQ(control(link)->cursor().shape(), Qt::BitmapCursor) << link;
}

TEST_F(View, controlsShowTheFormAndWriteTheirValuesBack)
{
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(control<QLabel>("Label7")->text(), "Scanned:  ?");
    EXPECT_EQ(control<QLabel>("Label11")->text(), QString::fromStdString(at("usb/")));
    EXPECT_EQ(control<QCheckBox>("Check1")->checkState(), Qt::Checked);
    auto* tree = control<QTreeWidget>("TreeView1");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "My Computer");
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 6);
    QTest::mouseClick(control("Check2"), Qt::LeftButton);
    EXPECT_EQ((std::vector<int>{form->Check1, form->Check2, form->Check3}), (std::vector<int>{1, 0, 1}));

    // The program's drive is the current entry; a double click shows its folders.
    QTreeWidgetItem* usb = tree->currentItem();
    EXPECT_EQ(usb->text(0), QString::fromStdString(at("usb/")));
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
    EXPECT_EQ(user.log.size(), 2u);
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
}

TEST_F(View, closingEndsTheMainWindowForGood)
{
    window->close();
    EXPECT_TRUE(form->scanWindow().canceled);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(form->visible());
    // Neither the scan window's next unload nor a show brings it back.
    form->scanWindow().Form_Unload();
    form->show();
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace ombrix
