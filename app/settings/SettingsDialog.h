#pragma once
#include <QDialog>
#include <array>
#include <string>

#include "app/settings/SettingsRecord.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class Dialogs;
class CalculatorSearchPanel;
struct DoctorCandidate;
struct DoctorRequest;
class Shell;

// The settings dialog: cable, port (and the device behind a serial port),
// Fargo library folders, Autocollect, Store folders, and the registration of
// the TI-92 file types for the user when no installed package provides it.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(Dialogs& dialogs, Shell& shell, QWidget* parent = nullptr);

    // Fills the fields from the record and the serial ports' stored devices.
    void Fill(const SettingsRecord& settings);
    // Builds the port list for the chosen cable, keeping the selected index.
    void RebuildPortList();
    // Ends each non-empty folder field with "/" (v2 first), then closes with OK.
    void onOkClicked();
    void Browse(QLineEdit* field);

    std::string Lib1Text() const;
    std::string Lib2Text() const;
    int CableIndex() const;
    int PortIndex() const;
    bool AutoCollect() const;
    bool AskBeforeReplace() const;
    bool StoreFolders() const;
    // Device given to serial port n (1..4); empty: the default.
    std::string Device(int portNumber) const;
    // The menu of pickDeviceButton, built afresh each time it opens.
    void FillDeviceMenu();
    // What the fields name, for the calculator search to try first: the
    // device only when one is entered (or the cable has no other).
    DoctorRequest SearchRequest() const;
    // Shows the cable and device the calculator answered on.
    void UseFound(const DoctorCandidate& found);
    // Cancels a running search instead of closing.
    void reject() override;

    // Set before showing: the calculator search starts once the dialog is up.
    bool searchWhenShown = false;
    // Shows the registration buttons for what the desktop knows now.
    void ShowRegistration();
    // Registers Linkwise for TI-92 files for the user, or removes that
    // registration; a failure is shown and leaves the dialog open.
    void onRegisterClicked(bool use);

    QLineEdit* library1Edit;
    QLineEdit* library2Edit;
    QPushButton* browse1Button;
    QPushButton* browse2Button;
    QComboBox* cableList;
    QComboBox* portList;
    QLabel* deviceLabel;
    QLineEdit* portDeviceEdit;
    QToolButton* pickDeviceButton;  // offers the serial devices present
    QCheckBox* autoCollectBox;
    QCheckBox* storeFoldersBox;
    QCheckBox* askBeforeReplaceBox;
    CalculatorSearchPanel* searchPanel;
    QLabel* registrationLabel;
    QPushButton* registerButton;    // "Use Linkwise for TI-92 files"
    QPushButton* unregisterButton;  // its undo
    QPushButton* okButton;
    QPushButton* cancelButton;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void onPortChanged();
    void KeepDevice();
    Dialogs& fDialogs;
    Shell& fShell;
    std::array<std::string, 4> fDevices;
    int fDevicePort = -1;  // the port whose device the field shows
};
