#pragma once

#include "EventLog.h"

#include <QWidget>

#include <memory>
#include <vector>

class QGridLayout;

namespace ombrix {

class VarnoButton;

// Every style, border style, alignment and behaviour of VarnoButton side by
// side, with a log of the events the buttons raise.
class GalleryWindow final : public QWidget {
    Q_OBJECT

public:
    explicit GalleryWindow(QWidget* parent = nullptr);
    ~GalleryWindow() override;

    // The button that starts with the focus, showing the focus cue.
    VarnoButton* firstFocus() const { return firstFocus_; }

private:
    QWidget* borderSection();
    QWidget* alignmentSection();
    QWidget* behaviourSection();
    QWidget* logSection();
    // A new button named source in the log, laid out at row and column.
    VarnoButton* addButton(QGridLayout& grid, int row, int column, const QString& source);
    void listen(VarnoButton& button, std::unique_ptr<VarnoButtonEvents> handler);

    EventLog* log_ = nullptr;
    VarnoButton* firstFocus_ = nullptr;
    std::vector<std::unique_ptr<VarnoButtonEvents>> handlers_;
};

}  // namespace ombrix
