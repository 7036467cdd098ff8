#pragma once

#include <VarnoButton/PaintSurface.h>
#include <VarnoButton/PropertyStore.h>
#include <VarnoButton/VarnoButtonEvents.h>

#include <QFont>
#include <QPixmap>
#include <QWidget>

#include <memory>

namespace ombrix {

class ImageSurface;
class PictureBox;
class VarnoButtonCore;

// An owner-drawn push or toggle button: a plain or gradient face, a bevelled
// border with cut corners, a focus cue, a caption and an optional picture,
// all laid out in twips (15 per pixel).
//
// The window that holds a button calls InitProperties() for a new button or
// ReadProperties() for a saved one and WriteProperties() when it saves. It
// hears of the button's events through setEventHandler(), whose by-reference
// arguments it may change, the Qt signals clicked() to mouseUp(), which carry
// the values the handler left, or both. Every setter emits propertyChanged() with
// the property's name (so the holder knows to save) and the property's NOTIFY
// signal; most also repaint at once. No setter checks its value: out-of-range
// numbers are kept and drawn as the nearest meaning. Qt's own setEnabled() and
// setFont(), called through a QWidget pointer or the "enabled" and "font"
// properties, act as the button's Enabled and Font. An "&" in the caption
// marks its mnemonic: Alt and the letter click the button.
//
// It is no QAbstractButton: that class's non-virtual setDown(), setChecked()
// and click(), which QButtonGroup and QAbstractButton pointers call, would
// change the pressed state past this button's own rules. toggled() and
// ButtonDown give a toggle button's state instead.
class VarnoButton final : public QWidget {
    Q_OBJECT

    Q_CLASSINFO("BackColor", "Returns/sets the background color used to display text and graphics in an object.")
    Q_CLASSINFO("ForeColor", "Returns/sets the foreground color used to display text and graphics in an object.")
    Q_CLASSINFO("Enabled", "Returns/sets a value that determines whether an object can respond to user-generated events.")
    Q_CLASSINFO("Font", "Returns a Font object.")
    Q_CLASSINFO("Refresh", "Forces a complete repaint of a object.")
    Q_CLASSINFO("BorderStyle", "Returns/sets the border style for an object.")
    Q_CLASSINFO("TextAlign", "Determines Location of Text")
    Q_CLASSINFO("Behavior", "Determines how the button acts with user activity.")
    Q_CLASSINFO("Style", "Determines how the button appears")
    Q_CLASSINFO("FadetoColor", "Color that the button will fade to at the bottom.")
    Q_CLASSINFO("Picture", "Returns/sets a graphic to be displayed in a control.")
    Q_CLASSINFO("HideFocus", "Hide the dashed focus line when this control has focus.")
    Q_CLASSINFO("Click", "Occurs when the user presses and then releases a mouse button over an object.")
    Q_CLASSINFO("DblClick", "Occurs when the user presses and releases a mouse button and then presses and releases it again over an object.")
    Q_CLASSINFO("KeyDown", "Occurs when the user presses a key while an object has the focus.")
    Q_CLASSINFO("KeyPress", "Occurs when the user presses and releases an ANSI key.")
    Q_CLASSINFO("KeyUp", "Occurs when the user releases a key while an object has the focus.")
    Q_CLASSINFO("MouseDown", "Occurs when the user presses the mouse button while an object has the focus.")
    Q_CLASSINFO("MouseMove", "Occurs when the user moves the mouse.")
    Q_CLASSINFO("MouseUp", "Occurs when the user releases the mouse button while an object has the focus.")

    Q_PROPERTY(QString text READ Caption WRITE setCaption NOTIFY captionChanged STORED false)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor NOTIFY backColorChanged)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor NOTIFY foreColorChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QFont Font READ Font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(qint32 BorderStyle READ BorderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
    Q_PROPERTY(qint32 TextAlign READ TextAlign WRITE setTextAlign NOTIFY textAlignChanged)
    Q_PROPERTY(qint32 Behavior READ Behavior WRITE setBehavior NOTIFY behaviorChanged)
    Q_PROPERTY(qint32 Style READ Style WRITE setStyle NOTIFY styleChanged)
    Q_PROPERTY(quint32 FadetoColor READ FadetoColor WRITE setFadetoColor NOTIFY fadetoColorChanged)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture NOTIFY pictureChanged)
    Q_PROPERTY(bool ShowPicture READ ShowPicture WRITE setShowPicture NOTIFY showPictureChanged)
    Q_PROPERTY(bool HideFocus READ HideFocus WRITE setHideFocus NOTIFY hideFocusChanged)
    Q_PROPERTY(bool ButtonDown READ ButtonDown WRITE setButtonDown NOTIFY buttonDownChanged)
    Q_PROPERTY(qint32 PictureAlign READ PictureAlign WRITE setPictureAlign NOTIFY pictureAlignChanged)

public:
    explicit VarnoButton(QWidget* parent = nullptr);
    // Draws the face on surface instead of on the widget (tests record it).
    explicit VarnoButton(std::unique_ptr<PaintSurface> surface, QWidget* parent = nullptr);
    ~VarnoButton() override;

