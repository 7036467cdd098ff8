#pragma once

#include <QWidget>

#include <atomic>

#include "Updater.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace ombrix::update {

// The small window of an update started from the desktop: what is happening, a
// progress bar, and the outcome in words. Its report calls may come from the
// thread that runs the update; they reach the widgets on the window's thread.
class UpdateWindow : public QWidget, public UpdateReport {
    Q_OBJECT

public:
    UpdateWindow();

    void step(const std::string& what) override;
    void progress(std::uint64_t done, std::uint64_t total) override;
    bool canceled() const override { return canceled_; }

    // Shows the outcome; the button turns to "Close". Called on any thread.
    void finish(const Outcome& outcome);

signals:
    // The update has ended and the user has closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showFinished(const Outcome& outcome);
    void cancel();

    QLabel* message_;
    QProgressBar* bar_;
    QPushButton* button_;
    std::atomic<bool> canceled_ = false;
    bool finished_ = false;
    bool closeWhenFinished_ = false;
};

}  // namespace ombrix::update
