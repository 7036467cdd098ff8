#include "MainWindowView.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

#include "Artwork.h"
#include "ClickLabel.h"
#include "ScanView.h"
#include "Twips.h"
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
    const QStyle* style = QApplication::style();
    if (key == "mycomputer")
        return style->standardIcon(QStyle::SP_ComputerIcon);
    if (key == "floppy")
        return style->standardIcon(QStyle::SP_DriveFDIcon);
    if (key == "harddrive")
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    if (key == "cdrom")
        return style->standardIcon(QStyle::SP_DriveCDIcon);
    if (key == "networkdrive")
        return style->standardIcon(QStyle::SP_DriveNetIcon);
    if (key == "closedfolder")
        return style->standardIcon(QStyle::SP_DirClosedIcon);
    if (key == "openfolder")
        return style->standardIcon(QStyle::SP_DirOpenIcon);
    return style->standardIcon(QStyle::SP_MessageBoxQuestion);
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

QLabel* MainWindowView::addLabel(const char* name, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

void MainWindowView::buildControls()
{
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setGeometry(twipsRect(120, 120, 3375, 5535));
    tree_->setHeaderHidden(true);
    // Long paths scroll sideways rather than lose their ends.
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->header()->setStretchLastSection(false);
    tree_->setTextElideMode(Qt::ElideNone);
    tree_->setIconSize(QSize(16, 16));
    tree_->setExpandsOnDoubleClick(false);

    const auto picture = [this](const char* name, const QRect& place, const QPixmap& pixmap) {
        auto* image = new ClickLabel(this);
        image->setObjectName(QLatin1String(name));
        image->setGeometry(place);
        image->setPixmap(pixmap);
        return image;
    };
    picture("Image1", twipsRect(3600, 120, 5250, 375), Artwork::headerStrip({350, 25}));
    picture("Image5", twipsRect(7275, 120, 1560, 1515), Artwork::optionsArt({104, 101}));
    picture("Image2", twipsRect(3600, 3360, 5250, 375), Artwork::headerStrip({350, 25}));
    picture("Image4", twipsRect(7410, 3480, 1425, 1395), Artwork::statisticsArt({95, 93}));

    const int checkTops[3] = {720, 1080, 1680};
    for (int i = 0; i < 3; ++i) {
        checks_[i] = new QCheckBox(this);
        checks_[i]->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        checks_[i]->setGeometry(twipsRect(3840, checkTops[i], 200, 210));
    }

    const QFont regular = arial(8.25, false);
    addLabel("Label1", QStringLiteral("Scan subfolders"), twipsRect(4080, 720, 4455, 255));
    addLabel("Label2", QStringLiteral("Scan all Files"), twipsRect(4080, 1080, 4455, 255));
    addLabel("Label3", QStringLiteral("Scan everything, not just documents."), twipsRect(4080, 1320, 4695, 255))
        ->setFont(regular);
    addLabel("Label4", QStringLiteral("Attempt to remove threats."), twipsRect(4080, 1680, 4455, 255));
    addLabel("Label5", QStringLiteral("Clear this if you only want us to notify you of threats."),
             twipsRect(4080, 1920, 4695, 255))
        ->setFont(regular);
    addLabel("Label10", QStringLiteral("Scan Location:"), twipsRect(3840, 2400, 4815, 255));
    label11_ = addLabel("Label11", QString(), twipsRect(3840, 2640, 4815, 255));
    label11_->setFont(regular);
    label7_ = addLabel("Label7", QStringLiteral("Scan Date:"), twipsRect(3720, 3840, 4455, 255));
    label8_ = addLabel("Label8", QStringLiteral("Files Scanned:"), twipsRect(3720, 4200, 4455, 255));
    label9_ = addLabel("Label9", QStringLiteral("Files Infected:"), twipsRect(3720, 4560, 4455, 255));

    auto* image3 = picture("Image3", twipsRect(3840, 5160, 480, 480), Artwork::scanIcon({32, 32}));
    auto* image6 = picture("Image6", twipsRect(6600, 5160, 480, 480), Artwork::updateIcon({32, 32}));
    const auto link = [this](const char* name, const QString& text, const QRect& place) {
        auto* label = new ClickLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(place);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setFont(arial(9.75, false, true));
        label->setCursor(Artwork::handCursor());
        return label;
    };
    auto* label6 = link("Label6", QStringLiteral("Scan Now for Computer Threats"), twipsRect(4440, 5160, 1980, 480));
    auto* label12 = link("Label12", QStringLiteral("Check for Updates"), twipsRect(7200, 5280, 1620, 360));

    connect(label6, &ClickLabel::clicked, this, [this] {
        form_.Label6_Click();
        syncFromForm();
    });
    connect(image3, &ClickLabel::clicked, this, [this] {
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
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        form_.TreeView1.select(keyOf(current));
    });
    connect(tree_, &QTreeWidget::itemClicked, this, [this] {
        form_.TreeView1_Click();
        syncFromForm();
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] {
        form_.TreeView1_DblClick();
        syncFromForm();
    });
    const auto follow = [this](QTreeWidgetItem* item, bool expanded) {
        if (TreeEntry* entry = form_.TreeView1.find(keyOf(item)))
            entry->expanded = expanded;
    };
    connect(tree_, &QTreeWidget::itemExpanded, this, [follow](QTreeWidgetItem* item) { follow(item, true); });
    connect(tree_, &QTreeWidget::itemCollapsed, this, [follow](QTreeWidgetItem* item) { follow(item, false); });
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
