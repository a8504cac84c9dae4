#pragma once
#include <QGroupBox>
#include <functional>

#include "link/CableDoctor.h"
#include "link/DoctorCandidates.h"

class QLabel;
class QPushButton;
class QTableWidget;

// "Find calculator" in the settings: searches the likely devices and cables
// for the calculator with progress and Cancel, and shows each one tried with
// what was found and what to do. Hidden until SetSearch gives it a machine.
class CalculatorSearchPanel : public QGroupBox {
public:
    CalculatorSearchPanel(Dialogs& dialogs, QWidget* parent = nullptr);

    // The machine to search, the clock and event pump of its ready checks,
    // and what to do first (the window lets go of its own cable).
    void SetSearch(DoctorSystem& system, Clock& clock, EventPump& pump, std::function<void()> beforeSearch = {});
    // Runs the search; the table then holds its rows.
    void Find();
    bool Searching() const { return fSearching; }
    void Cancel() { fCancelRequested = true; }

    // What the settings name now, tried first.
    std::function<DoctorRequest()> request;
    // The candidate whose calculator answered.
    std::function<void(const DoctorCandidate&)> onFound;

    QPushButton* findButton;
    QPushButton* cancelButton;
    QLabel* statusLabel;
    QTableWidget* table;
    DoctorReport lastReport;

private:
    void ShowReport();

    Dialogs& fDialogs;
    DoctorSystem* fSystem = nullptr;
    Clock* fClock = nullptr;
    EventPump* fPump = nullptr;
    std::function<void()> fBeforeSearch;
    bool fSearching = false;
    bool fCancelRequested = false;
};
