#pragma once

#include <QTimer>
#include <QWidget>
#include <array>

#include "FormDescription.h"
#include "ImageList.h"
#include "ScanFormView.h"
#include "ScanViewEvents.h"
#include "ScanWindow.h"
#include "frmScan.h"

class QAction;
class QFrame;
class QItemSelection;
class QLabel;
class QMenu;
class QPushButton;
class QTreeView;

namespace ombrix {

class FindingListView;
class FindingModel;

// The scan window on the screen. It mirrors a frmScan, whose handlers do all
// the work: the view forwards the button, the close box, keys, the list's
// selection and mouse actions and the menu entries to it. A scan writes the form far more
// often than anyone can see, so the view catches up at most ~30 times a second.
class ScanView final : public QWidget, public ScanFormView {
    Q_OBJECT

public:
    // `owner` is the main window: the scan window is centred on it when shown.
    explicit ScanView(frmScan& form, QWidget* owner = nullptr);
    ~ScanView() override;

    QLabel* label(ScanLabel label) const { return labels_[static_cast<std::size_t>(label)]; }
    QPushButton* command1() const { return command1_; }
    QTreeView* listView1() const;
    QMenu* badguymenu() const { return badguymenu_; }
    QAction* mnuDeletethisFile() const { return mnuDeletethisFile_; }
    QAction* mnuOpenFolder() const { return mnuOpenFolder_; }

    void stateChanged() override;
    void processEvents() override;
    void hideWindow() override;
    void setScanRunning(bool running) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // The widget for one control of the form's description; none for what is
    // drawn on its panel (rules, shapes).
    QWidget* build(const ControlDescription& description, QWidget* parent);
    void buildMenu();
    void sync();
    void applyColumnWidths();
    void selectFromForm(int first, int last);
    void forwardSelection(const QItemSelection& selected, const QItemSelection& deselected);
    void rightPressed(int row);
    void listMouseReleased(Qt::MouseButton button, const QPoint& globalPosition);
    void menuKeyPressed();
    void popUpMenu(const std::optional<BadGuyMenu>& menu, const QPoint& globalPosition);
    void fitResult();
    void centreOnOwner();

    frmScan& form_;
    ScanViewEvents events_{form_};
    ImageList imageList1_;
    FindingModel* model_ = nullptr;
    QFrame* frame1_ = nullptr;
    std::array<QLabel*, 7> labels_{};
    QPushButton* command1_ = nullptr;
    FindingListView* listView1_ = nullptr;
    QMenu* badguymenu_ = nullptr;
    QAction* mnuDeletethisFile_ = nullptr;
    QAction* mnuOpenFolder_ = nullptr;
    QTimer syncTimer_;
    bool quitOnLastWindowClosed_ = false;
};

}  // namespace ombrix
