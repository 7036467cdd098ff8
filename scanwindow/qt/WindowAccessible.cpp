#include "WindowAccessible.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace ombrix {

namespace {

QAccessibleInterface* windowFactory(const QString& className, QObject* object)
{
    // Asked once per class up the object's hierarchy; answer only for its own class.
    if (!object || !object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (!widget->isWindow() || object->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void installWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace ombrix
