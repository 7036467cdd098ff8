#include "ScanView.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QShowEvent>
#include <QWindow>

#include "Artwork.h"
#include "ElidedLabel.h"
#include "ElidedToolTips.h"
#include "FindingListView.h"
#include "FindingModel.h"
#include "FocusButton.h"
#include "RuledFrame.h"
#include "ScanForm.h"
#include "Twips.h"
#include "ViewLayout.h"
#include "WindowAccessible.h"
#include "frmScan.h"

namespace ombrix {

namespace {

// A person cannot follow more than about 30 changes a second.
constexpr int kRepaintIntervalMs = 33;

QString decoded(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QFont boldFont(QFont font)
{
    font.setBold(true);
    return font;
}

bool anyWindowVisible()
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    return std::any_of(windows.begin(), windows.end(), [](const QWindow* w) { return w->isVisible(); });
}

MouseButton toMouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::LeftButton:
        return MouseButton::Left;
    default:
        return MouseButton::Middle;
    }
}

}  // namespace

ScanView::ScanView(frmScan& form, QWidget* owner) : QWidget(owner, Qt::Window), form_(form)
{
    setObjectName(QStringLiteral("frmScan"));
    setWindowTitle(QString::fromLatin1(kScanForm.title));
    setWindowIcon(Artwork::magnifier());
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(kScanForm.fontPoints);
    setFont(arial);
    setFixedSize(px(kScanForm.clientWidth), px(kScanForm.clientHeight));
    installWindowAccessibility();

    buildControls();
    buildMenu();

    syncTimer_.setSingleShot(true);
    syncTimer_.setInterval(kRepaintIntervalMs);
    connect(&syncTimer_, &QTimer::timeout, this, &ScanView::sync);

    form_.attachView(this);
    sync();
}

ScanView::~ScanView()
{
    form_.attachView(nullptr);
}

QWidget* ScanView::build(const ControlDescription& description, QWidget* parent)
{
    switch (description.kind) {
    case ControlKind::Panel: {
        auto* panel = new RuledFrame(parent);
        panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
        return panel;
    }
    case ControlKind::Picture: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(std::string_view(description.text) == "banner" ? Artwork::banner(px(description.rect.width))
                                                                          : Artwork::magnifier());
        return picture;
    }
    case ControlKind::Label:
    case ControlKind::Value: {
        // A path loses its middle, not its end.
        QLabel* label = description.path ? new ElidedLabel(Qt::ElideMiddle, parent) : new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        labels_[static_cast<std::size_t>(*ScanViewEvents::labelOf(description.name))] = label;
        return label;
    }
    case ControlKind::Button:
        command1_ = new FocusButton(parent);
        connect(command1_, &QPushButton::clicked, this, [this] { form_.Command1_Click(); });
        return command1_;
    case ControlKind::List:
        listView1_ = new FindingListView(parent);
        listView1_->setItemDelegate(new ElidedToolTips(listView1_));
        return listView1_;
    case ControlKind::Rule: {
        const TwipsRect& r = description.rect;
        static_cast<RuledFrame*>(parent)->addRule(px(r.left), px(r.top), px(r.left + r.width));
        return nullptr;
    }
    case ControlKind::Shape:
        // The window's one shape outlines its whole panel: the panel's own frame, plain.
        static_cast<QFrame*>(parent)->setFrameStyle(QFrame::Box | QFrame::Plain);
        return nullptr;
    default:
        return nullptr;
    }
}

void ScanView::buildControls()
{
    std::unordered_map<std::string_view, QWidget*> panels;
    for (const ControlDescription& description : kScanControls) {
        QWidget* parent = *description.parent ? panels.at(description.parent) : this;
        QWidget* widget = build(description, parent);
        if (!widget)
            continue;
        widget->setObjectName(QLatin1String(description.name));
        const TwipsRect& r = description.rect;
        widget->setGeometry(twipsRect(r.left, r.top, r.width, r.height));
        if (description.bold)
            widget->setFont(boldFont(font()));
        if (*description.accessibleName)
            widget->setAccessibleName(QLatin1String(description.accessibleName));
        if (description.kind == ControlKind::Panel)
            panels.emplace(description.name, widget);
    }
    frame1_ = static_cast<QFrame*>(panels.at("Frame1"));
    model_ = new FindingModel(form_, imageList1_, this);
    listView1_->setModel(model_);

    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        selectFromForm(0, model_->rowCount() - 1);
    });
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { selectFromForm(first, last); });
    connect(listView1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ScanView::forwardSelection);
    connect(listView1_, &FindingListView::rightPressedOnRow, this, &ScanView::rightPressed);
    connect(listView1_, &FindingListView::mouseReleased, this, &ScanView::listMouseReleased);
    connect(listView1_, &FindingListView::menuKeyPressed, this, &ScanView::menuKeyPressed);
}

void ScanView::buildMenu()
{
    badguymenu_ = new QMenu(QStringLiteral("Bad Guy Menu"), this);
    badguymenu_->setObjectName(QStringLiteral("badguymenu"));
    mnuDeletethisFile_ = badguymenu_->addAction(QStringLiteral("Delete this File"));
    mnuOpenFolder_ = badguymenu_->addAction(QStringLiteral("Open Folder"));
    connect(mnuDeletethisFile_, &QAction::triggered, this, [this] { form_.mnuDeletethisFile_Click(); });
    connect(mnuOpenFolder_, &QAction::triggered, this, [this] { form_.mnuOpenFolder_Click(); });
}

QTreeView* ScanView::listView1() const
{
    return listView1_;
}

void ScanView::stateChanged()
{
    if (!syncTimer_.isActive())
        syncTimer_.start();
}

