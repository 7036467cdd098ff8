#include "MainWindowView.h"

#include <string_view>
#include <utility>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

#include "Artwork.h"
#include "BuddyLabel.h"
#include "ClickLabel.h"
#include "ElidedLabel.h"
#include "MainForm.h"
#include "OptionCheckBox.h"
#include "ScanView.h"
#include "Twips.h"
#include "WindowAccessible.h"
#include "frmMain.h"

namespace ombrix {

namespace {

// Texts in the program and in file names are bytes; they are decoded with
// the locale for display only.
QString display(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QFont arial(qreal points, bool bold, bool underline = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QIcon imageListPicture(const std::string& key)
{
    static const std::pair<const char*, QStyle::StandardPixmap> kPictures[] = {
        {"mycomputer", QStyle::SP_ComputerIcon},   {"floppy", QStyle::SP_DriveFDIcon},
        {"harddrive", QStyle::SP_DriveHDIcon},     {"cdrom", QStyle::SP_DriveCDIcon},
        {"networkdrive", QStyle::SP_DriveNetIcon}, {"closedfolder", QStyle::SP_DirClosedIcon},
        {"openfolder", QStyle::SP_DirOpenIcon},
    };
    QStyle::StandardPixmap picture = QStyle::SP_MessageBoxQuestion;
    for (const auto& [name, standard] : kPictures)
        if (key == name)
            picture = standard;
    return QApplication::style()->standardIcon(picture);
}

// The entry's picture, with its selected picture shown while it is selected.
QIcon entryIcon(const TreeEntry& entry)
{
    const QIcon normal = imageListPicture(entry.image);
    if (entry.selectedImage.empty())
        return normal;
    const QIcon selected = imageListPicture(entry.selectedImage);
    QIcon icon;
    for (const QSize& size : {QSize(16, 16), QSize(32, 32)}) {
        icon.addPixmap(normal.pixmap(size), QIcon::Normal);
        icon.addPixmap(selected.pixmap(size), QIcon::Selected);
    }
    return icon;
}

Qt::CheckState checkState(std::int16_t value)
{
    switch (value) {
    case 0: return Qt::Unchecked;
    case 2: return Qt::PartiallyChecked;
    default: return Qt::Checked;
    }
}

}  // namespace

MainWindowView::MainWindowView(frmMain& form) : form_(form)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kMainForm.title));
    setWindowIcon(Artwork::programIcon());
    setFont(arial(kMainForm.fontPoints, true));
    setFixedSize(px(kMainForm.clientWidth), px(kMainForm.clientHeight));
    installWindowAccessibility();
    buildControls();
    connectTree();
    scanView_ = new ScanView(form_.scanWindow(), this);
    form_.attachView(this);
}

MainWindowView::~MainWindowView()
{
    form_.attachView(nullptr);
}

void MainWindowView::setWindowVisible(bool visible)
{
    if (visible)
        syncScanAction();
    // A close under way hides the window itself.
    if (!closing_)
        setVisible(visible);
}

void MainWindowView::showScanWindow()
{
    scanView_->show();
}

void MainWindowView::setScanWindowCaption(const std::string& caption)
{
    scanView_->setWindowTitle(display(caption));
}

QPixmap MainWindowView::artwork(const ControlDescription& description)
{
    const QSize size(px(description.rect.width), px(description.rect.height));
    const std::string_view key = description.text;
    if (key == "headerStrip")
        return Artwork::headerStrip(size);
    if (key == "optionsArt")
        return Artwork::optionsArt(size);
    if (key == "statisticsArt")
        return Artwork::statisticsArt(size);
    return key == "scanIcon" ? Artwork::scanIcon(size) : Artwork::updateIcon(size);
}

QWidget* MainWindowView::build(const ControlDescription& description)
{
    const QString text = QString::fromLatin1(description.text);
    switch (description.kind) {
    case ControlKind::Tree:
        tree_ = new QTreeWidget(this);
        tree_->setHeaderHidden(true);
        // Hidden, yet screen readers read the column's name.
        tree_->setHeaderLabel(QString::fromLatin1(description.accessibleName));
        // Every entry shows its whole name, however deep: the tree scrolls sideways.
        tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        tree_->header()->setStretchLastSection(false);
        tree_->setIconSize(QSize(16, 16));
        tree_->setExpandsOnDoubleClick(false);
        tree_->installEventFilter(this);
        return tree_;
    case ControlKind::Picture: {
        // An icon beside a link acts as the link.
        QLabel* picture = *description.partner ? new ClickLabel(this) : new QLabel(this);
        picture->setPixmap(artwork(description));
        return picture;
    }
    case ControlKind::CheckBox:
        return new OptionCheckBox(this);
    case ControlKind::Label: {
        QLabel* label = *description.partner ? new BuddyLabel(this) : new QLabel(this);
        label->setText(text);
        label->setWordWrap(true);
        return label;
    }
    case ControlKind::Value:
        // Stored values and paths: one line each, shown as they are.
        return new ElidedLabel(description.path ? Qt::ElideMiddle : Qt::ElideRight, this);
    case ControlKind::Link: {
        auto* link = new ClickLabel(text, this);
        link->setWordWrap(true);
        link->setCursor(Artwork::handCursor());
        link->setFocusPolicy(Qt::StrongFocus);
        return link;
    }
    default:
        // Shapes are painted on the window.
        return nullptr;
    }
}

