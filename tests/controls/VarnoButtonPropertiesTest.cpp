#include "ButtonTest.h"

#include <VarnoButton/PropertyBag.h>

#include <QFile>
#include <QImage>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace ombrix::test {
namespace {

using PropertiesTest = ButtonTest;

QPixmap redPicture()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return QPixmap::fromImage(image);
}

bool same(const QVariant& a, const QVariant& b)
{
    if (a.typeId() == QMetaType::QPixmap)
        return a.value<QPixmap>().toImage() == b.value<QPixmap>().toImage();
    return a == b;
}

// A copy of what button saved, read back through a file. Of the loaded
// values only the picture is notified.
std::unique_ptr<VarnoButton> reloaded(const VarnoButton& button)
{
    PropertyBag bag;
    button.WriteProperties(bag);
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("button.ini")).toStdString();
    EXPECT_TRUE(bag.save(path));
    auto copy = std::make_unique<VarnoButton>(std::make_unique<RecordingSurface>());
    QSignalSpy notified(copy.get(), &VarnoButton::propertyChanged);
    copy->ReadProperties(PropertyBag::load(path).value_or(PropertyBag()));
    EXPECT_EQ(notified, QList<QVariantList>{{QStringLiteral("Picture")}});
    return copy;
}

struct SetterCase {
    const char* name;
    QVariant value;
    bool repaints;
    bool laysOut;
};

// A value for every property, each distinct and, but for PictureAlign, other
// than its default.
std::vector<SetterCase> setters()
{
    return {
        {"BackColor", 0x00336699u, true, false},
        {"ForeColor", 0x80000008u, false, false},
        {"Enabled", false, true, false},
        {"Font", QFont(QStringLiteral("Liberation Serif"), 13, QFont::Bold), false, false},
        {"Caption", QStringLiteral("Save \"as\"\u00e9"), true, false},
        {"BorderStyle", 2, true, false},
        {"TextAlign", 5, true, false},
        {"Behavior", 1, false, false},
        {"Style", 7, true, false},
        {"FadetoColor", 0x00FFFFFFu, true, false},
        {"Picture", redPicture(), true, true},
        {"ShowPicture", true, true, true},
        {"HideFocus", true, false, false},
        {"ButtonDown", false, true, false},
        {"PictureAlign", 0, true, true},
    };
}

TEST_F(PropertiesTest, everySetterNotifiesWithTheNewValueAndRepaintsOrLaysOutAsItShould)
{
    const std::vector<SetterCase> cases = setters();
    const QMetaObject& meta = VarnoButton::staticMetaObject;
    ASSERT_EQ(meta.propertyCount() - meta.propertyOffset(), int(cases.size()) + 1);  // and Qt's "text"
    for (const SetterCase& c : cases) {
        newButton();
        // Down without a layout: a layout now moves the picture 20 twips right.
        button->setButtonDown(true);
        std::vector<float> paintedWith;  // the picture's left edge at each repaint
        surface->onClear = [&] { paintedWith.push_back(picture1().Left()); };
        QSignalSpy qtNotify(button, meta.property(meta.indexOfProperty(c.name)).notifySignal());
        std::vector<QString> notified;
        QObject::connect(button, &VarnoButton::propertyChanged, [&](const QString& name) {
            notified.push_back(name);
            EXPECT_TRUE(same(button->property(c.name), c.value)) << c.name << " notified before it changed";
        });

        ASSERT_TRUE(button->setProperty(c.name, c.value)) << c.name;

        EXPECT_EQ(notified, std::vector<QString>{QLatin1String(c.name)}) << c.name;
        EXPECT_EQ(qtNotify.count(), 1) << c.name;
        const float left = c.laysOut ? 95 : 75;
        EXPECT_EQ(picture1().Left(), left) << c.name;
        EXPECT_EQ(paintedWith, c.repaints ? std::vector{left} : std::vector<float>{}) << c.name;
        EXPECT_EQ(picture1().backColor(), button->BackColor()) << c.name;
    }
}

