#include "VarnoButton/VarnoButtonCore.h"

namespace ombrix {

namespace {

const std::string kDefaultCaption = "VarnoButton";

template <typename T>
T read(const PropertyStore& store, const char* name, const T& defaultValue)
{
    const PropertyValue value = store.ReadProperty(name, defaultValue);
    const T* typed = std::get_if<T>(&value);
    return typed ? *typed : defaultValue;
}

}  // namespace

VarnoButtonCore::VarnoButtonCore(ControlHost& host, PaintSurface& surface, PictureElement& picture1)
    : host_(host)
    , surface_(surface)
    , picture1_(picture1)
{
}

Color VarnoButtonCore::BackColor() const
{
    return surface_.backColor();
}

void VarnoButtonCore::setBackColor(Color color)
{
    surface_.setBackColor(color);
    picture1_.setBackColor(color);
    notify("BackColor");
    UserControl_Paint();
}

Color VarnoButtonCore::ForeColor() const
{
    return surface_.textColor();
}

void VarnoButtonCore::setForeColor(Color color)
{
    surface_.setTextColor(color);
    notify("ForeColor");
}

bool VarnoButtonCore::Enabled() const
{
    return host_.Enabled();
}

void VarnoButtonCore::setEnabled(bool enabled)
{
    host_.setEnabled(enabled);
    notify("Enabled");
    UserControl_Paint();
}

FontChoice VarnoButtonCore::Font() const
{
    return host_.font();
}

void VarnoButtonCore::setFont(const FontChoice& font)
{
    host_.setFont(font);
    notify("Font");
}

void VarnoButtonCore::Refresh()
{
    UserControl_Paint();
}

const std::string& VarnoButtonCore::Caption() const
{
    return caption_;
}

void VarnoButtonCore::setCaption(const std::string& caption)
{
    caption_ = caption;
    notify("Caption");
    UserControl_Paint();
}

int32_t VarnoButtonCore::BorderStyle() const
{
    return borderStyle_;
}

void VarnoButtonCore::setBorderStyle(int32_t borderStyle)
{
    borderStyle_ = borderStyle;
    notify("BorderStyle");
    UserControl_Paint();
}

int32_t VarnoButtonCore::TextAlign() const
{
    return textAlign_;
}

void VarnoButtonCore::setTextAlign(int32_t textAlign)
{
    textAlign_ = textAlign;
    notify("TextAlign");
    UserControl_Paint();
}

int32_t VarnoButtonCore::Behavior() const
{
    return behavior_;
}

void VarnoButtonCore::setBehavior(int32_t behavior)
{
    behavior_ = behavior;
    // Only an explicit switch to push lets a toggled button up; the face shows
    // it at the next repaint.
    if (behavior == 0)
        putButtonDown(false);
    notify("Behavior");
}

int32_t VarnoButtonCore::Style() const
{
    return style_;
}

void VarnoButtonCore::setStyle(int32_t style)
{
    style_ = style;
    notify("Style");
    UserControl_Paint();
}

Color VarnoButtonCore::FadetoColor() const
{
    return fadetoColor_;
}

void VarnoButtonCore::setFadetoColor(Color color)
{
    fadetoColor_ = color;
    notify("FadetoColor");
    UserControl_Paint();
}

PictureData VarnoButtonCore::Picture() const
{
    return picture1_.picture();
}

void VarnoButtonCore::setPicture(const PictureData& picture)
{
    picture1_.setPicture(picture);
    picture1_.setBackColor(surface_.backColor());
    notify("Picture");
    UserControl_Resize();
    UserControl_Paint();
}

bool VarnoButtonCore::ShowPicture() const
{
    return showPicture_;
}

void VarnoButtonCore::setShowPicture(bool show)
{
    showPicture_ = show;
    picture1_.setVisible(show);
    notify("ShowPicture");
    UserControl_Resize();
    UserControl_Paint();
}

bool VarnoButtonCore::HideFocus() const
{
    return hideFocus_;
}

void VarnoButtonCore::setHideFocus(bool hide)
{
    hideFocus_ = hide;
    notify("HideFocus");
}

bool VarnoButtonCore::ButtonDown() const
{
    return buttonDown_;
}

void VarnoButtonCore::setButtonDown(bool down)
{
    buttonDown_ = down;
    notify("ButtonDown");
    // No layout: a change made by the program does not shift the content.
    UserControl_Paint();
}

int32_t VarnoButtonCore::PictureAlign() const
{
    return pictureAlign_;
}

void VarnoButtonCore::setPictureAlign(int32_t pictureAlign)
{
    pictureAlign_ = pictureAlign;
    notify("PictureAlign");
    UserControl_Resize();
    UserControl_Paint();
}

void VarnoButtonCore::InitProperties()
{
    host_.setFont(host_.ambientFont());
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

void VarnoButtonCore::ReadProperties(const PropertyStore& store)
{
    // Picture1 takes the background colour from the Picture step below.
    surface_.setBackColor(read<uint32_t>(store, "BackColor", SystemColor::ButtonFace));
    surface_.setTextColor(read<uint32_t>(store, "ForeColor", SystemColor::ButtonText));
    host_.setEnabled(read<bool>(store, "Enabled", true));
    host_.setFont(read<FontChoice>(store, "Font", host_.ambientFont()));
    caption_ = read<std::string>(store, "Caption", kDefaultCaption);
    borderStyle_ = read<int32_t>(store, "BorderStyle", 0);
    textAlign_ = read<int32_t>(store, "TextAlign", 0);
    behavior_ = read<int32_t>(store, "Behavior", 0);
    style_ = read<int32_t>(store, "Style", 0);
    fadetoColor_ = read<uint32_t>(store, "FadetoColor", 0);
    setPicture(read<PictureData>(store, "Picture", PictureData()));
    showPicture_ = read<bool>(store, "ShowPicture", false);
    hideFocus_ = read<bool>(store, "HideFocus", false);
    buttonDown_ = read<bool>(store, "ButtonDown", false);
    pictureAlign_ = read<int32_t>(store, "PictureAlign", 0);
}

void VarnoButtonCore::WriteProperties(PropertyStore& store) const
{
    store.WriteProperty("BackColor", BackColor(), SystemColor::ButtonFace);
    store.WriteProperty("ForeColor", ForeColor(), SystemColor::ButtonText);
    store.WriteProperty("Enabled", Enabled(), true);
    store.WriteProperty("Font", Font(), host_.ambientFont());
    store.WriteProperty("Caption", caption_, kDefaultCaption);
    store.WriteProperty("BorderStyle", borderStyle_, int32_t(0));
    store.WriteProperty("TextAlign", textAlign_, int32_t(0));
    store.WriteProperty("Behavior", behavior_, int32_t(0));
    store.WriteProperty("Style", style_, int32_t(0));
    store.WriteProperty("FadetoColor", fadetoColor_, uint32_t(0));
    store.WriteProperty("Picture", Picture(), PictureData());
    store.WriteProperty("ShowPicture", showPicture_, false);
    store.WriteProperty("HideFocus", hideFocus_, false);
    store.WriteProperty("ButtonDown", buttonDown_, false);
    store.WriteProperty("PictureAlign", pictureAlign_, int32_t(0));
}

void VarnoButtonCore::notify(const char* name)
{
    host_.PropertyChanged(name);
}

void VarnoButtonCore::putButtonDown(bool down)
{
    if (buttonDown_ == down)
        return;
    buttonDown_ = down;
    host_.buttonDownChanged();
}

}  // namespace ombrix
