#include "MainWindowView.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "ElidedLabel.h"
#include "FormCheck.h"
#include "MainForm.h"
#include "ScanView.h"
#include "ShellFixture.h"
#include "ToolTips.h"
#include "Accessibility.h"

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

    // The window active and `name` holding the keyboard focus, as after a click on it.
    void focus(const char* name)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        control(name)->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), control(name));
    }

    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    QString focusName() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    std::unique_ptr<MainWindowView> window;
};

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

TEST_F(View, tabVisitsTheTreeTheOptionsAndBothLinksInTurnAtEveryScale)
{
    focus("TreeView1");
    QStringList visited;
    for (int i = 0; i < 6; ++i) {
        press(Qt::Key_Tab);
        visited << focusName();
    }
    EXPECT_EQ(visited, (QStringList{"Check1", "Check2", "Check3", "Label6", "Label12", "TreeView1"}));
    press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focusName(), "Label12");
}

// What is highlighted is what gets scanned, and the keyboard alone gets there.
TEST_F(View, theKeyboardChoosesLoadsAndScansTheHighlightedEntryAtEveryScale)
{
    tree.file("usb/WINDOWS/bad.exe", "x");
    form->Check3 = 0;
    focus("TreeView1");
    const auto location = [this] { return control<QLabel>("Label11")->text().toStdString(); };

    press(Qt::Key_Home);
    EXPECT_EQ(form->scanloc, "MyComputer");
    EXPECT_EQ(location(), "MyComputer");
    control("Label6")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(user.log, (std::vector<std::string>{"message Please select a drive to scan"}));

    control("TreeView1")->setFocus();
    press(Qt::Key_End);
    EXPECT_EQ(location(), at("usb/"));
    press(Qt::Key_Return);
    auto* usb = control<QTreeWidget>("TreeView1")->currentItem();
    ASSERT_EQ(usb->childCount(), 2) << "Enter loads the subfolders as a double click does";
    press(Qt::Key_Down);
    EXPECT_EQ(location(), at("usb/Program Files"));
    QTest::keyClicks(QApplication::focusWidget(), "W");
    EXPECT_EQ(form->scanloc, at("usb/WINDOWS")) << "typing a name moves the highlight";
    EXPECT_EQ(location(), at("usb/WINDOWS"));

    control("Label6")->setFocus();
    press(Qt::Key_Space);
    const ScanView* scan = window->scanView();
    EXPECT_EQ(scan->windowTitle().toStdString(), "Varno Ombrix - Scanning:  " + at("usb/WINDOWS"));
    EXPECT_EQ(scan->parentWidget(), window.get());
    EXPECT_TRUE(scan->isVisible());
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(form->scanWindow().findings().size(), 1u);
    EXPECT_EQ(form->scanWindow().findings()[0].FullPath, at("usb/WINDOWS/bad.exe"));
}

TEST_F(View, screenReadersSeeNamesRolesAndActionsAndUpdateAnswersThemAtEveryScale)
{
    const auto describe = [this](const char* name) {
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(control(name));
        QStringList actions = item->actionInterface() ? item->actionInterface()->actionNames() : QStringList();
        actions.removeAll(QAccessibleActionInterface::setFocusAction());
        return QStringList{QString::number(item->role()), item->text(QAccessible::Name),
                           item->text(QAccessible::Description), actions.join(',')};
    };
    const auto row = [](QAccessible::Role role, const char* name, const char* description, const QString& actions) {
        return QStringList{QString::number(role), name, description, actions};
    };
    const QString press = QAccessibleActionInterface::pressAction();
    const QString toggle = QAccessibleActionInterface::toggleAction();
    EXPECT_EQ(describe("TreeView1"), row(QAccessible::Tree, "Drives and folders", "", ""));
    EXPECT_EQ(describe("Check3"), row(QAccessible::CheckBox, "Attempt to remove threats.",
                                      "Clear this if you only want us to notify you of threats.", toggle));
    EXPECT_EQ(describe("Label6"), row(QAccessible::Link, "Scan Now for Computer Threats", "", press));
    EXPECT_EQ(describe("Image6"), row(QAccessible::Link, "Check for Updates", "", press));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.get())->text(QAccessible::Name), "Varno Ombrix");

    const auto labels = QAccessible::queryAccessibleInterface(control("Check2"))->relations(QAccessible::Label);
    QStringList labelTexts;
    for (const auto& [label, relation] : labels)
        labelTexts << label->text(QAccessible::Name);
    labelTexts.sort();
    EXPECT_EQ(labelTexts, (QStringList{"Scan all Files", "Scan everything, not just documents."}));

    // The update link and icon answer the screen reader's press and a left click only.
    QAccessible::queryAccessibleInterface(control("Label12"))->actionInterface()->doAction(press);
    for (const char* link : {"Label12", "Image6"})
        QTest::mouseClick(control(link), Qt::LeftButton);
    QTest::mouseClick(control("Label12"), Qt::RightButton);
    EXPECT_EQ(user.log, (std::vector<std::string>(3, "launch /usb/ombrix/update '' 0")));
    // The updater opens its window over this one.
    const QRect frame = window->frameGeometry();
    EXPECT_EQ(std::getenv("OMBRIX_OWNER_BOX"), QStringLiteral("%1,%2,%3,%4")
                                                   .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()));
}

