#include "VarnoButton/VarnoButton.h"

#include "VarnoButton/Conversions.h"
#include "VarnoButton/ImageSurface.h"
#include "VarnoButton/PictureBox.h"
#include "VarnoButton/VarnoButtonAccessible.h"

#include <VarnoButton/Twips.h>
#include <VarnoButton/VarnoButtonCore.h>

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <QScopedValueRollback>

#include <unordered_map>

namespace ombrix {

// The widget as the core sees it: its size, enabled state and font, and the
// signals the core's events and notifications become.
class VarnoButton::Host final : public ControlHost {
public:
    explicit Host(VarnoButton& button)
        : button_(button)
    {
    }

    float ScaleWidth() const override { return float(button_.width()) * kTwipsPerPixel; }
    float ScaleHeight() const override { return float(button_.height()) * kTwipsPerPixel; }
    bool Enabled() const override { return !button_.testAttribute(Qt::WA_ForceDisabled); }
    void setEnabled(bool enabled) override
    {
        {
            const QScopedValueRollback quiet(button_.quietChange_, true);
            button_.QWidget::setEnabled(enabled);
        }
        button_.reportedEnabled_ = enabled;
    }
    bool takesInput() const override { return button_.isEnabled(); }
    FontChoice font() const override { return toFontChoice(button_.font()); }
    void setFont(const FontChoice& font) override
    {
        const QScopedValueRollback quiet(button_.quietChange_, true);
        // The holder's own font is inherited, so that it follows the holder.
        button_.QWidget::setFont(font == ambientFont() ? QFont() : toQFont(font));
    }
    FontChoice ambientFont() const override { return toFontChoice(button_.ambientFont()); }
    void PropertyChanged(const std::string& name) override
    {
        const QString property = QString::fromStdString(name);
        button_.emitChanged(property);
        emit button_.propertyChanged(property);
    }
    void buttonDownChanged() override { button_.reportButtonDown(); }
    void present() override { button_.update(); }

    void Click() override { emit button_.clicked(); }
    void DblClick() override { emit button_.dblClicked(); }
    void KeyDown(int16_t& keyCode, int16_t& shift) override { emit button_.keyDown(keyCode, shift); }
    void KeyPress(int16_t& keyAscii) override { emit button_.keyPress(keyAscii); }
    void KeyUp(int16_t& keyCode, int16_t& shift) override { emit button_.keyUp(keyCode, shift); }
    void MouseDown(int16_t& b, int16_t& shift, float& x, float& y) override { emit button_.mouseDown(b, shift, x, y); }
    void MouseMove(int16_t& b, int16_t& shift, float& x, float& y) override { emit button_.mouseMove(b, shift, x, y); }
    void MouseUp(int16_t& b, int16_t& shift, float& x, float& y) override { emit button_.mouseUp(b, shift, x, y); }

private:
    VarnoButton& button_;
};

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
    VarnoButtonAccessible::install();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    picture1_ = new PictureBox(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->hide();
    picture1_->installEventFilter(this);

    host_ = std::make_unique<Host>(*this);
    core_ = std::make_unique<VarnoButtonCore>(*host_, *surface_, *picture1_);
    updateMnemonic();
}

VarnoButton::~VarnoButton() = default;

quint32 VarnoButton::BackColor() const { return core_->BackColor(); }
void VarnoButton::setBackColor(quint32 color) { core_->setBackColor(color); }
quint32 VarnoButton::ForeColor() const { return core_->ForeColor(); }
void VarnoButton::setForeColor(quint32 color) { core_->setForeColor(color); }
bool VarnoButton::Enabled() const { return core_->Enabled(); }
void VarnoButton::setEnabled(bool enabled) { core_->setEnabled(enabled); }
QFont VarnoButton::Font() const { return font(); }

void VarnoButton::setFont(const QFont& font)
{
    {
        const QScopedValueRollback quiet(quietChange_, true);
        QWidget::setFont(font);
    }
    // Through the core for its notification; the widget keeps the whole QFont.
    host_->PropertyChanged("Font");
}

void VarnoButton::Refresh() { core_->Refresh(); }
QString VarnoButton::Caption() const { return fromUtf8(core_->Caption()); }

void VarnoButton::setCaption(const QString& caption)
{
    core_->setCaption(toUtf8(caption));
    updateMnemonic();
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

qint32 VarnoButton::BorderStyle() const { return core_->BorderStyle(); }
void VarnoButton::setBorderStyle(qint32 borderStyle) { core_->setBorderStyle(borderStyle); }
qint32 VarnoButton::TextAlign() const { return core_->TextAlign(); }
void VarnoButton::setTextAlign(qint32 textAlign) { core_->setTextAlign(textAlign); }
qint32 VarnoButton::Behavior() const { return core_->Behavior(); }
void VarnoButton::setBehavior(qint32 behavior) { core_->setBehavior(behavior); }
qint32 VarnoButton::Style() const { return core_->Style(); }
void VarnoButton::setStyle(qint32 style) { core_->setStyle(style); }
quint32 VarnoButton::FadetoColor() const { return core_->FadetoColor(); }
void VarnoButton::setFadetoColor(quint32 color) { core_->setFadetoColor(color); }
QPixmap VarnoButton::Picture() const { return picture1_->pixmap(); }
void VarnoButton::setPicture(const QPixmap& picture) { core_->setPicture(toPictureData(picture)); }
bool VarnoButton::ShowPicture() const { return core_->ShowPicture(); }
void VarnoButton::setShowPicture(bool show) { core_->setShowPicture(show); }
bool VarnoButton::HideFocus() const { return core_->HideFocus(); }
void VarnoButton::setHideFocus(bool hide) { core_->setHideFocus(hide); }
bool VarnoButton::ButtonDown() const { return core_->ButtonDown(); }
void VarnoButton::setButtonDown(bool down) { core_->setButtonDown(down); }
qint32 VarnoButton::PictureAlign() const { return core_->PictureAlign(); }
void VarnoButton::setPictureAlign(qint32 pictureAlign) { core_->setPictureAlign(pictureAlign); }

void VarnoButton::InitProperties()
{
    core_->InitProperties();
    updateMnemonic();
}

void VarnoButton::ReadProperties(const PropertyStore& store)
{
    core_->ReadProperties(store);
    reportedDown_ = core_->ButtonDown();
    updateMnemonic();
}

void VarnoButton::WriteProperties(PropertyStore& store) const
{
    core_->WriteProperties(store);
}

void VarnoButton::setEventHandler(VarnoButtonEvents* handler)
{
    core_->setEventHandler(handler);
}

QSize VarnoButton::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, Caption());
    return QSize(text.width() + 24, text.height() + 12).expandedTo(QSize(75, 23));
}

