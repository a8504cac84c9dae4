#pragma once
#include <cstdint>

// What a bit-level cable needs of the calculator at its far end: the bytes
// the computer sends, one at a time, and the bytes waiting to go back. The
// virtual TI-92's link is one; a test can play another.
class CalculatorByteEnd {
public:
    virtual ~CalculatorByteEnd() = default;
    virtual void Receive(uint8_t b) = 0;
    virtual bool HasOutput() const = 0;
    virtual int TakeByte() = 0;  // -1 when nothing waits
    // Drops the reply waiting and a half-received packet: the cable gave
    // up on a stalled byte.
    virtual void DiscardOutput() = 0;
    virtual void ResetFraming() = 0;
    // Never answers: no one at the far end.
    virtual bool Silent() const = 0;
};
