#include "GalleryWindow.h"

#include "../GalleryFaces.h"

#include <VarnoButton/VarnoButton.h>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace ombrix {

namespace {

using gallery::Border;
using gallery::Face;
using gallery::kBorders;
using gallery::kFaces;
using gallery::kWhite;

// Shows what a holder can do with the by-reference key code: Enter is
// swallowed before the button sees it, so only Space presses this button.
class SpaceOnlyLogger final : public EventLogger {
public:
    using EventLogger::EventLogger;

    void KeyDown(int16_t& KeyCode, int16_t& Shift) override
    {
        EventLogger::KeyDown(KeyCode, Shift);
        swallowEnter(KeyCode);
    }

    void KeyUp(int16_t& KeyCode, int16_t& Shift) override
    {
        EventLogger::KeyUp(KeyCode, Shift);
        swallowEnter(KeyCode);
    }

private:
    static void swallowEnter(int16_t& keyCode)
    {
        if (keyCode == 13)
            keyCode = 0;
    }
};

QLabel* heading(const QString& text)
{
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QPixmap icon(const QWidget& widget, QStyle::StandardPixmap which)
{
    return widget.style()->standardIcon(which).pixmap(16, 16);
}

}  // namespace

GalleryWindow::GalleryWindow(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(tr("VarnoButton gallery"));
    log_ = new EventLog;

    auto* sections = new QVBoxLayout;
    sections->addWidget(borderSection());
    sections->addWidget(alignmentSection());
    sections->addWidget(behaviourSection());
    sections->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(sections);
    layout->addWidget(logSection(), 1);
}

GalleryWindow::~GalleryWindow() = default;

QWidget* GalleryWindow::borderSection()
{
    auto* box = new QGroupBox(tr("Faces and borders (Style, BorderStyle)"));
    auto* grid = new QGridLayout(box);
    for (int column = 0; column < int(std::size(kBorders)); ++column) {
        const Border& border = kBorders[column];
        grid->addWidget(heading(QStringLiteral("%1 %2").arg(border.borderStyle).arg(QLatin1String(border.name))), 0,
                        column + 1);
    }
    for (int row = 0; row < int(std::size(kFaces)); ++row) {
        const Face& face = kFaces[row];
        grid->addWidget(new QLabel(QLatin1String(face.name)), row + 1, 0);
        for (int column = 0; column < int(std::size(kBorders)); ++column) {
            const Border& border = kBorders[column];
            const QString name = QStringLiteral("%1 %2").arg(QLatin1String(face.name), QLatin1String(border.name));
            VarnoButton* button = addButton(*grid, row + 1, column + 1, name);
            button->setCaption(QLatin1String(border.name));
            button->setTextAlign(2);
            button->setStyle(face.style);
            button->setBackColor(face.backColor);
            button->setFadetoColor(face.fadetoColor);
            button->setBorderStyle(border.borderStyle);
            if (face.style == 1 && border.borderStyle == 1 && !firstFocus_)
                firstFocus_ = button;
        }
    }
    return box;
}

QWidget* GalleryWindow::alignmentSection()
{
    auto* box = new QGroupBox(tr("Caption and picture (TextAlign, PictureAlign)"));
    auto* grid = new QGridLayout(box);

    const char* const textNames[] = {"Left", "Right", "Centred"};
    for (qint32 align = 0; align < 3; ++align) {
        VarnoButton* button = addButton(*grid, 0, align, QStringLiteral("TextAlign %1").arg(align));
        button->setCaption(QLatin1String(textNames[align]));
        button->setTextAlign(align);
        button->setBorderStyle(1);
    }

    VarnoButton* left = addButton(*grid, 1, 0, QStringLiteral("PictureAlign 0"));
    left->setCaption(tr("Apply"));
    left->setPicture(icon(*this, QStyle::SP_DialogApplyButton));
    left->setBorderStyle(1);
    left->setShowPicture(true);

    VarnoButton* above = addButton(*grid, 1, 1, QStringLiteral("PictureAlign 1"));
    above->setMinimumHeight(64);
    above->setCaption(tr("Open"));
    above->setTextAlign(2);
    above->setPictureAlign(1);
    above->setPicture(icon(*this, QStyle::SP_DirOpenIcon));
    above->setBorderStyle(1);
    above->setShowPicture(true);

    VarnoButton* centred = addButton(*grid, 1, 2, QStringLiteral("PictureAlign 2"));
    centred->setCaption(QString());
    centred->setPictureAlign(2);
    centred->setPicture(icon(*this, QStyle::SP_TrashIcon));
    centred->setBorderStyle(1);
    centred->setShowPicture(true);
    return box;
}

QWidget* GalleryWindow::behaviourSection()
{
    auto* box = new QGroupBox(tr("Behaviour"));
    auto* grid = new QGridLayout(box);

    VarnoButton* push = addButton(*grid, 0, 0, QStringLiteral("Push"));
    push->setCaption(tr("Push"));

    VarnoButton* toggleDown = addButton(*grid, 0, 1, QStringLiteral("Toggle down"));
    toggleDown->setCaption(tr("Toggle (down)"));
    toggleDown->setBehavior(1);
    toggleDown->setButtonDown(true);

    VarnoButton* toggleUp = addButton(*grid, 0, 2, QStringLiteral("Toggle up"));
    toggleUp->setCaption(tr("Toggle (up)"));
    toggleUp->setBehavior(1);

    VarnoButton* disabled = addButton(*grid, 1, 0, QStringLiteral("Disabled"));
    disabled->setCaption(tr("Disabled"));
    disabled->setEnabled(false);

    VarnoButton* hidden = addButton(*grid, 1, 1, QStringLiteral("No focus cue"));
    hidden->setCaption(tr("No focus cue"));
    hidden->setHideFocus(true);

    auto* spaceOnly = new VarnoButton(box);
    spaceOnly->InitProperties();
    spaceOnly->setCaption(tr("Space only"));
    grid->addWidget(spaceOnly, 1, 2);
    listen(*spaceOnly, std::make_unique<SpaceOnlyLogger>(*log_, QStringLiteral("Space only")));

    for (VarnoButton* button : box->findChildren<VarnoButton*>()) {
        button->setStyle(1);
        button->setBackColor(0x00D8D0C8);
        button->setFadetoColor(kWhite);
        button->setBorderStyle(1);
    }
    return box;
}

QWidget* GalleryWindow::logSection()
{
    auto* box = new QGroupBox(tr("Events"));
    auto* layout = new QVBoxLayout(box);
    log_->setMinimumWidth(400);
    layout->addWidget(log_, 1);

    auto* row = new QHBoxLayout;
    auto* moves = new QCheckBox(tr("Log mouse moves"));
    connect(moves, &QCheckBox::toggled, log_, &EventLog::setLogsMouseMoves);
    row->addWidget(moves);
    row->addStretch();

    auto* clear = new VarnoButton(box);
    clear->InitProperties();
    clear->setCaption(tr("Clear"));
    clear->setTextAlign(2);
    clear->setBorderStyle(1);
    clear->setMinimumWidth(90);
    // The Qt signal, beside the handlers the other buttons use.
    connect(clear, &VarnoButton::clicked, log_, &EventLog::clear);
    row->addWidget(clear);
    layout->addLayout(row);
    return box;
}

VarnoButton* GalleryWindow::addButton(QGridLayout& grid, int row, int column, const QString& source)
{
    auto* button = new VarnoButton(grid.parentWidget());
    button->InitProperties();
    button->setMinimumSize(120, 34);
    grid.addWidget(button, row, column);
    listen(*button, std::make_unique<EventLogger>(*log_, source));
    return button;
}

void GalleryWindow::listen(VarnoButton& button, std::unique_ptr<VarnoButtonEvents> handler)
{
    button.setEventHandler(handler.get());
    handlers_.push_back(std::move(handler));
}

}  // namespace ombrix
