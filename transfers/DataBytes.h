#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "link/PacketCheck.h"
#include "link/Ti92Link.h"

// The data bytes of a calculator's packet as the variable and backup receives
// read them, with progress points between them so window events run and
// Abort is heard. Throws what Ti92Link::ReceiveByte throws (a time-out, an abort).

// Reads count bytes and adds them to sum. The bytes reach take(string_view)
// in runs, in order; a run ends at each progress point: after byte i
// (counted from 1) with i % step == 1, progress(i) is called once take() has
// every byte up to i. The last run ends with the last byte.
template <class Take, class Progress>
void ReceiveDataBytes(Ti92Link& link, size_t count, size_t step, PacketSum& sum, Take&& take, Progress&& progress)
{
    std::string run;
    for (size_t i = 1; i <= count; ++i) {
        const auto byte = static_cast<uint8_t>(link.ReceiveByte());
        run += static_cast<char>(byte);
        sum.Add(byte);
        if (i % step == 1 || i == count) {
            take(std::string_view(run));
            run.clear();
        }
        if (i % step == 1)
            progress(i);
    }
}
