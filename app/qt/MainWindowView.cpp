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

std::int16_t checkValue(int state)
{
    switch (static_cast<Qt::CheckState>(state)) {
    case Qt::Unchecked: return 0;
    case Qt::PartiallyChecked: return 2;
    default: return 1;
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
    connectControls();
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
    for (int i = 0; i < 3; ++i)
        checks_[i] = static_cast<QCheckBox*>(controls_.at("Check" + std::to_string(i + 1)));
    label6_ = static_cast<ClickLabel*>(controls_.at("Label6"));
    image3_ = static_cast<ClickLabel*>(controls_.at("Image3"));
    label7_ = static_cast<ElidedLabel*>(controls_.at("Label7"));
    label8_ = static_cast<ElidedLabel*>(controls_.at("Label8"));
    label9_ = static_cast<ElidedLabel*>(controls_.at("Label9"));
    label11_ = static_cast<ElidedLabel*>(controls_.at("Label11"));

    const auto onClick = [this](const char* name, auto handler) {
        connect(static_cast<ClickLabel*>(controls_.at(name)), &ClickLabel::clicked, this, [this, handler] {
            (form_.*handler)();
            syncFromForm();
        });
    };
    onClick("Label6", &frmMain::Label6_Click);
    onClick("Image3", &frmMain::Image3_Click);
    onClick("Label12", &frmMain::Label12_Click);
    onClick("Image6", &frmMain::Image6_Click);
}

void MainWindowView::connectControls()
{
    std::int16_t* values[3] = {&form_.Check1, &form_.Check2, &form_.Check3};
    for (int i = 0; i < 3; ++i) {
        connect(checks_[i], &QCheckBox::stateChanged, this, [value = values[i]](int state) {
            *value = checkValue(state);
        });
    }
    // Whatever moves the highlight (a click, the arrows, typing a name) sets
    // what the next scan covers.
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        form_.TreeView1.select(mirror_.keyOf(current));
        form_.TreeView1_Click();
        label11_->setText(display(form_.Label11));
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &MainWindowView::loadSelectedEntry);
    const auto follow = [this](QTreeWidgetItem* item, bool expanded) {
        if (TreeEntry* entry = form_.TreeView1.find(mirror_.keyOf(item)))
            entry->expanded = expanded;
    };
    connect(tree_, &QTreeWidget::itemExpanded, this, [follow](QTreeWidgetItem* item) { follow(item, true); });
    connect(tree_, &QTreeWidget::itemCollapsed, this, [follow](QTreeWidgetItem* item) { follow(item, false); });
}

void MainWindowView::loadSelectedEntry()
{
    form_.TreeView1_DblClick();
    syncFromForm();
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on a tree entry does what a double click does.
    if (watched == tree_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && tree_->currentItem()) {
            loadSelectedEntry();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindowView::syncScanAction()
{
    // A scan whose window was closed may still be winding down; a second one
    // cannot start until it ends, and the user is told why.
    const bool available = !form_.scanWindow().scanRunning();
    const QString why = available ? QString() : QStringLiteral("A scan is finishing");
    for (ClickLabel* action : {label6_, image3_}) {
        action->setEnabled(available);
        action->setToolTip(why);
    }
}

void MainWindowView::syncFromForm()
{
    const std::int16_t values[3] = {form_.Check1, form_.Check2, form_.Check3};
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker blocker(checks_[i]);
        checks_[i]->setTristate(values[i] == 2);
        checks_[i]->setCheckState(checkState(values[i]));
    }
    label7_->setText(display(form_.Label7));
    label8_->setText(display(form_.Label8));
    label9_->setText(display(form_.Label9));
    label11_->setText(display(form_.Label11));
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
