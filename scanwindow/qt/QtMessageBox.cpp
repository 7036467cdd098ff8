#include "QtMessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace ombrix {

// A dialog of its own rather than a QMessageBox, which keeps an empty icon
// label that screen readers announce as an unnamed object.
void QtMessageBox::show(const std::string& text)
{
    QDialog box(QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("Ombrix"));
    auto* message = new QLabel(QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())), &box);
    message->setTextFormat(Qt::PlainText);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    buttons->setAccessibleName(QStringLiteral("Answers"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* layout = new QVBoxLayout(&box);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(message);
    layout->addWidget(buttons);
    box.exec();
}

}  // namespace ombrix
