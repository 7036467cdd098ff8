#include "QuarantineView.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>

#include "Artwork.h"
#include "ElidedLabel.h"
#include "ElidedToolTips.h"
#include "EntryModel.h"
#include "Twips.h"
#include "WindowAccessible.h"

namespace ombrix {

namespace {

QString decoded(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QTableView* makeList(QWidget* parent)
{
    auto* list = new QTableView(parent);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(false);
    list->setWordWrap(false);
    // Tab leaves the list for the buttons, as everywhere else.
    list->setTabKeyNavigation(false);
    list->setIconSize(QSize(16, 16));
    // A long folder loses its middle, so both of its ends stay in sight.
    list->setTextElideMode(Qt::ElideMiddle);
    list->setItemDelegate(new ElidedToolTips(list));
    list->verticalHeader()->hide();
    list->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setSortIndicatorShown(true);
    list->horizontalHeader()->setStretchLastSection(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

}  // namespace

QuarantineView::QuarantineView(frmQuarantine& form, QWidget* parent) : QWidget(parent, Qt::Window), form_(form)
{
    setObjectName(QStringLiteral("frmQuarantine"));
    setWindowTitle(QString::fromLatin1(kQuarantineForm.title));
    setWindowIcon(Artwork::magnifier());
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(kQuarantineForm.fontPoints);
    setFont(arial);
    setFixedSize(px(kQuarantineForm.clientWidth), px(kQuarantineForm.clientHeight));
    installWindowAccessibility();

    std::vector<QWidget*> tabOrder(kQuarantineControls.size(), nullptr);
    for (std::size_t i = 0; i < kQuarantineControls.size(); ++i) {
        const ControlDescription& description = kQuarantineControls[i];
        controls_[i] = build(description, static_cast<QuarantineControl>(i));
        if (description.tabIndex >= 0)
            tabOrder[static_cast<std::size_t>(description.tabIndex)] = controls_[i];
    }
    std::erase(tabOrder, nullptr);
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    // The window opens with the keyboard on its first stop, the list.
    tabOrder.front()->setFocus();
    buildMenu();
    sync();
}

QTableView* QuarantineView::list() const
{
    return static_cast<QTableView*>(control(QuarantineControl::ListView1));
}

QWidget* QuarantineView::build(const ControlDescription& description, QuarantineControl control)
{
    QWidget* widget = nullptr;
    switch (description.kind) {
    case ControlKind::Picture: {
        auto* picture = new QLabel(this);
        picture->setPixmap(Artwork::banner(px(description.rect.width)));
        widget = picture;
        break;
    }
    case ControlKind::Label:
    default:  // the only other kind a window of text and buttons needs
        widget = new ElidedLabel(Qt::ElideRight, this);
        break;
    case ControlKind::List: {
        QTableView* list = makeList(this);
        model_ = new EntryModel(form_, this);
        list->setModel(model_);
        for (std::size_t column = 0; column < kQuarantineColumns.size(); ++column)
            list->setColumnWidth(static_cast<int>(column), px(kQuarantineColumns[column].width));
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &QuarantineView::forwardSelection);
        connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex& current) {
                    if (!applyingForm_)
                        form_.setCurrentRow(current.isValid() ? std::optional<std::size_t>(current.row())
                                                              : std::nullopt);
                });
        connect(list->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this](int section) { act([this, section] { form_.sortBy(static_cast<QuarantineColumn>(section)); }); });
        list->viewport()->installEventFilter(this);
        widget = list;
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(QString::fromLatin1(description.text), this);
        // Enter presses the button that has the keyboard, as in a dialog.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, [this, control] { act([this, control] { form_.click(control); }); });
        widget = button;
        break;
    }
    }
    widget->setObjectName(QLatin1String(description.name));
    widget->setGeometry(twipsRect(description.rect.left, description.rect.top, description.rect.width,
                                  description.rect.height));
    if (description.bold) {
        QFont bold = font();
        bold.setBold(true);
        widget->setFont(bold);
    }
    if (*description.accessibleName)
        widget->setAccessibleName(QString::fromLatin1(description.accessibleName));
    if (description.tabIndex >= 0)
        widget->installEventFilter(this);
    return widget;
}