void ScanView::processEvents()
{
    QCoreApplication::processEvents();
}

void ScanView::hideWindow()
{
    hide();
}

void ScanView::setScanRunning(bool running)
{
    if (running) {
        quitOnLastWindowClosed_ = QGuiApplication::quitOnLastWindowClosed();
        QGuiApplication::setQuitOnLastWindowClosed(false);
        return;
    }
    QGuiApplication::setQuitOnLastWindowClosed(quitOnLastWindowClosed_);
    // The last window may have closed during the run, when nothing could end
    // the program; end it now. (Does nothing outside the event loop.)
    if (quitOnLastWindowClosed_ && !anyWindowVisible())
        QCoreApplication::quit();
}

void ScanView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    form_.load();
    sync();
    centreOnOwner();
}

void ScanView::keyPressEvent(QKeyEvent* event)
{
    // Keys the focused control leaves unused come here.
    std::optional<FormKey> key;
    if (event->key() == Qt::Key_Escape)
        key = FormKey::Escape;
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = FormKey::Enter;
    const QWidget* focus = focusWidget();
    if (!key || !events_.key(focus ? focus->objectName().toStdString() : std::string(), *key))
        QWidget::keyPressEvent(event);
}

void ScanView::closeEvent(QCloseEvent* event)
{
    form_.Form_Unload();
    event->accept();
}

void ScanView::sync()
{
    syncTimer_.stop();
    for (std::size_t i = 0; i < labels_.size(); ++i)
        labels_[i]->setText(decoded(form_.labelText(static_cast<ScanLabel>(i))));
    command1_->setText(decoded(form_.buttonCaption()));
    fitResult();
    model_->catchUp();
}

void ScanView::fitResult()
{
    // The final message is longer than the design's label: it grows to the
    // right inside Frame1, where nothing else stands, and never wraps.
    QLabel* result = label(ScanLabel::Label6);
    const int room = frame1_->contentsRect().right() + 1 - result->x();
    const int design = px(kScanForm.control("Label6").rect.width);
    result->resize(ViewLayout::FittedWidth(result->sizeHint().width(), design, room), result->height());
}

void ScanView::applyColumnWidths()
{
    if (model_->columnCount() == 0)
        return;
    const int half = ViewLayout::FindingColumnWidth(
        listView1_->contentsRect().width(), listView1_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, listView1_));
    listView1_->header()->resizeSection(0, half);
    listView1_->header()->resizeSection(1, half);
}

void ScanView::selectFromForm(int first, int last)
{
    const auto& rows = form_.findings();
    QItemSelection selection;
    int runStart = -1;
    for (int row = first; row <= last + 1; ++row) {
        const bool selected = row <= last && rows[static_cast<std::size_t>(row)].Selected;
        if (selected && runStart < 0) {
            runStart = row;
        } else if (!selected && runStart >= 0) {
            selection.select(model_->index(runStart, 0), model_->index(row - 1, 0));
            runStart = -1;
        }
    }
    if (selection.isEmpty())
        return;
    const ScanViewEvents::ShowingForm showing(events_);
    listView1_->selectionModel()->select(selection,
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void ScanView::forwardSelection(const QItemSelection& selected, const QItemSelection& deselected)
{
    const auto forward = [this](const QItemSelection& ranges, bool isSelected) {
        for (const QItemSelectionRange& range : ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row)
                events_.rowSelected(row, isSelected);
        }
    };
    forward(deselected, false);
    forward(selected, true);
    // The clicked row is the one the user made selected last.
    const QModelIndex current = listView1_->currentIndex();
    if (current.isValid() && listView1_->selectionModel()->isSelected(current))
        events_.rowSelected(current.row(), true);
}

void ScanView::rightPressed(int row)
{
    if (listView1_->selectionModel()->isRowSelected(row))
        events_.rowSelected(row, true);
}

void ScanView::listMouseReleased(Qt::MouseButton button, const QPoint& globalPosition)
{
    popUpMenu(form_.ListView1_MouseUp(toMouseButton(button)), globalPosition);
}

void ScanView::menuKeyPressed()
{
    QItemSelectionModel* selection = listView1_->selectionModel();
    const QModelIndex current = listView1_->currentIndex();
    const QModelIndex row = model_->index(
        events_.menuKey(current.isValid() ? current.row() : -1, selection->isRowSelected(current.row()),
                        [&](int only) {
                            selection->select(model_->index(only, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                        }),
        0);
    listView1_->scrollTo(row);
    const QRect place = row.isValid() ? listView1_->visualRect(row) : QRect();
    // The key stands for the right button, released over that row.
    popUpMenu(form_.ListView1_MouseUp(MouseButton::Right),
              listView1_->viewport()->mapToGlobal(place.isValid() ? place.bottomLeft() : QPoint()));
}

void ScanView::popUpMenu(const std::optional<BadGuyMenu>& menu, const QPoint& globalPosition)
{
    if (!menu)
        return;
    mnuDeletethisFile_->setEnabled(menu->deleteUsable);
    badguymenu_->exec(globalPosition);
}

void ScanView::centreOnOwner()
{
    const auto box = [](const QRect& r) { return ViewLayout::Box{r.x(), r.y(), r.width(), r.height()}; };
    const QWidget* owner = parentWidget();
    const ViewLayout::Box ownerBox = owner ? box(owner->frameGeometry()) : ViewLayout::Box{};
    const QRect frame = frameGeometry();
    const ViewLayout::Place place = ViewLayout::CentredOn(owner ? &ownerBox : nullptr, frame.width(), frame.height(),
                                                          box(screen()->availableGeometry()));
    move(place.left, place.top);
}

}  // namespace ombrix
