#include "UpdateWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "OwnerBox.h"
#include "Twips.h"
#include "UpdateForm.h"
#include "WindowAccessible.h"

namespace ombrix::update {

namespace {

QRect placeOf(UpdateControl control, int growth)
{
    const TwipsRect& r = describe(control).rect;
    const QRect design = twipsRect(r.left, r.top, r.width, r.height);
    if (control == UpdateControl::Label1)
        return design.adjusted(0, 0, 0, growth);
    return design.translated(0, growth);
}

template <class Widget>
Widget* build(QWidget* window, UpdateControl control)
{
    const ControlDescription& description = describe(control);
    auto* widget = new Widget(window);
    widget->setObjectName(QLatin1String(description.name));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(kUpdateForm.fontPoints);
    font.setBold(description.bold);
    widget->setFont(font);
    if (*description.accessibleName)
        widget->setAccessibleName(QString::fromUtf8(description.accessibleName));
    widget->setGeometry(placeOf(control, 0));
    return widget;
}

}  // namespace

UpdateWindow::UpdateWindow()
{
    // Before any control: a screen reader's view of the window is made once.
    installWindowAccessibility();
    message_ = build<QLabel>(this, UpdateControl::Label1);
    bar_ = build<QProgressBar>(this, UpdateControl::ProgressBar1);
    button_ = build<QPushButton>(this, UpdateControl::Command1);
    setWindowTitle(QString::fromUtf8(kUpdateForm.title));
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bar_->setFocusPolicy(Qt::NoFocus);
    connect(button_, &QPushButton::clicked, this, [this] { goIf(form_.Command1_Click()); });
    sync();
    centreOnOwner();
    button_->setFocus();
}

void UpdateWindow::step(const std::string& what)
{
    QMetaObject::invokeMethod(this, [this, what] {
        form_.step(what);
        sync();
    });
}

void UpdateWindow::progress(std::uint64_t done, std::uint64_t total)
{
    QMetaObject::invokeMethod(this, [this, done, total] {
        form_.progress(done, total);
        sync();
    });
}

void UpdateWindow::finish(const Outcome& outcome)
{
    QMetaObject::invokeMethod(this, [this, outcome] {
        const bool goes = form_.finish(outcome);
        button_->setFocus();
        goIf(goes);
    });
}

void UpdateWindow::sync()
{
    message_->setText(QString::fromLocal8Bit(form_.message()));
    // The window grows downwards until the whole message shows.
    const int growth = MessageGrowth(message_->heightForWidth(message_->width()), placeOf(UpdateControl::Label1, 0).height());
    message_->setGeometry(placeOf(UpdateControl::Label1, growth));
    bar_->setGeometry(placeOf(UpdateControl::ProgressBar1, growth));
    button_->setGeometry(placeOf(UpdateControl::Command1, growth));
    setFixedSize(px(kUpdateForm.clientWidth), px(kUpdateForm.clientHeight) + growth);

    bar_->setVisible(form_.barShown());
    bar_->setRange(0, form_.barBusy() ? 0 : 100);
    bar_->setValue(form_.barValue());
    button_->setText(QString::fromUtf8(form_.buttonText()));
    button_->setEnabled(form_.buttonEnabled());
}

void UpdateWindow::goIf(bool goes)
{
    sync();
    if (goes)
        close();
}

void UpdateWindow::centreOnOwner()
{
    const QRect area = screen()->availableGeometry();
    const std::optional<ViewLayout::Box> owner = OwnerBox::Given();
    const ViewLayout::Place place = ViewLayout::CentredOn(owner ? &*owner : nullptr, width(), height(),
                                                          {area.x(), area.y(), area.width(), area.height()});
    move(place.left, place.top);
}

void UpdateWindow::closeEvent(QCloseEvent* event)
{
    if (form_.closeRequested()) {
        event->accept();
        emit closed();
        return;
    }
    event->ignore();
    sync();
}

void UpdateWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        goIf(form_.keyPressed(frmUpdate::Key::Enter));
        break;
    case Qt::Key_Escape:
        goIf(form_.keyPressed(frmUpdate::Key::Escape));
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

}  // namespace ombrix::update
