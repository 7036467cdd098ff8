#include "UpdateWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace ombrix::update {

UpdateWindow::UpdateWindow()
    : message_(new QLabel(QStringLiteral("Starting the update..."), this)),
      bar_(new QProgressBar(this)),
      button_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Ombrix Update"));
    message_->setWordWrap(true);
    message_->setMinimumWidth(380);
    bar_->setRange(0, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(bar_);
    layout->addWidget(button_, 0, Qt::AlignRight);
    connect(button_, &QPushButton::clicked, this, [this] {
        if (finished_)
            close();
        else
            cancel();
    });
}

void UpdateWindow::step(const std::string& what)
{
    QMetaObject::invokeMethod(this, [this, text = QString::fromLocal8Bit(what)] {
        message_->setText(text + QStringLiteral("..."));
        bar_->setRange(0, 0);
    });
}

void UpdateWindow::progress(std::uint64_t done, std::uint64_t total)
{
    if (total == 0)
        return;
    QMetaObject::invokeMethod(this, [this, percent = int(done * 100 / total)] {
        bar_->setRange(0, 100);
        bar_->setValue(percent);
    });
}

void UpdateWindow::finish(const Outcome& outcome)
{
    QMetaObject::invokeMethod(this, [this, outcome] { showFinished(outcome); });
}

void UpdateWindow::showFinished(const Outcome& outcome)
{
    finished_ = true;
    message_->setText(QString::fromLocal8Bit(outcome.message));
    // An outcome runs to several lines: the window grows so all of it shows.
    adjustSize();
    bar_->setRange(0, 100);
    bar_->setValue(outcome.status == kFailed ? 0 : 100);
    button_->setText(QStringLiteral("Close"));
    button_->setEnabled(true);
    button_->setFocus();
    if (closeWhenFinished_)
        close();
}

void UpdateWindow::cancel()
{
    canceled_ = true;
    message_->setText(QStringLiteral("Canceling..."));
    button_->setEnabled(false);
}

// Closing while the update runs cancels it; the window goes once the update has
// stopped, so the installed list is never left to a half-finished run.
void UpdateWindow::closeEvent(QCloseEvent* event)
{
    if (finished_) {
        event->accept();
        emit closed();
        return;
    }
    closeWhenFinished_ = true;
    cancel();
    event->ignore();
}

}  // namespace ombrix::update
