#pragma once

#include <QWidget>

#include "Updater.h"
#include "frmUpdate.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace ombrix::update {

// "Ombrix Update" on the screen, built from kUpdateForm with Qt's widgets. It
// shows a frmUpdate and forwards the button, the keys and the close box to it.
// Its report calls may come from the thread that runs the update; they reach
// the form on the window's thread.
class UpdateWindow : public QWidget, public UpdateReport {
    Q_OBJECT

public:
    UpdateWindow();

    void step(const std::string& what) override;
    void progress(std::uint64_t done, std::uint64_t total) override;
    bool canceled() const override { return form_.canceled(); }

    // Shows the outcome; called on any thread.
    void finish(const Outcome& outcome);

signals:
    // The update has ended and the window has gone.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void sync();
    void goIf(bool goes);
    void centreOnOwner();

    frmUpdate form_;
    QLabel* message_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* button_ = nullptr;
};

}  // namespace ombrix::update
