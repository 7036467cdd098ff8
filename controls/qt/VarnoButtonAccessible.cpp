#include "VarnoButton/VarnoButtonAccessible.h"

#include "VarnoButton/VarnoButton.h"

#include <VarnoButton/VarnoButtonCore.h>

namespace ombrix {

namespace {

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String("ombrix::VarnoButton") && object->isWidgetType())
        return new VarnoButtonAccessible(static_cast<VarnoButton*>(object));
    return nullptr;
}

// "&Save" reads "Save", "&&" reads "&".
QString withoutMnemonic(const QString& caption)
{
    QString name;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        name += caption[i];
    }
    return name;
}

}  // namespace

VarnoButtonAccessible::VarnoButtonAccessible(VarnoButton* button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

void VarnoButtonAccessible::install()
{
    static const bool installed = (QAccessible::installFactory(accessibleFor), true);
    Q_UNUSED(installed);
}

QString VarnoButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return withoutMnemonic(button().Caption());
    return QAccessibleWidget::text(t);
}

QAccessible::State VarnoButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (button().Behavior() == 1) {
        state.checkable = true;
        state.checked = button().ButtonDown();
    } else {
        state.pressed = button().ButtonDown();
    }
    return state;
}

QStringList VarnoButtonAccessible::actionNames() const
{
    return {pressAction()};
}

// A press from a tool is a click, as the keyboard's.
void VarnoButtonAccessible::doAction(const QString& actionName)
{
    if (actionName == pressAction() && button().isEnabled())
        button().core().UserControl_Click();
}

VarnoButton& VarnoButtonAccessible::button() const
{
    return *static_cast<VarnoButton*>(widget());
}

}  // namespace ombrix