void QuarantineView::buildMenu()
{
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("mnuQuarantine"));
    for (const QuarantineControl control : kQuarantineMenu) {
        QAction* entry = menu_->addAction(QString::fromLatin1(describe(control).text));
        connect(entry, &QAction::triggered, this, [this, control] { act([this, control] { form_.click(control); }); });
    }
}

void QuarantineView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        act([this] { form_.refresh(); });
}

void QuarantineView::act(const std::function<void()>& action)
{
    action();
    sync();
}

void QuarantineView::sync()
{
    static_cast<QLabel*>(control(QuarantineControl::Label1))->setText(decoded(form_.statusText()));
    for (const QuarantineControl button : kQuarantineMenu)
        control(button)->setEnabled(form_.enabled(button));
    list()->horizontalHeader()->setSortIndicator(static_cast<int>(form_.sortColumn()),
                                                 form_.sortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    const int rowsBefore = model_->rowCount();
    model_->catchUp();
    selectFromForm();
    // A list that empties takes the keyboard along; it goes on to the list, never nowhere.
    if (rowsBefore != model_->rowCount() && (!focusWidget() || !focusWidget()->isEnabled()))
        list()->setFocus();
}

void QuarantineView::selectFromForm()
{
    const QScopedValueRollback guard(applyingForm_, true);
    QItemSelection selection;
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (form_.isSelected(static_cast<std::size_t>(row)))
            selection.select(model_->index(row, 0), model_->index(row, model_->columnCount() - 1));
    }
    QItemSelectionModel* selected = list()->selectionModel();
    selected->select(selection, QItemSelectionModel::ClearAndSelect);
    const auto current = form_.currentRow();
    selected->setCurrentIndex(current ? model_->index(static_cast<int>(*current), 0) : QModelIndex(),
                              QItemSelectionModel::NoUpdate);
}

void QuarantineView::forwardSelection(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (applyingForm_)
        return;
    const auto forward = [this](const QItemSelection& ranges, bool isSelected) {
        for (const QItemSelectionRange& range : ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row)
                form_.select(static_cast<std::size_t>(row), isSelected);
        }
    };
    forward(deselected, false);
    forward(selected, true);
    for (const QuarantineControl button : kQuarantineMenu)
        control(button)->setEnabled(form_.enabled(button));
}

bool QuarantineView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        return keyPressed(watched, static_cast<const QKeyEvent&>(*event));
    if (event->type() == QEvent::ContextMenu && watched == list()->viewport()) {
        // The menu key has opened the menu already; a right click opens it here,
        // for the row the press made current.
        const auto& request = static_cast<const QContextMenuEvent&>(*event);
        if (request.reason() == QContextMenuEvent::Mouse && form_.menuRequested()) {
            sync();
            popUpMenu(request.globalPos());
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool QuarantineView::keyPressed(QObject* watched, const QKeyEvent& key)
{
    std::optional<FormKey> formKey;
    if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && watched == list())
        formKey = FormKey::Enter;
    else if (key.key() == Qt::Key_Delete && key.modifiers() == Qt::NoModifier)
        formKey = FormKey::Delete;
    else if (key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier))
        formKey = FormKey::Menu;
    else if (key.key() == Qt::Key_F5)
        formKey = FormKey::Refresh;
    if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier)
        close();
    if (!formKey)
        return key.key() == Qt::Key_Escape;
    const bool showMenu = form_.keyPressed(*formKey);
    sync();
    if (showMenu) {
        const auto current = form_.currentRow();
        QRect place = current ? list()->visualRect(model_->index(static_cast<int>(*current), 0)) : QRect();
        if (current)
            list()->scrollTo(model_->index(static_cast<int>(*current), 0));
        popUpMenu(list()->viewport()->mapToGlobal(place.isValid() ? place.bottomLeft() : QPoint()));
    }
    return true;
}

void QuarantineView::popUpMenu(const QPoint& globalPosition)
{
    for (std::size_t i = 0; i < kQuarantineMenu.size(); ++i)
        menu_->actions()[static_cast<qsizetype>(i)]->setEnabled(form_.enabled(kQuarantineMenu[i]));
    menu_->exec(globalPosition);
}

}  // namespace ombrix