TEST_F(View, controlsFollowTheFormDescriptionAtEveryScale)
{
    test::expectBuiltFrom(*window, kMainForm);
}

TEST_F(View, everythingOnScreenHasANameAtEveryScale)
{
    window->show();
    EXPECT_EQ(test::unnamedAccessibles(window.get()), "");
}

// The option holding the keyboard marks its text, which is where the eye looks.
TEST_F(View, aFocusedOptionMarksItsText)
{
    window->show();
    focus("TreeView1");
    const auto look = [this] { return std::pair(control("Label2")->grab().toImage(), control("Label3")->grab().toImage()); };
    const auto unfocused = look();
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(focusName(), "Check2");
    const auto focused = look();
    EXPECT_NE(focused.first, unfocused.first);
    EXPECT_NE(focused.second, unfocused.second);
    press(Qt::Key_Tab);
    EXPECT_EQ(look(), unfocused);
}

// However deep the folders, each entry shows its whole name; the tree scrolls sideways.
TEST_F(View, deepEntriesKeepTheirNamesAndTheTreeScrollsSideways)
{
    std::string tag = at("usb/");
    auto* tree = control<QTreeWidget>("TreeView1");
    for (int level = 0; level < 9; ++level) {
        const std::string folder = at("usb/") == tag ? tag + "Level 0" : tag + "/Level " + std::to_string(level);
        subfolders[tag] = {folder};
        emit tree->itemDoubleClicked(tree->currentItem(), 0);
        ASSERT_EQ(tree->currentItem()->childCount(), 1) << "level " << level;
        tree->setCurrentItem(tree->currentItem()->child(0));
        tag = folder;
    }
    window->show();
    QTest::qWait(10);
    QTreeWidgetItem* deepest = tree->currentItem();
    ASSERT_EQ(deepest->text(0), "Level 8");
    const QRect place = tree->visualItemRect(deepest);
    EXPECT_GE(place.width(), tree->fontMetrics().horizontalAdvance(deepest->text(0)) + 16);
    EXPECT_GT(tree->horizontalScrollBar()->maximum(), 0);
}

// A click on a box or its text reaches the window's events; the box shows the value kept.
TEST_F(View, clicksOnAnOptionAndItsTextToggleIt)
{
    form->Check3 = 2;
    window->syncFromForm();
    auto* check3 = control<QCheckBox>("Check3");
    EXPECT_EQ(check3->checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(control("Label5"), Qt::LeftButton);
    EXPECT_EQ(check3->checkState(), Qt::Checked);
    QTest::mouseClick(check3, Qt::LeftButton);
    EXPECT_EQ(form->Check3, 0);
    EXPECT_EQ(check3->checkState(), Qt::Unchecked);
}

// Stored values, paths and names are shown as they are, on one line each.
TEST_F(View, labelsShowTextAsItIsAndLongTextsKeepTheirEnds)
{
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->pixmap().isNull()) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        }
    }

    const std::string longName = "A folder whose name is far too long for the tree or the label to show";
    subfolders[at("usb/")] = {at("usb/" + longName)};
    auto* tree = control<QTreeWidget>("TreeView1");
    QTreeWidgetItem* usb = tree->currentItem();
    emit tree->itemDoubleClicked(usb, 0);
    tree->setCurrentItem(usb->child(0));

    const auto* location = control<ElidedLabel>("Label11");
    ASSERT_TRUE(location->isElided());
    EXPECT_TRUE(location->shownText().startsWith(QString::fromStdString(at(""))));
    EXPECT_TRUE(location->shownText().endsWith("to show"));
    EXPECT_EQ(test::toolTipAt(control("Label11"), {5, 5}).toStdString(), at("usb/" + longName));

    EXPECT_GE(tree->visualItemRect(usb->child(0)).width(),
              tree->fontMetrics().horizontalAdvance(QString::fromStdString(longName)));
}

// While a scan whose window was closed winds down, the scan action says why it waits.
TEST_F(View, theScanActionWaitsForAScanThatIsFinishing)
{
    for (const char* folder : {"usb/a/bad.exe", "usb/b/c.txt", "usb/c/d.txt"})
        tree.file(folder, "x");
    form->Check3 = 0;
    form->Label6_Click();
    window->scanView()->close();
    ASSERT_TRUE(window->isVisible());

    QStringList duringTheRun;
    QTimer::singleShot(0, [&] {
        window->scanView()->close();
        for (const char* action : {"Label6", "Image3"})
            duringTheRun << QString::number(control(action)->isEnabled()) + ' ' + control(action)->toolTip();
        duringTheRun << QString::number(window->isVisible());
    });
    QTest::mouseClick(control("Label6"), Qt::LeftButton);
    EXPECT_EQ(duringTheRun, (QStringList{"0 A scan is finishing", "0 A scan is finishing", "1"}));
    EXPECT_TRUE(control("Label6")->isEnabled());
    EXPECT_EQ(control("Label6")->toolTip(), "");
}

}  // namespace
}  // namespace ombrix