TEST_F(PropertiesTest, buttonDownTellsQtOfEveryChangeAndTheHolderOnlyOfItsSetter)
{
    button->setBehavior(1);
    QSignalSpy changes(button, &VarnoButton::buttonDownChanged);
    QSignalSpy notified(button, &VarnoButton::propertyChanged);
    tap(Qt::Key_Space, QStringLiteral(" "));
    mouse(QEvent::MouseButtonPress, {1, 1});
    mouse(QEvent::MouseButtonRelease, {1, 1});
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(notified.count(), 0);

    button->setButtonDown(true);
    journal.clear();
    button->setBehavior(0);  // lets the button up, to be seen at the next repaint
    EXPECT_FALSE(button->ButtonDown());
    EXPECT_EQ(journal, Journal{});
    EXPECT_EQ(changes.count(), 4);
}

// The holding window's enabled state and font reach the button as Qt passes
// them to any child; Qt's own setters act as the properties'.
TEST_F(PropertiesTest, qtEnabledStateAndFontAreEnabledAndFont)
{
    const QFont serif(QStringLiteral("Liberation Serif"), 15);
    window.setFont(serif);
    EXPECT_EQ(button->Font(), serif);
    button->setForeColor(0x000000FF);
    std::vector<QString> notified;
    QObject::connect(button, &VarnoButton::propertyChanged, [&notified](const QString& name) { notified.push_back(name); });

    static_cast<QWidget*>(button)->setEnabled(false);
    EXPECT_FALSE(button->Enabled());
    button->setProperty("enabled", true);
    window.setEnabled(false);  // grey, but Enabled stays the button's own
    EXPECT_EQ(surface->caption().color, SystemColor::GrayText);
    EXPECT_TRUE(button->Enabled());
    static_cast<QWidget*>(button)->setFont(QFont(QStringLiteral("Liberation Mono"), 9));
    EXPECT_EQ(notified, (std::vector<QString>{QStringLiteral("Enabled"), QStringLiteral("Enabled"), QStringLiteral("Font")}));

    button->setFont(serif);
    PropertyBag bag;
    button->WriteProperties(bag);
    EXPECT_EQ(bag.names(), std::vector<std::string>{"ForeColor"});  // the window's font is the default
}

using PersistenceTest = ButtonTest;

// The second round sets ShowPicture and ButtonDown the other way, so each
// pair of Booleans differs in one of the two rounds and a value saved or read
// under another name shows.
TEST_F(PersistenceTest, everyPropertySurvivesAFileUnderItsOwnName)
{
    for (const bool second : {false, true}) {
        newButton();
        for (const SetterCase& c : setters())
            button->setProperty(c.name, c.value);
        button->setShowPicture(!second);
        button->setButtonDown(second);
        button->setPictureAlign(-3);
        const auto copy = reloaded(*button);
        const QMetaObject& meta = VarnoButton::staticMetaObject;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
            const char* name = meta.property(i).name();
            EXPECT_TRUE(same(copy->property(name), button->property(name))) << name;
        }
        EXPECT_EQ(copy->findChild<PictureBox*>()->backColor(), 0x00336699u);  // through the picture step
    }
    newButton();
    PropertyBag bag;
    reloaded(*button)->WriteProperties(bag);
    EXPECT_TRUE(bag.names().empty());  // a new button saves nothing
}

TEST_F(PersistenceTest, bagReadsDefaultsForWhatItCannotUse)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("button.ini")));
    EXPECT_FALSE(PropertyBag::load(file.fileName().toStdString()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("Caption = 5\nStyle = 1\nnonsense\nFont = Font(\"x\")\n") > 0 && file.flush());
    const auto bag = PropertyBag::load(file.fileName().toStdString());
    ASSERT_TRUE(bag);
    EXPECT_EQ(bag->ReadProperty("Caption", std::string("x")), PropertyValue(std::string("x")));
    EXPECT_EQ(bag->ReadProperty("Style", int32_t(0)), PropertyValue(int32_t(1)));
    EXPECT_EQ(bag->ReadProperty("Font", FontChoice{"y"}), PropertyValue(FontChoice{"y"}));
}

}  // namespace
}  // namespace ombrix::test
