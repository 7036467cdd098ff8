#include "ButtonTest.h"

#include "PropertyBag.h"

#include <QFile>
#include <QImage>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <array>

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
    const QString path = folder.filePath(QStringLiteral("button.json"));
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

TEST_F(PropertiesTest, everySetterNotifiesWithTheNewValueAndRepaintsOrLaysOutAsItShould)
{
    const SetterCase cases[] = {
        {"BackColor", 0x00123456u, true, false},
        {"ForeColor", 0x00123456u, false, false},
        {"Enabled", false, true, false},
        {"Font", QFont(QStringLiteral("Liberation Serif"), 14), false, false},
        {"Caption", QStringLiteral("Go"), true, false},
        {"BorderStyle", 1, true, false},
        {"TextAlign", 2, true, false},
        {"Behavior", 1, false, false},
        {"Style", 1, true, false},
        {"FadetoColor", 0x00FFFFFFu, true, false},
        {"Picture", redPicture(), true, true},
        {"ShowPicture", true, true, true},
        {"HideFocus", true, false, false},
        {"ButtonDown", false, true, false},
        {"PictureAlign", 0, true, true},
    };
    const QMetaObject& meta = VarnoButton::staticMetaObject;
    ASSERT_EQ(meta.propertyCount() - meta.propertyOffset(), int(std::size(cases)));
    for (const SetterCase& c : cases) {
        newButton();
        // Down without a layout: a layout now moves the picture 20 twips right.
        button->setButtonDown(true);
        const int repaints = surface->repaints();
        QSignalSpy qtNotify(button, meta.property(meta.indexOfProperty(c.name)).notifySignal());
        std::vector<QString> notified;
        QObject::connect(button, &VarnoButton::propertyChanged, [&](const QString& name) {
            notified.push_back(name);
            EXPECT_TRUE(same(button->property(c.name), c.value)) << c.name << " notified before it changed";
        });

        ASSERT_TRUE(button->setProperty(c.name, c.value)) << c.name;

        EXPECT_EQ(notified, std::vector<QString>{QLatin1String(c.name)}) << c.name;
        EXPECT_EQ(qtNotify.count(), 1) << c.name;
        EXPECT_EQ(surface->repaints() - repaints, c.repaints ? 1 : 0) << c.name;
        EXPECT_EQ(picture1().Left(), c.laysOut ? 95 : 75) << c.name;
    }
    newButton();
    button->setBackColor(0x00ABCDEF);
    EXPECT_EQ(picture1().backColor(), 0x00ABCDEFu);
}

TEST_F(PropertiesTest, buttonDownTellsQtOfEveryChangeAndTheHolderOnlyOfItsSetter)
{
    QSignalSpy changes(button, &VarnoButton::buttonDownChanged);
    QSignalSpy notified(button, &VarnoButton::propertyChanged);
    button->setBehavior(1);
    tap(Qt::Key_Space, QStringLiteral(" "));
    EXPECT_TRUE(button->ButtonDown());
    mouse(QEvent::MouseButtonPress, {1, 1});
    mouse(QEvent::MouseButtonRelease, {1, 1});
    EXPECT_FALSE(button->ButtonDown());
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(notified.count(), 1);  // Behavior

    button->setButtonDown(true);
    button->setBehavior(2);
    EXPECT_TRUE(button->ButtonDown());
    const int repaints = surface->repaints();
    button->setBehavior(0);  // lets the button up, to be seen at the next repaint
    EXPECT_FALSE(button->ButtonDown());
    EXPECT_EQ(surface->repaints(), repaints);
    EXPECT_EQ(changes.count(), 4);
    EXPECT_EQ(notified.count(), 4);  // Behavior, ButtonDown, Behavior, Behavior
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
    const auto captionColor = [this] { return surface->caption().color; };

    static_cast<QWidget*>(button)->setEnabled(false);
    EXPECT_FALSE(button->Enabled());
    EXPECT_EQ(captionColor(), SystemColor::GrayText);
    button->setProperty("enabled", true);
    EXPECT_EQ(captionColor(), 0x000000FFu);
    window.setEnabled(false);
    EXPECT_EQ(captionColor(), SystemColor::GrayText);
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->ForeColor(), 0x000000FFu);
    static_cast<QWidget*>(button)->setFont(QFont(QStringLiteral("Liberation Mono"), 9));
    EXPECT_EQ(notified, (std::vector<QString>{QStringLiteral("Enabled"), QStringLiteral("Enabled"), QStringLiteral("Font")}));

    window.setEnabled(true);
    button->setFont(serif);
    PropertyBag bag;
    button->WriteProperties(bag);
    EXPECT_EQ(bag.names(), QStringList{QStringLiteral("ForeColor")});  // the window's font is the default
}

using PersistenceTest = ButtonTest;

TEST_F(PersistenceTest, newButtonSavesNothingAndAnEmptyStoreGivesANewButton)
{
    PropertyBag bag;
    reloaded(*button)->WriteProperties(bag);
    EXPECT_TRUE(bag.names().isEmpty());
}

// No two properties share a value, and each pair of Booleans differs in one
// of the two rounds, so a value saved or read under another name shows.
TEST_F(PersistenceTest, everyPropertySurvivesAFileUnderItsOwnName)
{
    struct Booleans {
        bool enabled, showPicture, hideFocus, buttonDown;
    };
    for (const Booleans& b : {Booleans{false, true, false, true}, Booleans{false, true, true, false}}) {
        newButton();
        button->setBackColor(0x00336699);
        button->setForeColor(0x80000008);
        button->setEnabled(b.enabled);
        button->setFont(QFont(QStringLiteral("Liberation Serif"), 13, QFont::Bold));
        button->setCaption(QStringLiteral("Save \"as\"\u00e9"));
        button->setBorderStyle(2);
        button->setTextAlign(1);
        button->setBehavior(4);
        button->setStyle(7);
        button->setFadetoColor(0x00FFFFFF);
        button->setPicture(redPicture());
        button->setShowPicture(b.showPicture);
        button->setHideFocus(b.hideFocus);
        button->setButtonDown(b.buttonDown);
        button->setPictureAlign(-3);

        const auto copy = reloaded(*button);
        const QMetaObject& meta = VarnoButton::staticMetaObject;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
            const char* name = meta.property(i).name();
            EXPECT_TRUE(same(copy->property(name), button->property(name))) << name;
        }
        EXPECT_EQ(copy->findChild<PictureBox*>()->backColor(), 0x00336699u);  // through the picture step
    }
}

TEST_F(PersistenceTest, bagReadsDefaultsForWhatItCannotUse)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("button.json")));
    EXPECT_FALSE(PropertyBag::load(file.fileName()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(R"({"Caption": 5, "Style": 1})") > 0);
    file.close();

    const auto bag = PropertyBag::load(file.fileName());
    ASSERT_TRUE(bag);
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Caption"), QStringLiteral("x")).toString(), QStringLiteral("x"));
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Style"), qint32(0)).toInt(), 1);
}

}  // namespace
}  // namespace ombrix::test
