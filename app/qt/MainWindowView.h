#pragma once

#include <QWidget>

#include <string>
#include <unordered_map>

#include "FormDescription.h"
#include "MainFormView.h"
#include "MainViewEvents.h"
#include "TreeMirror.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace ombrix {

class ScanView;
class frmMain;

// The main window on screen, and the owner of the scan window's widgets. It
// mirrors frmMain's control values and hands the user's actions to the
// window's events. Child widgets carry their control names as object names.
class MainWindowView final : public QWidget, public MainFormView {
    Q_OBJECT

public:
    explicit MainWindowView(frmMain& form);
    ~MainWindowView() override;

    // Brings every control up to the form's values: check boxes, labels and
    // tree entries added since the last call.
    void syncFromForm();

    ScanView* scanView() const { return scanView_; }

    void setWindowVisible(bool visible) override;
    void showScanWindow() override;
    void setScanWindowCaption(const std::string& caption) override;
    ViewLayout::Box frameBox() const override
    {
        const QRect frame = frameGeometry();
        return {frame.x(), frame.y(), frame.width(), frame.height()};
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectTree();
    QWidget* build(const ControlDescription& description);
    static QPixmap artwork(const ControlDescription& description);
    void syncScanAction();
    void syncTree();

    frmMain& form_;
    MainViewEvents events_{form_};
    ScanView* scanView_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    // Every control made from the form's description, by name.
    std::unordered_map<std::string, QWidget*> controls_;
    TreeMirror<QTreeWidgetItem*> mirror_;
    bool closing_ = false;
};

}  // namespace ombrix
