#pragma once
#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

// The directory picker: a folder tree with a drive box under it.
class TPathform : public QDialog {
    Q_OBJECT
public:
    explicit TPathform(QWidget* parent = nullptr);
    void SetDirectory(const QString& path);
    QString Directory() const;

    QLabel* Heading;
    QTreeView* DirectoryListBox1;
    QComboBox* DriveComboBox1;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

private:
    void DriveChanged(int index);
    QFileSystemModel* fModel;
};