void MainWindowView::buildControls()
{
    std::vector<QWidget*> tabOrder(kMainControls.size(), nullptr);
    for (const ControlDescription& description : kMainControls) {
        QWidget* widget = build(description);
        if (!widget)
            continue;
        widget->setObjectName(QLatin1String(description.name));
        const TwipsRect& r = description.rect;
        widget->setGeometry(twipsRect(r.left, r.top, r.width, r.height));
        widget->setFont(arial(description.points > 0 ? description.points : kMainForm.fontPoints, description.bold,
                              description.underline));
        if (*description.accessibleName)
            widget->setAccessibleName(QLatin1String(description.accessibleName));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
        if (description.tabIndex >= 0)
            tabOrder[static_cast<std::size_t>(description.tabIndex)] = widget;
        controls_.emplace(description.name, widget);
    }
    std::erase(tabOrder, nullptr);
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    for (const ControlDescription& description : kMainControls) {
        if (!*description.partner)
            continue;
        QWidget* partner = controls_.at(description.partner);
        if (auto* label = dynamic_cast<BuddyLabel*>(controls_.at(description.name)))
            label->setBox(static_cast<QAbstractButton*>(partner));
        // An option's second line describes it further.
        const QString text = QString::fromLatin1(description.text);
        if (description.kind == ControlKind::Label && partner->accessibleName() != text)
            partner->setAccessibleDescription(text);
    }
    // A click on a box, an option's text or a link (or its icon) is the window's to answer.
    for (const auto& [name, widget] : controls_) {
        const auto clicked = [this, name] {
            events_.click(name);
            syncFromForm();
        };
        if (auto* box = qobject_cast<QAbstractButton*>(widget))
            connect(box, &QAbstractButton::clicked, this, clicked);
        else if (auto* link = qobject_cast<ClickLabel*>(widget))
            connect(link, &ClickLabel::clicked, this, clicked);
    }
}

void MainWindowView::connectTree()
{
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        events_.treeSelected(mirror_.keyOf(current));
        static_cast<QLabel*>(controls_.at("Label11"))->setText(display(events_.value("Label11")));
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] {
        events_.treeActivated();
        syncFromForm();
    });
    connect(tree_, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { events_.treeExpanded(mirror_.keyOf(item), true); });
    connect(tree_, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { events_.treeExpanded(mirror_.keyOf(item), false); });
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tree_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter && events_.key(tree_->objectName().toStdString(), FormKey::Enter)) {
            syncFromForm();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindowView::syncScanAction()
{
    const QString why = QString::fromStdString(events_.scanWaitReason());
    for (const auto& [name, widget] : controls_) {
        if (MainViewEvents::startsScan(name)) {
            widget->setEnabled(why.isEmpty());
            widget->setToolTip(why);
        }
    }
}

void MainWindowView::syncFromForm()
{
    for (const ControlDescription& description : kMainControls) {
        if (description.kind == ControlKind::CheckBox) {
            auto* box = static_cast<QCheckBox*>(controls_.at(description.name));
            const std::int16_t value = events_.option(description.name);
            box->setTristate(value == 2);
            box->setCheckState(checkState(value));
        } else if (description.kind == ControlKind::Value) {
            static_cast<QLabel*>(controls_.at(description.name))->setText(display(events_.value(description.name)));
        }
    }
    syncScanAction();
    syncTree();
}

void MainWindowView::syncTree()
{
    const QSignalBlocker blocker(tree_);
    mirror_.sync(
        form_.TreeView1, [this] { tree_->clear(); },
        [this](const TreeEntry& entry, QTreeWidgetItem* parent) {
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
            item->setText(0, display(entry.text));
            item->setIcon(0, entryIcon(entry));
            return item;
        },
        [](QTreeWidgetItem* item, bool expanded) { item->setExpanded(expanded); },
        [this](QTreeWidgetItem* item) { tree_->setCurrentItem(item); });
}

void MainWindowView::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QColor(224, 224, 224));
    painter.setBrush(Qt::NoBrush);
    // An outline drawn inside its box, as the designer's shapes are.
    for (const ControlDescription& shape : kMainControls) {
        if (shape.kind == ControlKind::Shape)
            painter.drawRect(twipsRect(shape.rect.left, shape.rect.top, shape.rect.width, shape.rect.height)
                                 .adjusted(0, 0, -1, -1));
    }
}

void MainWindowView::closeEvent(QCloseEvent* event)
{
    closing_ = true;
    form_.close();
    closing_ = false;
    event->accept();
}

}  // namespace ombrix
