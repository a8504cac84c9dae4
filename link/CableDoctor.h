#pragma once
#include <functional>
#include <string>
#include <vector>

#include "link/DoctorSystem.h"

// Finding the calculator: each candidate device and cable is examined in
// order (present, the right kind, allowed, free, for the black cable the
// modem lines and the wires at rest, then one ready check) until one
// answers. A failed check ends the candidate's row with what to do about it.
// Only the candidates given are ever opened, and nothing but the ready
// packet is ever sent.

struct DoctorCheck {
    std::string name;  // "present", "kind", "access", "free", "modem lines", "at rest", "ready"
    bool ok = false;
    std::string detail;
    std::string remedy;  // empty when it passed
};

struct DoctorRow {
    DoctorCandidate candidate;
    std::vector<DoctorCheck> checks;
    bool usable = false;  // the device can be opened for its cable
    bool answered = false;
    // The last check: the one that failed, or the ready check that passed.
    const DoctorCheck& Last() const { return checks.back(); }
};

enum class DoctorVerdict { Answered, NoAnswer, NoDevice, Cancelled };

struct DoctorReport {
    std::vector<DoctorRow> rows;
    DoctorVerdict verdict = DoctorVerdict::NoDevice;
    // The row whose calculator answered, or null.
    const DoctorRow* Found() const;
    std::string VerdictLine() const;
};

// "grey", "black", "parallel", "usb".
const char* DoctorCableName(Cable cable);

class CableDoctor {
public:
    CableDoctor(DoctorSystem& system, Clock& clock, EventPump& pump, Dialogs& dialogs);

    DoctorReport Run(const std::vector<DoctorCandidate>& candidates);
    DoctorRow Examine(const DoctorCandidate& candidate);

    int timeoutMs = 1000;  // for the ready check's reply
    // Told before each candidate is examined.
    std::function<void(const DoctorCandidate&)> onTrying;
    // Asked between candidates and while the ready check waits.
    std::function<bool()> cancelled;

private:
    void CheckReady(const DoctorCandidate& candidate, DoctorRow& row);
    bool Cancelled() const { return cancelled && cancelled(); }

    DoctorSystem& fSystem;
    Clock& fClock;
    EventPump& fPump;
    Dialogs& fDialogs;
    bool fCancelled = false;
};