    // Colours are 0x00BBGGRR, or 0x80000000 + n for system colour n.
    quint32 BackColor() const;
    void setBackColor(quint32 color);
    quint32 ForeColor() const;
    void setForeColor(quint32 color);
    // The button's own enabled state. A disabled parent disables the button
    // too (grey caption, no input) but leaves Enabled as it is.
    bool Enabled() const;
    void setEnabled(bool enabled);
    QFont Font() const;
    void setFont(const QFont& font);
    // Repaints the face now.
    void Refresh();
    QString Caption() const;
    void setCaption(const QString& caption);
    QString text() const { return Caption(); }
    void setText(const QString& text) { setCaption(text); }
    // 0 flat (border only while down or as focus cue), 1 raised, 2 sunken, other none.
    qint32 BorderStyle() const;
    void setBorderStyle(qint32 borderStyle);
    // 0 left, 1 right, 2 centred.
    qint32 TextAlign() const;
    void setTextAlign(qint32 textAlign);
    // 1 toggle, any other value push.
    qint32 Behavior() const;
    void setBehavior(qint32 behavior);
    // 1 gradient from FadetoColor at the top to BackColor at the bottom, other plain.
    qint32 Style() const;
    void setStyle(qint32 style);
    using QWidget::setStyle;
    using QWidget::style;
    quint32 FadetoColor() const;
    void setFadetoColor(quint32 color);
    // A null pixmap is no picture.
    QPixmap Picture() const;
    void setPicture(const QPixmap& picture);
    bool ShowPicture() const;
    void setShowPicture(bool show);
    bool HideFocus() const;
    void setHideFocus(bool hide);
    bool ButtonDown() const;
    void setButtonDown(bool down);
    // 0 left of the caption, 1 above it, other centred at the picture's own size.
    qint32 PictureAlign() const;
    void setPictureAlign(qint32 pictureAlign);

    // Gives a button placed new on its holder the default properties and the
    // holder's font.
    void InitProperties();
    // Restores the properties WriteProperties() saved; absent ones get their defaults.
    void ReadProperties(const PropertyStore& store);
    // Saves every property that differs from its default.
    void WriteProperties(PropertyStore& store) const;

    // The one receiver of the button's events; nullptr for none. Not owned.
    void setEventHandler(VarnoButtonEvents* handler);
    // The toolkit-free button this widget shows.
    VarnoButtonCore& core() const { return *core_; }

    QSize sizeHint() const override;

signals:
    // The button's events, raised right after the handler's (see
    // VarnoButtonEvents for when), with the values it left.
    void clicked();
    void dblClicked();
    void keyDown(qint16 keyCode, qint16 shift);
    void keyPress(qint16 keyAscii);
    void keyUp(qint16 keyCode, qint16 shift);
    void mouseDown(qint16 button, qint16 shift, float x, float y);
    void mouseMove(qint16 button, qint16 shift, float x, float y);
    void mouseUp(qint16 button, qint16 shift, float x, float y);
    // ButtonDown of a toggle button (Behavior 1) changed, by input or property.
    void toggled(bool down);

    // The holder's cue to save: name is the property's persisted name, such
    // as "BackColor". Input that presses or releases the button does not send
    // it, but buttonDownChanged() follows every change of ButtonDown.
    void propertyChanged(const QString& name);
    void backColorChanged();
    void foreColorChanged();
    void enabledChanged();
    void fontChanged();
    void captionChanged();
    void borderStyleChanged();
    void textAlignChanged();
    void behaviorChanged();
    void styleChanged();
    void fadetoColorChanged();
    void pictureChanged();
    void showPictureChanged();
    void hideFocusChanged();
    void buttonDownChanged();
    void pictureAlignChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Host;

    // Emits the NOTIFY signal of the property with this persisted name.
    void emitChanged(const QString& name);
    // Tells of a change of ButtonDown since the last call; false when none.
    bool reportButtonDown();
    void updateMnemonic();
    QFont ambientFont() const;
    void routeMouse(QMouseEvent& event, const QWidget& receiver);

    std::unique_ptr<PaintSurface> surface_;
    ImageSurface* image_ = nullptr;  // surface_ when the button draws on itself
    PictureBox* picture1_ = nullptr;
    std::unique_ptr<Host> host_;
    std::unique_ptr<VarnoButtonCore> core_;

    // The Enabled value the holder was last told of.
    bool reportedEnabled_ = true;
    // The ButtonDown value the signals last told of.
    bool reportedDown_ = false;
    // True while the button sets Qt's enabled state or font itself, so that
    // changeEvent() leaves notifying and repainting to the caller.
    bool quietChange_ = false;
    // A press whose release over the same element is a click.
    bool clickPending_ = false;
    int mnemonic_ = 0;  // the shortcut id of Alt and the caption's marked letter
};

}  // namespace ombrix
