#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "QuarantineForm.h"
#include "frmQuarantine.h"

class QItemSelection;
class QKeyEvent;
class QMenu;
class QTableView;

namespace ombrix {

class EntryModel;

// "Ombrix Quarantine" on the screen, built from kQuarantineForm. It shows a
// frmQuarantine and forwards the buttons, keys, header clicks, selection and
// menu to it; after each it shows the form again.
class QuarantineView final : public QWidget {
    Q_OBJECT

public:
    explicit QuarantineView(frmQuarantine& form, QWidget* parent = nullptr);

    QWidget* control(QuarantineControl control) const { return controls_[static_cast<std::size_t>(control)]; }
    QTableView* list() const;
    QMenu* menu() const { return menu_; }

    // Shows what the form holds now.
    void sync();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* build(const ControlDescription& description, QuarantineControl control);
    void buildMenu();
    void act(const std::function<void()>& action);
    void forwardSelection(const QItemSelection& selected, const QItemSelection& deselected);
    void selectFromForm();
    bool keyPressed(QObject* watched, const QKeyEvent& key);
    void popUpMenu(const QPoint& globalPosition);

    frmQuarantine& form_;
    std::array<QWidget*, kQuarantineControls.size()> controls_{};
    EntryModel* model_ = nullptr;
    QMenu* menu_ = nullptr;
    // True while the view itself selects what the form holds as selected.
    bool applyingForm_ = false;
};

}  // namespace ombrix
