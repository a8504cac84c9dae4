#include "app/dialogs/FolderPicker.h"

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
constexpr int kReadRole = Qt::UserRole + 1;  // its folders have been read
}  // namespace

FolderPicker::FolderPicker(QWidget* parent) : QDialog(parent)
{
    setObjectName("FolderPicker");
    setWindowTitle("Select path");
    resize(300, 340);

    heading = new QLabel("Select path", this);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);

    folderTree = new QTreeWidget(this);
    folderTree->setObjectName("folderTree");
    folderTree->setHeaderHidden(true);
    folderTree->setColumnCount(1);
    connect(folderTree, &QTreeWidget::itemExpanded, this, &FolderPicker::Populate);

    // The "drives" of this system: the mounted file systems.
    driveBox = new QComboBox(this);
    driveBox->setObjectName("driveBox");
    driveBox->addItem("/");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && volume.rootPath() != "/")
            driveBox->addItem(volume.rootPath());
    connect(driveBox, &QComboBox::currentIndexChanged, this, &FolderPicker::onDriveChanged);

    auto* buttons = new QDialogButtonBox(this);
    okButton = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    cancelButton = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    okButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(folderTree, 1);
    layout->addWidget(driveBox);
    layout->addWidget(buttons);
}

void FolderPicker::onDriveChanged(int index)
{
    SetDirectory(driveBox->itemText(index));
}

void FolderPicker::Populate(QTreeWidgetItem* item)
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

QTreeWidgetItem* FolderPicker::Child(QTreeWidgetItem* parent, const QString& name)
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

void FolderPicker::SetDirectory(const QString& path)
{
    QDir dir(path.isEmpty() ? QDir::homePath() : QDir::cleanPath(path));
    while (!dir.exists() && !dir.isRoot() && dir.cdUp()) {
    }
    if (!dir.exists())
        dir = QDir::home();

    folderTree->clear();
    auto* item = new QTreeWidgetItem(folderTree, {"/"});
    item->setData(0, kPathRole, QStringLiteral("/"));
    for (const QString& name : dir.absolutePath().split('/', Qt::SkipEmptyParts)) {
        item->setExpanded(true);
        item = Child(item, name);
    }
    folderTree->setCurrentItem(item);
    ShowCurrent();
}

void FolderPicker::ShowCurrent()
{
    if (QTreeWidgetItem* item = folderTree->currentItem())
        folderTree->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

void FolderPicker::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    ShowCurrent();  // now that the tree knows its height
}

QString FolderPicker::Directory() const
{
    QTreeWidgetItem* item = folderTree->currentItem();
    return item ? item->data(0, kPathRole).toString() : QString();
}
