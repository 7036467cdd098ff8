#include "ClickLabel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace ombrix {

namespace {

// What assistive technology sees of a ClickLabel: a link named by its text
// (or its accessible name, for a picture) that can be pressed.
class LinkAccessible final : public QAccessibleWidget {
public:
    explicit LinkAccessible(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override
    {
        const QString own = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && own.isEmpty())
            return static_cast<const ClickLabel*>(widget())->text();
        return own;
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<ClickLabel*>(widget())->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* linkFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(ClickLabel::staticMetaObject.className()))
        return new LinkAccessible(static_cast<ClickLabel*>(object));
    return nullptr;
}

void installLinkFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(linkFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent)
{
    installLinkFactory();
}

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    installLinkFactory();
}

void ClickLabel::click()
{
    if (isEnabled())
        emit clicked();
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    pressed_ = true;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QLabel::mouseReleaseEvent(event);
    const bool inside = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (inside)
        click();
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void ClickLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect cue;
    cue.initFrom(this);
    cue.rect = contentsRect();
    if (pixmap().isNull()) {
        // Around the text, not around the whole label.
        const QRect text = fontMetrics().boundingRect(contentsRect(), int(alignment()) | Qt::TextWordWrap, this->text());
        cue.rect = text.adjusted(-1, 0, 1, 0).intersected(rect());
    }
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &cue, &painter, this);
}

}  // namespace ombrix
