#pragma once
#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class SettingsStore;

// The file-type filter of the file browser.
class FileFilterDialog : public QDialog {
    Q_OBJECT
public:
    explicit FileFilterDialog(QWidget* parent = nullptr);

    // The four boxes, then the extension field, brought in line with the
    // boxes (FollowBoxes).
    void ReadSettings(SettingsStore& store);
    // The extensions with the boxes' kinds in line: TI-92 ones (".92?") and
    // ".TXT" dropped when their box is off and added when it is on and none
    // is there; extensions typed by hand for other kinds stay.
    static std::string FollowBoxes(const std::string& extensions, bool ti92, bool text);
    // Enables the Fargo boxes and rebuilds the extension field from the boxes.
    void onTypeBoxClicked();
    void onAdvancedClicked();

    std::string ExtensionText() const;
    bool ShowTI92() const;
    bool ShowText() const;
    bool ShowFargo1() const;
    bool ShowFargo2() const;

    static constexpr int kEasyHeight = 183;
    static constexpr int kAdvancedHeight = 252;

    QCheckBox* ti92FilesBox;
    QCheckBox* textFilesBox;
    QCheckBox* fargo1FilesBox;
    QCheckBox* fargo2FilesBox;
    QLabel* extensionsLabel;
    QLineEdit* extensionsEdit;
    QPushButton* advancedButton;
    QPushButton* okButton;

private:
    void UpdateFargoBoxes();
    QWidget* fAdvanced;
};
