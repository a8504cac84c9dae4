// "Find calculator": offered on the status line once the lamp turns red, it
// searches with progress and Cancel, shows the table and fills the cable and
// device, which OK then keeps.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "app/settings/CalculatorSearchPanel.h"
#include "app/settings/SettingsDialog.h"
#include "app/window/ReadyLampShape.h"
#include "tests/app/AppRig.h"
#include "tests/support/FakeDoctorSystem.h"

namespace {

namespace fs = std::filesystem;

// The window's own cable finds nobody; an FTDI adapter elsewhere has the
// calculator behind it.
struct SearchRig : AppRig {
    SearchRig()
    {
        byId = machine.LayOutAdapter(dir.path().toStdString());
        doctorSystem = &machine;
        calcLink.faults.silent = true;
    }
    // Opens the settings through the status line's offer and runs the
    // search as showing the dialog would; `during` acts on the open dialog.
    void FindThroughTheOffer(const std::function<int(SettingsDialog&)>& during)
    {
        WizardWindow& w = *form;
        w.onReadyLampClicked();
        ASSERT_EQ(w.readyLamp->BrushColor(), kLampRed);
        ASSERT_FALSE(w.findCalculatorButton->isHidden()) << "the red lamp offers the search";
        answerModal = [&](QDialog& d) {
            auto& settings = dynamic_cast<SettingsDialog&>(d);
            EXPECT_TRUE(settings.searchWhenShown);
            EXPECT_TRUE(device->IsOpen());
            settings.searchPanel->Find();
            EXPECT_FALSE(device->IsOpen()) << "the window let go of its cable for the search";
            return during(settings);
        };
        w.findCalculatorButton->click();
    }
    FakeDoctorSystem machine;
    std::string byId;
};

TEST(CalculatorSearch, TheRedLampOffersItAndTheAnswerFillsTheSettings)
{
    SearchRig rig;
    rig.Create();
    rig.FindThroughTheOffer([&](SettingsDialog& d) {
        EXPECT_FALSE(d.searchPanel->isHidden());
        EXPECT_EQ(d.searchPanel->statusLabel->text().toStdString(),
                  "Calculator found: it answered on " + rig.machine.devFolder + "/ttyUSB0 through the grey cable.");
        const QTableWidget* table = d.searchPanel->table;
        EXPECT_EQ(table->rowCount(), 1);
        EXPECT_EQ(table->item(0, 2)->text(), "the calculator answered the ready check");
        EXPECT_EQ(d.cableList->currentIndex(), 1);
        EXPECT_EQ(d.pathEdit->text().toStdString(), rig.byId);
        EXPECT_EQ(d.deviceList->currentText().toStdString(), rig.machine.devFolder + "/ttyUSB0");
        d.okButton->click();
        return static_cast<int>(QDialog::Accepted);
    });
    EXPECT_EQ(rig.modalShown, std::vector<std::string>{"SettingsDialog"});
    EXPECT_EQ(SerialPort::StoredDevice(1), rig.byId);
    EXPECT_EQ(rig.form->settings.CableType, 1);
}

TEST(CalculatorSearch, CancelStopsTheSearchAndLeavesTheFields)
{
    SearchRig rig;
    rig.machine.calcLink.faults.silent = true;
    rig.Create();
    CalculatorSearchPanel& panel = *rig.form->settingsDialog->searchPanel;
    QString progress;
    rig.pump.hook = [&] {
        if (panel.Searching() && panel.cancelButton->isEnabled()) {
            progress = panel.statusLabel->text();
            panel.cancelButton->click();
        }
    };
    rig.FindThroughTheOffer([&](SettingsDialog& d) {
        EXPECT_EQ(progress.toStdString(), "Trying " + rig.machine.devFolder + "/ttyUSB0 (grey cable)...");
        EXPECT_EQ(panel.statusLabel->text(), "The search was cancelled.");
        EXPECT_EQ(panel.table->rowCount(), 1) << "the black cable was not tried";
        EXPECT_TRUE(panel.findButton->isEnabled());
        EXPECT_EQ(d.Device(1), "");
        EXPECT_EQ(d.deviceList->currentText(), "/dev/ttyS0 \u2014 not present");
        return static_cast<int>(QDialog::Rejected);
    });
}

TEST(CalculatorSearch, HiddenWithoutAMachineToSearch)
{
    ScriptedDialogs dialogs;
    RecordingShell shell;
    SettingsDialog form(dialogs, shell);
    EXPECT_TRUE(form.searchPanel->isHidden());
    AppRig rig;
    rig.Create().readyLamp->SetBrushColor(kLampRed);
    EXPECT_TRUE(rig.form->findCalculatorButton->isHidden());
}

}  // namespace
