#pragma once
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The directory picker: a folder tree with a drive box under it. The tree
// reads a folder when it is opened, so the folder it starts at is in place,
// selected and in view as soon as the picker shows.
class FolderPicker : public QDialog {
    Q_OBJECT
public:
    explicit FolderPicker(QWidget* parent = nullptr);
    // Opens the tree down to `path`; a folder that is gone opens at the
    // nearest one above it that is still there.
    void SetDirectory(const QString& path);
    QString Directory() const;

    QLabel* heading;
    QTreeWidget* folderTree;
    QComboBox* driveBox;
    QPushButton* okButton;
    QPushButton* cancelButton;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void onDriveChanged(int index);
    void Populate(QTreeWidgetItem* item);
    QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& name);
    void ShowCurrent();
};
