#pragma once

#include <QAccessibleWidget>

namespace ombrix {

class VarnoButton;

// What assistive tools see of a VarnoButton: a push button, or a checkable
// one for Behavior 1, named by its caption, that they can press.
class VarnoButtonAccessible final : public QAccessibleWidget {
public:
    explicit VarnoButtonAccessible(VarnoButton* button);

    // Makes Qt use this class for every VarnoButton; once is enough.
    static void install();

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    VarnoButton& button() const;
};

}  // namespace ombrix
