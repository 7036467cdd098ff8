#pragma once

#include <QCheckBox>

namespace ombrix {

// An option's check box. Its third (grey) state comes only from a stored
// value: grey looks half on yet removes nothing, so a click never leads back
// to it and toggles between ticked and cleared only.
class OptionCheckBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};

}  // namespace ombrix
