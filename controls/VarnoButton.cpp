#include "VarnoButton.h"

#include "ImageSurface.h"
#include "PictureBox.h"

#include <QApplication>
#include <QScopedValueRollback>

namespace ombrix {

namespace {

const QString kDefaultCaption = QStringLiteral("VarnoButton");

}  // namespace

VarnoButton::VarnoButton(QWidget* parent)
    : VarnoButton(nullptr, parent)
{
}

VarnoButton::VarnoButton(std::unique_ptr<PaintSurface> surface, QWidget* parent)
    : QWidget(parent)
    , surface_(std::move(surface))
{
    if (!surface_) {
        auto own = std::make_unique<ImageSurface>(*this);
        image_ = own.get();
        surface_ = std::move(own);
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    picture1_ = new PictureBox(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->hide();
    picture1_->installEventFilter(this);
}

VarnoButton::~VarnoButton() = default;

quint32 VarnoButton::BackColor() const
{
    return surface_->backColor();
}

void VarnoButton::setBackColor(quint32 color)
{
    surface_->setBackColor(color);
    picture1_->setBackColor(color);
    notify(QStringLiteral("BackColor"), &VarnoButton::backColorChanged);
    UserControl_Paint();
}

quint32 VarnoButton::ForeColor() const
{
    return surface_->textColor();
}

void VarnoButton::setForeColor(quint32 color)
{
    surface_->setTextColor(color);
    notify(QStringLiteral("ForeColor"), &VarnoButton::foreColorChanged);
}

bool VarnoButton::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void VarnoButton::setEnabled(bool enabled)
{
    {
        const QScopedValueRollback quiet(quietChange_, true);
        QWidget::setEnabled(enabled);
    }
    reportedEnabled_ = enabled;
    notify(QStringLiteral("Enabled"), &VarnoButton::enabledChanged);
    UserControl_Paint();
}

QFont VarnoButton::Font() const
{
    return font();
}

void VarnoButton::setFont(const QFont& font)
{
    {
        const QScopedValueRollback quiet(quietChange_, true);
        QWidget::setFont(font);
    }
    notify(QStringLiteral("Font"), &VarnoButton::fontChanged);
}

void VarnoButton::Refresh()
{
    UserControl_Paint();
}

QString VarnoButton::Caption() const
{
    return caption_;
}

void VarnoButton::setCaption(const QString& caption)
{
    caption_ = caption;
    notify(QStringLiteral("Caption"), &VarnoButton::captionChanged);
    UserControl_Paint();
}

qint32 VarnoButton::BorderStyle() const
{
    return borderStyle_;
}

void VarnoButton::setBorderStyle(qint32 borderStyle)
{
    borderStyle_ = borderStyle;
    notify(QStringLiteral("BorderStyle"), &VarnoButton::borderStyleChanged);
    UserControl_Paint();
}

qint32 VarnoButton::TextAlign() const
{
    return textAlign_;
}

void VarnoButton::setTextAlign(qint32 textAlign)
{
    textAlign_ = textAlign;
    notify(QStringLiteral("TextAlign"), &VarnoButton::textAlignChanged);
    UserControl_Paint();
}

qint32 VarnoButton::Behavior() const
{
    return behavior_;
}

void VarnoButton::setBehavior(qint32 behavior)
{
    behavior_ = behavior;
    // Only an explicit switch to push lets a toggled button up; the face shows
    // it at the next repaint.
    if (behavior == 0)
        putButtonDown(false);
    notify(QStringLiteral("Behavior"), &VarnoButton::behaviorChanged);
}

qint32 VarnoButton::Style() const
{
    return style_;
}

void VarnoButton::setStyle(qint32 style)
{
    style_ = style;
    notify(QStringLiteral("Style"), &VarnoButton::styleChanged);
    UserControl_Paint();
}

quint32 VarnoButton::FadetoColor() const
{
    return fadetoColor_;
}

void VarnoButton::setFadetoColor(quint32 color)
{
    fadetoColor_ = color;
    notify(QStringLiteral("FadetoColor"), &VarnoButton::fadetoColorChanged);
    UserControl_Paint();
}

QPixmap VarnoButton::Picture() const
{
    return picture1_->picture();
}

void VarnoButton::setPicture(const QPixmap& picture)
{
    picture1_->setPicture(picture);
    picture1_->setBackColor(surface_->backColor());
    notify(QStringLiteral("Picture"), &VarnoButton::pictureChanged);
    UserControl_Resize();
    UserControl_Paint();
}

bool VarnoButton::ShowPicture() const
{
    return showPicture_;
}

void VarnoButton::setShowPicture(bool show)
{
    showPicture_ = show;
    picture1_->setVisible(show);
    notify(QStringLiteral("ShowPicture"), &VarnoButton::showPictureChanged);
    UserControl_Resize();
    UserControl_Paint();
}

bool VarnoButton::HideFocus() const
{
    return hideFocus_;
}

void VarnoButton::setHideFocus(bool hide)
{
    hideFocus_ = hide;
    notify(QStringLiteral("HideFocus"), &VarnoButton::hideFocusChanged);
}

bool VarnoButton::ButtonDown() const
{
    return buttonDown_;
}

void VarnoButton::setButtonDown(bool down)
{
    buttonDown_ = down;
    notify(QStringLiteral("ButtonDown"), &VarnoButton::buttonDownChanged);
    // No layout: a change made by the program does not shift the content.
    UserControl_Paint();
}

qint32 VarnoButton::PictureAlign() const
{
    return pictureAlign_;
}

void VarnoButton::setPictureAlign(qint32 pictureAlign)
{
    pictureAlign_ = pictureAlign;
    notify(QStringLiteral("PictureAlign"), &VarnoButton::pictureAlignChanged);
    UserControl_Resize();
    UserControl_Paint();
}

void VarnoButton::InitProperties()
{
    const QScopedValueRollback quiet(quietChange_, true);
    QWidget::setFont(ambientFont());
    caption_ = kDefaultCaption;
    borderStyle_ = 0;
    textAlign_ = 0;
    behavior_ = 0;
    style_ = 0;
    fadetoColor_ = 0;
    pictureAlign_ = 0;
    showPicture_ = false;
    hideFocus_ = false;
    buttonDown_ = false;
}

void VarnoButton::ReadProperties(const PropertyStore& store)
{
    const auto readInt = [&store](const char* name) {
        return store.ReadProperty(QLatin1String(name), qint32(0)).value<qint32>();
    };
    const auto readBool = [&store](const char* name) {
        return store.ReadProperty(QLatin1String(name), false).toBool();
    };
    const QScopedValueRollback quiet(quietChange_, true);

    // Picture1 takes the background colour from the Picture step below.
    surface_->setBackColor(store.ReadProperty(QStringLiteral("BackColor"), SystemColor::ButtonFace).value<quint32>());
    surface_->setTextColor(store.ReadProperty(QStringLiteral("ForeColor"), SystemColor::ButtonText).value<quint32>());
    QWidget::setEnabled(store.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    reportedEnabled_ = Enabled();
    QWidget::setFont(store.ReadProperty(QStringLiteral("Font"), ambientFont()).value<QFont>());
    caption_ = store.ReadProperty(QStringLiteral("Caption"), kDefaultCaption).toString();
    borderStyle_ = readInt("BorderStyle");
    textAlign_ = readInt("TextAlign");
    behavior_ = readInt("Behavior");
    style_ = readInt("Style");
    fadetoColor_ = store.ReadProperty(QStringLiteral("FadetoColor"), quint32(0)).value<quint32>();
    setPicture(store.ReadProperty(QStringLiteral("Picture"), QPixmap()).value<QPixmap>());
    showPicture_ = readBool("ShowPicture");
    hideFocus_ = readBool("HideFocus");
    buttonDown_ = readBool("ButtonDown");
    pictureAlign_ = readInt("PictureAlign");
}

void VarnoButton::WriteProperties(PropertyStore& store) const
{
    const auto writeInt = [&store](const char* name, qint32 value) {
        store.WriteProperty(QLatin1String(name), value, qint32(0));
    };
    const auto writeBool = [&store](const char* name, bool value) {
        store.WriteProperty(QLatin1String(name), value, false);
    };

    store.WriteProperty(QStringLiteral("BackColor"), BackColor(), SystemColor::ButtonFace);
    store.WriteProperty(QStringLiteral("ForeColor"), ForeColor(), SystemColor::ButtonText);
    store.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    store.WriteProperty(QStringLiteral("Font"), Font(), ambientFont());
    store.WriteProperty(QStringLiteral("Caption"), caption_, kDefaultCaption);
    writeInt("BorderStyle", borderStyle_);
    writeInt("TextAlign", textAlign_);
    writeInt("Behavior", behavior_);
    writeInt("Style", style_);
    store.WriteProperty(QStringLiteral("FadetoColor"), fadetoColor_, quint32(0));
    store.WriteProperty(QStringLiteral("Picture"), Picture(), QPixmap());
    writeBool("ShowPicture", showPicture_);
    writeBool("HideFocus", hideFocus_);
    writeBool("ButtonDown", buttonDown_);
    writeInt("PictureAlign", pictureAlign_);
}

void VarnoButton::setEventHandler(VarnoButtonEvents* handler)
{
    events_ = handler;
}

QSize VarnoButton::sizeHint() const
{
    const QSize text = fontMetrics().size(0, caption_);
    return QSize(text.width() + 24, text.height() + 12).expandedTo(QSize(75, 23));
}

void VarnoButton::notify(const QString& name, ChangeSignal changed)
{
    emit(this->*changed)();
    emit propertyChanged(name);
}

void VarnoButton::putButtonDown(bool down)
{
    if (buttonDown_ == down)
        return;
    buttonDown_ = down;
    emit buttonDownChanged();
}

// Qt's setEnabled() and setFont() reach the button here when called through a
// QWidget pointer, and so does a parent that is disabled or changes its font.
void VarnoButton::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (quietChange_)
            break;
        if (Enabled() != reportedEnabled_) {
            reportedEnabled_ = Enabled();
            notify(QStringLiteral("Enabled"), &VarnoButton::enabledChanged);
        }
        UserControl_Paint();
        break;
    case QEvent::FontChange:
        if (!quietChange_)
            notify(QStringLiteral("Font"), &VarnoButton::fontChanged);
        break;
    case QEvent::PaletteChange:
        // System colours are resolved while drawing.
        UserControl_Paint();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

QFont VarnoButton::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

float VarnoButton::W() const
{
    return float(width()) * kTwipsPerPixel;
}

float VarnoButton::H() const
{
    return float(height()) * kTwipsPerPixel;
}

}  // namespace ombrix
