#include "app/dialogs/TPathform.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

TPathform::TPathform(QWidget* parent) : QDialog(parent)
{
    setObjectName("Pathform");
    setWindowTitle("Select path");
    resize(300, 340);

    Heading = new QLabel("Select path", this);
    QFont f = Heading->font();
    f.setBold(true);
    Heading->setFont(f);

    fModel = new QFileSystemModel(this);
    fModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    fModel->setRootPath("/");

    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setObjectName("DirectoryListBox1");
    DirectoryListBox1->setModel(fModel);
    DirectoryListBox1->setHeaderHidden(true);
    for (int c = 1; c < fModel->columnCount(); ++c)
        DirectoryListBox1->hideColumn(c);

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

void TPathform::SetDirectory(const QString& path)
{
    QString dir = path.isEmpty() ? QDir::homePath() : QDir::cleanPath(path);
    QModelIndex idx = fModel->index(dir);
    if (!idx.isValid())
        idx = fModel->index(QDir::homePath());
    DirectoryListBox1->setCurrentIndex(idx);
    DirectoryListBox1->scrollTo(idx);
    DirectoryListBox1->expand(idx);
}

QString TPathform::Directory() const
{
    QModelIndex idx = DirectoryListBox1->currentIndex();
    return idx.isValid() ? fModel->filePath(idx) : QString();
}
