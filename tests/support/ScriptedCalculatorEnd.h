#pragma once
#include <cstdint>
#include <string>

#include "sim/CalculatorByteEnd.h"

// The calculator's end of a bit-level cable played by a script of
// everything it sends, in order. It speaks only once the computer has sent
// a byte; when the cable gives up on a stalled byte it falls silent until
// the computer sends again (the unsent script stays).
class ScriptedCalculatorEnd : public CalculatorByteEnd {
public:
    explicit ScriptedCalculatorEnd(std::string script) : fScript(std::move(script)) {}

    void Receive(uint8_t) override { fSpoken = true; }
    bool HasOutput() const override { return fSpoken && fAt < fScript.size(); }
    int TakeByte() override { return HasOutput() ? static_cast<uint8_t>(fScript[fAt++]) : -1; }
    void DiscardOutput() override { fSpoken = false; }
    void ResetFraming() override {}
    bool Silent() const override { return false; }

private:
    std::string fScript;
    size_t fAt = 0;
    bool fSpoken = false;
};
