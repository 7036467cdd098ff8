#include "MainWindowView.h"

#include <utility>

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
#include "OptionCheckBox.h"
#include "ScanView.h"
#include "Twips.h"
#include "WindowAccessible.h"
#include "frmMain.h"

namespace ombrix {

namespace {

constexpr int kKeyRole = Qt::UserRole;

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
    setWindowTitle(QStringLiteral("Varno Ombrix"));
    setWindowIcon(Artwork::programIcon());
    setFont(arial(8.25, true));
    setFixedSize(px(8955), px(5835));
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

QLabel* MainWindowView::addLabel(QLabel* label, const char* name, const QString& text, const QRect& place)
{
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

void MainWindowView::buildControls()
{
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setAccessibleName(QStringLiteral("Drives and folders"));
    tree_->setGeometry(twipsRect(120, 120, 3375, 5535));
    tree_->setHeaderHidden(true);
    // Hidden, yet screen readers read the column's name.
    tree_->setHeaderLabel(QStringLiteral("Drives and folders"));
    // Every entry shows its whole name, however deep: the tree scrolls sideways.
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->header()->setStretchLastSection(false);
    tree_->setIconSize(QSize(16, 16));
    tree_->setExpandsOnDoubleClick(false);
    tree_->installEventFilter(this);

    const auto picture = [this](auto* image, const char* name, const char* description, const QRect& place,
                                const QPixmap& pixmap) {
        image->setObjectName(QLatin1String(name));
        image->setAccessibleName(QLatin1String(description));
        image->setGeometry(place);
        image->setPixmap(pixmap);
        return image;
    };
    picture(new QLabel(this), "Image1", "Options", twipsRect(3600, 120, 5250, 375), Artwork::headerStrip({350, 25}));
    picture(new QLabel(this), "Image5", "Documents under a magnifying glass", twipsRect(7275, 120, 1560, 1515),
            Artwork::optionsArt({104, 101}));
    picture(new QLabel(this), "Image2", "Last scan", twipsRect(3600, 3360, 5250, 375), Artwork::headerStrip({350, 25}));
    picture(new QLabel(this), "Image4", "A shield over a bar chart", twipsRect(7410, 3480, 1425, 1395),
            Artwork::statisticsArt({95, 93}));

    const QFont regular = arial(8.25, false);
    const struct {
        int top;
        const char* label;
        QString text;
        const char* noteLabel;
        QString note;
    } options[3] = {
        {720, "Label1", QStringLiteral("Scan subfolders"), nullptr, {}},
        {1080, "Label2", QStringLiteral("Scan all Files"), "Label3", QStringLiteral("Scan everything, not just documents.")},
        {1680, "Label4", QStringLiteral("Attempt to remove threats."), "Label5",
         QStringLiteral("Clear this if you only want us to notify you of threats.")},
    };
    for (int i = 0; i < 3; ++i) {
        checks_[i] = new OptionCheckBox(this);
        checks_[i]->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        checks_[i]->setGeometry(twipsRect(3840, options[i].top, 200, 210));
        checks_[i]->setAccessibleName(options[i].text);
        static_cast<BuddyLabel*>(addLabel(new BuddyLabel(this), options[i].label, options[i].text,
                                          twipsRect(4080, options[i].top, 4455, 255)))
            ->setBox(checks_[i]);
        if (!options[i].noteLabel)
            continue;
        checks_[i]->setAccessibleDescription(options[i].note);
        QLabel* note = addLabel(new BuddyLabel(this), options[i].noteLabel, options[i].note,
                                twipsRect(4080, options[i].top + 240, 4695, 255));
        note->setFont(regular);
        static_cast<BuddyLabel*>(note)->setBox(checks_[i]);
    }

    addLabel(new QLabel(this), "Label10", QStringLiteral("Scan Location:"), twipsRect(3840, 2400, 4815, 255));
    // Stored values and paths: one line each, shown as they are.
    const auto value = [this](Qt::TextElideMode mode, const char* name, const QRect& place) {
        auto* label = new ElidedLabel(mode, this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(place);
        return label;
    };
    label11_ = value(Qt::ElideMiddle, "Label11", twipsRect(3840, 2640, 4815, 255));
    label11_->setFont(regular);
    label7_ = value(Qt::ElideRight, "Label7", twipsRect(3720, 3840, 4455, 255));
    label8_ = value(Qt::ElideRight, "Label8", twipsRect(3720, 4200, 4455, 255));
    label9_ = value(Qt::ElideRight, "Label9", twipsRect(3720, 4560, 4455, 255));

    image3_ = picture(new ClickLabel(this), "Image3", "Scan Now for Computer Threats", twipsRect(3840, 5160, 480, 480),
                      Artwork::scanIcon({32, 32}));
    auto* image6 = picture(new ClickLabel(this), "Image6", "Check for Updates", twipsRect(6600, 5160, 480, 480),
                           Artwork::updateIcon({32, 32}));
    const auto link = [this](const char* name, const QString& text, const QRect& place) {
        auto* label = new ClickLabel(this);
        addLabel(label, name, text, place);
        label->setFont(arial(9.75, false, true));
        label->setCursor(Artwork::handCursor());
        label->setFocusPolicy(Qt::StrongFocus);
        return label;
    };
    label6_ = link("Label6", QStringLiteral("Scan Now for Computer Threats"), twipsRect(4440, 5160, 1980, 480));
    auto* label12 = link("Label12", QStringLiteral("Check for Updates"), twipsRect(7200, 5280, 1620, 360));

    setTabOrder(tree_, checks_[0]);
    setTabOrder(checks_[0], checks_[1]);
    setTabOrder(checks_[1], checks_[2]);
    setTabOrder(checks_[2], label6_);
    setTabOrder(label6_, label12);

    connect(label6_, &ClickLabel::clicked, this, [this] {
        form_.Label6_Click();
        syncFromForm();
    });
    connect(image3_, &ClickLabel::clicked, this, [this] {
        form_.Image3_Click();
        syncFromForm();
    });
    connect(label12, &ClickLabel::clicked, this, [this] { form_.Label12_Click(); });
    connect(image6, &ClickLabel::clicked, this, [this] { form_.Image6_Click(); });
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
        form_.TreeView1.select(keyOf(current));
        form_.TreeView1_Click();
        label11_->setText(display(form_.Label11));
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &MainWindowView::loadSelectedEntry);
    const auto follow = [this](QTreeWidgetItem* item, bool expanded) {
        if (TreeEntry* entry = form_.TreeView1.find(keyOf(item)))
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
    if (form_.TreeView1.entries().empty() || !items_.contains(form_.TreeView1.entries().front().key)) {
        tree_->clear();
        items_.clear();
    }
    for (const TreeEntry& entry : form_.TreeView1.entries()) {
        if (items_.contains(entry.key))
            continue;
        QTreeWidgetItem* parent = entry.parentKey.empty() ? nullptr : items_.at(entry.parentKey);
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
        item->setText(0, display(entry.text));
        item->setIcon(0, entryIcon(entry));
        item->setData(0, kKeyRole, QByteArray::fromStdString(entry.key));
        items_.emplace(entry.key, item);
    }
    for (const TreeEntry& entry : form_.TreeView1.entries())
        items_.at(entry.key)->setExpanded(entry.expanded);
    if (const TreeEntry* selected = form_.TreeView1.selected())
        tree_->setCurrentItem(items_.at(selected->key));
}

std::string MainWindowView::keyOf(const QTreeWidgetItem* item) const
{
    return item ? item->data(0, kKeyRole).toByteArray().toStdString() : std::string();
}

void MainWindowView::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QColor(224, 224, 224));
    painter.setBrush(Qt::NoBrush);
    // An outline drawn inside its box, as the designer's shapes are.
    for (const QRect& frame : {twipsRect(3600, 120, 5250, 3015), twipsRect(3600, 3360, 5250, 1530)})
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void MainWindowView::closeEvent(QCloseEvent* event)
{
    closing_ = true;
    form_.close();
    closing_ = false;
    event->accept();
}

}  // namespace ombrix
