#pragma once

#include "FontChoice.h"
#include "VarnoButtonEvents.h"

#include <string>

namespace ombrix {

// What a skin gives the button: the control surface's size, enabled state
// and font, the holder's font, and the holder's ears. The events reach the
// host after the holder's handler, for the skin's own signals or messages.
class ControlHost : public VarnoButtonEvents {
public:
    // Size of the control surface in twips.
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;
    // The surface's own enabled state, set without notifying.
    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    // False also while the window that holds the button is disabled.
    virtual bool takesInput() const = 0;
    virtual FontChoice font() const = 0;
    virtual void setFont(const FontChoice& font) = 0;
    // The holder's font, which a new button takes.
    virtual FontChoice ambientFont() const = 0;
    // The holder's cue to save the property with this persisted name.
    virtual void PropertyChanged(const std::string& name) = 0;
    // ButtonDown changed without a notification: by input or by Behavior 0.
    virtual void buttonDownChanged() {}
    // A repaint has finished: show it.
    virtual void present() = 0;
};

}  // namespace ombrix
