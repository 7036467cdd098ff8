#include "ButtonTest.h"

#include "PropertyBag.h"

#include <QFile>
#include <QImage>
#include <QMetaProperty>
#include <QTemporaryDir>

namespace ombrix::test {
namespace {

using Kind = DrawOp::Kind;

using PropertiesTest = ButtonTest;

QPixmap redPicture()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return QPixmap::fromImage(image);
}

struct SetterCase {
    const char* name;
    std::function<void(VarnoButton&)> set;
    bool repaints;
    bool laysOut;
};

TEST_F(PropertiesTest, everySetterNotifiesAndRepaintsOrLaysOutAsItShould)
{
    const SetterCase cases[] = {
        {"BackColor", [](VarnoButton& b) { b.setBackColor(0x00123456); }, true, false},
        {"ForeColor", [](VarnoButton& b) { b.setForeColor(0x00123456); }, false, false},
        {"Enabled", [](VarnoButton& b) { b.setEnabled(false); }, true, false},
        {"Font", [](VarnoButton& b) { b.setFont(QFont(QStringLiteral("Liberation Serif"), 14)); }, false, false},
        {"Caption", [](VarnoButton& b) { b.setCaption(QStringLiteral("Go")); }, true, false},
        {"BorderStyle", [](VarnoButton& b) { b.setBorderStyle(1); }, true, false},
        {"TextAlign", [](VarnoButton& b) { b.setTextAlign(2); }, true, false},
        {"Behavior", [](VarnoButton& b) { b.setBehavior(1); }, false, false},
        {"Style", [](VarnoButton& b) { b.setStyle(1); }, true, false},
        {"FadetoColor", [](VarnoButton& b) { b.setFadetoColor(0x00FFFFFF); }, true, false},
        {"Picture", [](VarnoButton& b) { b.setPicture(redPicture()); }, true, true},
        {"ShowPicture", [](VarnoButton& b) { b.setShowPicture(true); }, true, true},
        {"HideFocus", [](VarnoButton& b) { b.setHideFocus(true); }, false, false},
        {"ButtonDown", [](VarnoButton& b) { b.setButtonDown(false); }, true, false},
        {"PictureAlign", [](VarnoButton& b) { b.setPictureAlign(0); }, true, true},
    };
    for (const SetterCase& c : cases) {
        newButton();
        // Down without a layout: a layout now moves the picture 20 twips right.
        button->setButtonDown(true);
        const int repaintsBefore = surface->repaints();
        std::vector<QString> notified;
        QObject::connect(button.get(), &VarnoButton::propertyChanged,
                         [&notified](const QString& name) { notified.push_back(name); });

        c.set(*button);

        EXPECT_EQ(notified, std::vector<QString>{QLatin1String(c.name)}) << c.name;
        EXPECT_EQ(surface->repaints() - repaintsBefore, c.repaints ? 1 : 0) << c.name;
        EXPECT_EQ(picture1().Left(), c.laysOut ? 95 : 75) << c.name;
    }
}

TEST_F(PropertiesTest, notifySignalsReachQtBindings)
{
    int changes = 0;
    QObject::connect(button.get(), &VarnoButton::captionChanged, [&changes] { ++changes; });
    ASSERT_TRUE(button->setProperty("Caption", QStringLiteral("Go")));

    EXPECT_EQ(changes, 1);
    EXPECT_EQ(button->property("Caption").toString(), QStringLiteral("Go"));
    const QMetaObject& meta = VarnoButton::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        EXPECT_TRUE(meta.property(i).hasNotifySignal()) << meta.property(i).name();
    EXPECT_EQ(meta.propertyCount() - meta.propertyOffset(), 15);
}

TEST_F(PropertiesTest, switchingToPushLetsAToggledButtonUpWithoutRepaint)
{
    button->setBehavior(1);
    button->setButtonDown(true);
    button->setBehavior(2);
    EXPECT_TRUE(button->ButtonDown());

    const int repaints = surface->repaints();
    button->setBehavior(0);
    EXPECT_FALSE(button->ButtonDown());
    EXPECT_EQ(surface->repaints(), repaints);
}

TEST_F(PropertiesTest, foreColorAndFontShowAtTheNextRepaint)
{
    button->setForeColor(0x000000FF);
    EXPECT_EQ(surface->repaints(), 0);
    button->Refresh();
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).color, 0x000000FFu);
}

using PersistenceTest = ButtonTest;

TEST_F(PersistenceTest, newButtonSavesNothing)
{
    PropertyBag bag;
    button->WriteProperties(bag);
    EXPECT_TRUE(bag.names().isEmpty());

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("button.json"));
    ASSERT_TRUE(bag.save(path));
    const auto loaded = PropertyBag::load(path);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->names().isEmpty());
}

TEST_F(PersistenceTest, everyPropertySurvivesAFile)
{
    const QFont font(QStringLiteral("Liberation Serif"), 13, QFont::Bold);
    button->setBackColor(0x00336699);
    button->setForeColor(0x80000008);
    button->setEnabled(false);
    button->setFont(font);
    button->setCaption(QStringLiteral("Save \"as\"\u00e9"));
    button->setBorderStyle(2);
    button->setTextAlign(1);
    button->setBehavior(1);
    button->setStyle(1);
    button->setFadetoColor(0x00FFFFFF);
    button->setPicture(redPicture());
    button->setShowPicture(true);
    button->setHideFocus(true);
    button->setButtonDown(true);
    button->setPictureAlign(-3);

    PropertyBag bag;
    button->WriteProperties(bag);
    EXPECT_EQ(bag.names().size(), 15);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("button.json"));
    ASSERT_TRUE(bag.save(path));
    const auto loaded = PropertyBag::load(path);
    ASSERT_TRUE(loaded);

    VarnoButton copy(std::make_unique<RecordingSurface>());
    copy.ReadProperties(*loaded);
    const QMetaObject& meta = VarnoButton::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const char* name = meta.property(i).name();
        if (qstrcmp(name, "Picture") != 0) {
            EXPECT_EQ(copy.property(name), button->property(name)) << name;
        }
    }
    EXPECT_EQ(copy.Picture().toImage(), redPicture().toImage());
    EXPECT_EQ(copy.findChild<PictureBox*>()->backColor(), 0x00336699u);  // through the picture step
}

TEST_F(PersistenceTest, emptyStoreGivesANewButton)
{
    VarnoButton loaded(std::make_unique<RecordingSurface>());
    loaded.ReadProperties(PropertyBag());

    PropertyBag bag;
    loaded.WriteProperties(bag);
    EXPECT_TRUE(bag.names().isEmpty());
    EXPECT_EQ(loaded.Caption(), QStringLiteral("VarnoButton"));
}

TEST_F(PersistenceTest, bagReadsDefaultsForWhatItCannotUse)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("button.json"));
    EXPECT_FALSE(PropertyBag::load(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"Caption": 5, "Style": 1})");
    file.close();

    const auto bag = PropertyBag::load(path);
    ASSERT_TRUE(bag);
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Caption"), QStringLiteral("x")).toString(), QStringLiteral("x"));
    EXPECT_EQ(bag->ReadProperty(QStringLiteral("Style"), qint32(0)).toInt(), 1);
}

}  // namespace
}  // namespace ombrix::test