void VarnoButton::emitChanged(const QString& name)
{
    using ChangeSignal = void (VarnoButton::*)();
    static const std::unordered_map<std::string, ChangeSignal> signalOf{
        {"BackColor", &VarnoButton::backColorChanged},     {"ForeColor", &VarnoButton::foreColorChanged},
        {"Enabled", &VarnoButton::enabledChanged},         {"Font", &VarnoButton::fontChanged},
        {"Caption", &VarnoButton::captionChanged},         {"BorderStyle", &VarnoButton::borderStyleChanged},
        {"TextAlign", &VarnoButton::textAlignChanged},     {"Behavior", &VarnoButton::behaviorChanged},
        {"Style", &VarnoButton::styleChanged},             {"FadetoColor", &VarnoButton::fadetoColorChanged},
        {"Picture", &VarnoButton::pictureChanged},         {"ShowPicture", &VarnoButton::showPictureChanged},
        {"HideFocus", &VarnoButton::hideFocusChanged},     {"PictureAlign", &VarnoButton::pictureAlignChanged},
    };
    // The setter's notification also when the value stays.
    if (name == QLatin1String("ButtonDown")) {
        if (!reportButtonDown())
            emit buttonDownChanged();
        return;
    }
    emit(this->*signalOf.at(name.toStdString()))();
}

bool VarnoButton::reportButtonDown()
{
    const bool down = core_->ButtonDown();
    if (down == reportedDown_)
        return false;
    reportedDown_ = down;
    if (!signalsBlocked() && core_->Behavior() == 1)
        emit toggled(down);
    emit buttonDownChanged();
    return true;
}

// Alt and the letter after a single "&" click the button, as they would a
// QPushButton with that text.
void VarnoButton::updateMnemonic()
{
    if (mnemonic_)
        releaseShortcut(mnemonic_);
    const QKeySequence sequence = QKeySequence::mnemonic(Caption());
    mnemonic_ = sequence.isEmpty() ? 0 : grabShortcut(sequence);
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
            host_->PropertyChanged("Enabled");
        }
        core_->UserControl_Paint();
        break;
    case QEvent::FontChange:
        if (!quietChange_)
            host_->PropertyChanged("Font");
        break;
    case QEvent::PaletteChange:
        // System colours are resolved while drawing.
        core_->UserControl_Paint();
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

void VarnoButton::paintEvent(QPaintEvent*)
{
    if (!image_)
        return;
    // A move to a screen with another pixel ratio leaves the image behind.
    if (image_->isStale())
        core_->UserControl_Paint();
    QPainter(this).drawImage(0, 0, image_->image());
}

void VarnoButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    core_->UserControl_Resize();
    core_->UserControl_Paint();
}

}  // namespace ombrix
