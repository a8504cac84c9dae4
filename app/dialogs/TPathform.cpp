#include "app/dialogs/TPathform.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kReadRole = Qt::UserRole + 1;   // its folders have been read
}  // namespace

TPathform::TPathform(QWidget* parent) : QDialog(parent)
{
    setObjectName("Pathform");
    setWindowTitle("Select path");
    resize(300, 340);

    Heading = new QLabel("Select path", this);
    QFont f = Heading->font();
    f.setBold(true);
    Heading->setFont(f);

    DirectoryListBox1 = new QTreeWidget(this);
    DirectoryListBox1->setObjectName("DirectoryListBox1");
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setColumnCount(1);
    connect(DirectoryListBox1, &QTreeWidget::itemExpanded, this, &TPathform::Populate);

    // The "drives" of this system: the mounted file systems.
    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName("DriveComboBox1");
    DriveComboBox1->addItem("/");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && volume.rootPath() != "/")
            DriveComboBox1->addItem(volume.rootPath());
    connect(DriveComboBox1, &QComboBox::currentIndexChanged, this, &TPathform::DriveChanged);

    auto* buttons = new QDialogButtonBox(this);
    OkBtn = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    CancelBtn = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    OkBtn->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading);
    layout->addWidget(DirectoryListBox1, 1);
    layout->addWidget(DriveComboBox1);
    layout->addWidget(buttons);
}

void TPathform::DriveChanged(int index)
{
    SetDirectory(DriveComboBox1->itemText(index));
}

void TPathform::Populate(QTreeWidgetItem* item)
{
    if (item->data(0, kReadRole).toBool())
        return;
    item->setData(0, kReadRole, true);
    const QString path = item->data(0, kPathRole).toString();
    for (const QFileInfo& folder :
         QDir(path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* child = new QTreeWidgetItem(item, {folder.fileName()});
        child->setData(0, kPathRole, folder.absoluteFilePath());
        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* TPathform::Child(QTreeWidgetItem* parent, const QString& name)
{
    Populate(parent);
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    // A hidden folder is listed only when it is on the way down.
    auto* child = new QTreeWidgetItem(parent, {name});
    child->setData(0, kPathRole, QDir(parent->data(0, kPathRole).toString()).filePath(name));
    child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return child;
}

void TPathform::SetDirectory(const QString& path)
{
    QDir dir(path.isEmpty() ? QDir::homePath() : QDir::cleanPath(path));
    while (!dir.exists() && !dir.isRoot() && dir.cdUp()) {
    }
    if (!dir.exists())
        dir = QDir::home();

    DirectoryListBox1->clear();
    auto* item = new QTreeWidgetItem(DirectoryListBox1, {"/"});
    item->setData(0, kPathRole, QStringLiteral("/"));
    for (const QString& name : dir.absolutePath().split('/', Qt::SkipEmptyParts)) {
        item->setExpanded(true);
        item = Child(item, name);
    }
    DirectoryListBox1->setCurrentItem(item);
    ShowCurrent();
}

void TPathform::ShowCurrent()
{
    if (QTreeWidgetItem* item = DirectoryListBox1->currentItem())
        DirectoryListBox1->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

void TPathform::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    ShowCurrent();   // now that the tree knows its height
}

QString TPathform::Directory() const
{
    QTreeWidgetItem* item = DirectoryListBox1->currentItem();
    return item ? item->data(0, kPathRole).toString() : QString();
}
