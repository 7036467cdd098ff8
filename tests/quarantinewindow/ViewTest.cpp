#include <gtest/gtest.h>

#include <functional>

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "Accessibility.h"
#include "Fakes.h"
#include "QuarantineView.h"
#include "Twips.h"

namespace ombrix::test {
namespace {


class View : public ::testing::Test, public QuarantineFixture {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "quarantinewindow-tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    View()
    {
        world.add("a", "/home/u/Downloads/eicar.com", 68, 30);
        world.add("b", "/home/u/Documents/Old/eicar_com.zip", 184, 10, "EICAR-Test-File.Zip");
        view.show();
        view.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
        view.list()->setFocus();
    }

    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    QString focusName() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    QString shown(int row, QuarantineColumn column) const
    {
        return view.list()->model()->index(row, static_cast<int>(column)).data().toString();
    }

    // Does `act` and returns the menu's entries as it popped up ("-" before a
    // greyed one); empty when it did not.
    QStringList menuAfter(const std::function<void()>& act)
    {
        QStringList entries;
        QMenu* menu = view.menu();
        const auto connection = QObject::connect(menu, &QMenu::aboutToShow, [&] {
            for (const QAction* entry : menu->actions())
                entries << (entry->isEnabled() ? "" : "-") + entry->text();
            QTimer::singleShot(0, menu, &QMenu::close);
        });
        act();
        QObject::disconnect(connection);
        // The keyboard comes back from the closed menu.
        view.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] {
            return QApplication::focusWidget() && QApplication::focusWidget()->window() == &view;
        }));
        return entries;
    }

    QuarantineView view{form};
};

// Each control stands where the form says, with the name and role a screen
// reader announces; Tab visits the list and the buttons in the form's order.
TEST_F(View, controlsFollowTheFormDescriptionForPlaceNameRoleAndTabOrder)
{
    EXPECT_EQ(view.windowTitle(), "Ombrix Quarantine");
    EXPECT_EQ(view.size(), QSize(px(kQuarantineForm.clientWidth), px(kQuarantineForm.clientHeight)));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&view);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "Ombrix Quarantine");
    for (std::size_t i = 0; i < kQuarantineControls.size(); ++i) {
        const ControlDescription& want = kQuarantineControls[i];
        QWidget* widget = view.control(static_cast<QuarantineControl>(i));
        SCOPED_TRACE(want.name);
        EXPECT_EQ(widget->objectName(), want.name);
        EXPECT_EQ(widget->geometry(), twipsRect(want.rect.left, want.rect.top, want.rect.width, want.rect.height));
        EXPECT_EQ(widget->font().bold(), want.bold);
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(widget);
        EXPECT_EQ(item->role(), test::qtRole(want.role));
        const QString name = *want.accessibleName ? want.accessibleName : static_cast<QLabel*>(widget)->text();
        EXPECT_FALSE(name.isEmpty());
        EXPECT_EQ(item->text(QAccessible::Name), name);
        if (want.kind == ControlKind::Button) {
            EXPECT_EQ(static_cast<QPushButton*>(widget)->text(), want.text);
        }
    }
    const QHeaderView* header = view.list()->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        EXPECT_EQ(header->model()->headerData(column, Qt::Horizontal).toString(), kQuarantineColumns[column].title);

    press(Qt::Key_Down);
    QStringList visited;
    for (int i = 0; i < 4; ++i) {
        press(Qt::Key_Tab);
        visited << focusName();
    }
    EXPECT_EQ(visited, (QStringList{"Command1", "Command2", "Command3", "ListView1"}));
}

TEST_F(View, showsNewestFirstAndTheSortTheHeadersChoose)
{
    ASSERT_EQ(view.list()->model()->rowCount(), 2);
    EXPECT_EQ(shown(0, QuarantineColumn::Name), "eicar_com.zip");
    EXPECT_EQ(shown(0, QuarantineColumn::Folder), "/home/u/Documents/Old/");
    EXPECT_EQ(shown(1, QuarantineColumn::Date), "2026-12-06 11:30:00");
    EXPECT_EQ(shown(1, QuarantineColumn::Size), "68 bytes");
    EXPECT_EQ(static_cast<QLabel*>(view.control(QuarantineControl::Label1))->text(),
              "2 files in quarantine, 252 bytes.");
    const QHeaderView* header = view.list()->horizontalHeader();
    EXPECT_EQ(header->sortIndicatorSection(), static_cast<int>(QuarantineColumn::Date));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    QTest::mouseClick(view.list()->viewport(), Qt::LeftButton, {}, view.list()->visualRect(view.list()->model()->index(1, 0)).center());
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
    EXPECT_EQ(shown(0, QuarantineColumn::Name), "eicar.com");
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(view.list()->selectionModel()->selectedRows(), QModelIndexList{view.list()->model()->index(0, 0)})
        << "the clicked file stays selected where it went";
}

// The keyboard alone: arrows select, Enter restores, Delete asks, the menu key
// and Shift+F10 open the menu, Esc closes; the list is read again after each action.
TEST_F(View, theKeyboardRestoresDeletesAndOpensTheMenu)
{
    EXPECT_FALSE(view.control(QuarantineControl::Command1)->isEnabled());
    const QStringList entries{"Restore", "Delete", "Open Folder"};
    EXPECT_EQ(menuAfter([] { press(Qt::Key_Menu); }), entries) << "for the row the keyboard is on";
    EXPECT_TRUE(view.control(QuarantineControl::Command1)->isEnabled()) << "that row was selected";
    press(Qt::Key_Down);
    press(Qt::Key_Up);
    EXPECT_EQ(menuAfter([] { press(Qt::Key_F10, Qt::ShiftModifier); }), entries);
    EXPECT_EQ(view.list()->selectionModel()->selectedRows().size(), 1);

    world.confirmations = {false};
    press(Qt::Key_Delete);
    press(Qt::Key_Return);
    EXPECT_EQ(world.log, (Log{"confirm Delete \"eicar_com.zip\" for good? It cannot be restored afterwards.",
                              "restore b"}));
    ASSERT_EQ(view.list()->model()->rowCount(), 1);
    EXPECT_EQ(focusName(), "ListView1");

    // Enter on a focused button presses it.
    press(Qt::Key_Down);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(focusName(), "Command3");
    press(Qt::Key_Return);
    EXPECT_EQ(world.log.back(), "open /home/u/Downloads/");
    world.confirmations = {true};
    press(Qt::Key_Delete);
    EXPECT_EQ(view.list()->model()->rowCount(), 0);
    EXPECT_EQ(static_cast<QLabel*>(view.control(QuarantineControl::Label1))->text(), "The quarantine is empty.");
    EXPECT_FALSE(view.control(QuarantineControl::Command2)->isEnabled());
    EXPECT_EQ(focusName(), "ListView1") << "the keyboard is not lost with the disabled button";
    press(Qt::Key_Escape);
    EXPECT_FALSE(view.isVisible());
}

}  // namespace
}  // namespace ombrix::test
