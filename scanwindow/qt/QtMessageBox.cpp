#include "QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace ombrix {

void QtMessageBox::show(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Ombrix"),
                    QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace ombrix
