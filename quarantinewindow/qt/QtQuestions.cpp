#include "QtQuestions.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace ombrix {

namespace {

QString decoded(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool QtQuestions::confirm(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Ombrix"), decoded(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    // What the questions lead to cannot all be undone: a stray Enter says no.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtQuestions::saveAs(const std::string& title, const std::string& suggestedPath)
{
    // The quarantine never overwrites: a path that is taken is asked for again.
    const QString chosen = QFileDialog::getSaveFileName(QApplication::activeWindow(), decoded(title),
                                                        decoded(suggestedPath), QString(), nullptr,
                                                        QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toLocal8Bit().toStdString();
}

}  // namespace ombrix
