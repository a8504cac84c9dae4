#pragma once
#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "app/settings/SettingsRecord.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Dialogs;
class CalculatorSearchPanel;
class DoctorSystem;
struct DoctorCandidate;
struct DoctorRequest;
class Shell;

// The settings dialog: cable and its device (chosen from the devices present
// or typed as a path; stored as a port number and that port's device),
// Fargo library folders, Autocollect, Store folders, and the registration of
// the TI-92 file types for the user when no installed package provides it.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(Dialogs& dialogs, Shell& shell, QWidget* parent = nullptr);

    // The machine whose devices the device list offers; without one only
    // the environment's, the stored and the standard devices are listed.
    void SetMachine(DoctorSystem* machine) { fMachine = machine; }
    // Fills the fields from the record and the serial ports' stored devices.
    void Fill(const SettingsRecord& settings);
    // Lists the devices for the chosen cable and selects the one in use.
    void RebuildDeviceList();
    // Ends each non-empty folder field with "/" (v2 first), then closes with OK.
    void onOkClicked();
    void Browse(QLineEdit* field);

    std::string Lib1Text() const;
    std::string Lib2Text() const;
    int CableIndex() const;
    // The port the chosen device is stored under (0..3).
    int PortIndex() const;
    bool AutoCollect() const;
    bool AskBeforeReplace() const;
    bool StoreFolders() const;
    // Device given to serial port n (1..4); empty: the default.
    std::string Device(int portNumber) const;
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
    QComboBox* deviceList;  // the devices for the cable, then "Other path"
    QLineEdit* pathEdit;    // the path stored; typed for "Other path"
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
    // One row of the device list.
    struct DeviceChoice {
        QString text;
        std::string path;              // what is stored, or shown for the rows below
        int port = -1;                 // the port it sets; -1: the one fitting the path
        bool fromEnvironment = false;  // LINKWISE_COMn names it: nothing is stored
        bool other = false;            // "Other path": the field is typed
    };
    std::vector<DeviceChoice> SerialChoices() const;
    std::vector<DeviceChoice> UsbChoices() const;
    std::vector<DeviceChoice> ParallelChoices() const;
    bool Present(const std::string& path) const;
    void onDeviceChosen(int row);
    void onPathEdited(const QString& text);
    void ChoosePath(const std::string& path);
    void ShowChoice();

    Dialogs& fDialogs;
    Shell& fShell;
    DoctorSystem* fMachine = nullptr;
    std::array<std::string, 4> fDevices;
    std::vector<DeviceChoice> fChoices;
    int fPort = 0;
};
