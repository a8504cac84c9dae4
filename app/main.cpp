// Linkwise: the wizard window on the real link, dialogs and settings.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/desktop/ProcessStoreFolder.h"
#include "app/desktop/ProgramFolder.h"
#include "app/desktop/Shell.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/QtDialogs.h"
#include "app/dialogs/RemoteKeyboardWindow.h"
#include "app/settings/DataPlaces.h"
#include "app/settings/IniSettingsStore.h"
#include "app/startup/GuardedApplication.h"
#include "app/startup/InformationOptions.h"
#include "app/startup/RegistrationOptions.h"
#include "app/window/WizardWindow.h"
#include "link/Clock.h"
#include "link/EventPump.h"
#include "link/LibusbCablePipes.h"
#include "link/PosixDoctorSystem.h"
#include "link/ModemLinePortIO.h"
#include "link/PpdevPortIO.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"
#include "link/TtyModemLines.h"
#include "link/UsbCableDevice.h"

int main(int argc, char* argv[])
{
    // --help and --version answer without a display.
    if (auto status = AnswerInformationOptions({argv + 1, argv + argc}, std::cout))
        return *status;
    if (auto request = FindRegistrationRequest({argv + 1, argv + argc})) {
        QCoreApplication core(argc, argv);
        QtShell shell;
        return CarryOutRegistration(*request, shell, std::cout, std::cerr);
    }
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName("linkwise");
    // What Qt left of the command line is the program's own.
    const std::vector<std::string> parameters(argv + 1, argv + argc);
    ProcessStoreFolder store(RuntimeFolder());

    SteadyClock clock;
    QtEventPump pump;
    QtDialogs dialogs;
    app.SetDialogs(&dialogs);
    // LINKWISE_SETTINGS names another settings file, so a trial run leaves
    // the user's own settings alone.
    const char* settingsPath = std::getenv("LINKWISE_SETTINGS");
    try {
        IniSettingsStore::CheckPath(settingsPath ? settingsPath : "");
    } catch (const std::exception& e) {
        std::cerr << "linkwise: " << e.what() << '\n';
        return 2;
    }
    IniSettingsStore settings(settingsPath ? settingsPath : "");
    QtShell shell;
    PpdevPortIO portIO;
    SerialPort serialPort;
    Ti92Link link(LinkEnvironment{clock, pump, dialogs, portIO});
    // The other cables' devices wait here; the settings choose one at start-up.
    TtyModemLines modemLines;
    ModemLinePortIO blackCable(modemLines);
    SerialPort usbCable(std::make_unique<UsbCableDevice>(std::make_unique<LibusbCablePipes>()));
    link.BlackCable = &blackCable;
    link.UsbCable = &usbCable;

    PosixDoctorSystem doctorSystem;
    WizardWindow form(WizardEnvironment{clock, pump, dialogs, settings, shell, link, serialPort, UserDataFolder(),
                                        nullptr, store.Path().string(), parameters, &doctorSystem, HelpFolder()});
    dialogs.SetParent(&form);

    AboutBox about(shell, ShippedDataFile("hints.dat"));
    form.SetAboutBox(&about);
    // LINKWISE_NO_SPLASH skips the start-up showing; the box then behaves as
    // it does after that showing.
    const char* noSplash = std::getenv("LINKWISE_NO_SPLASH");
    if (noSplash && *noSplash)
        about.KeepOpen();
    else
        about.exec();

    // The remote keyboard, shown by "&Remote control"; it keeps off the line
    // while the window runs a transfer.
    RemoteKeyboardWindow remote(link, settings, &form);
    remote.linkBusy = [&form] { return form.InTransfer(); };
    form.onRemoteControl = [&remote] { remote.ShowRemote(); };

    form.ShowAtStart();
    const int status = app.exec();
    return status != 0 ? status : form.ExitStatus();
}
