#pragma once
#include <gtest/gtest.h>

#include "link/PortIO.h"

// Port I/O for a link on a byte cable: any touch of the parallel port fails
// the test.
struct NoParallelPort : PortIO {
    void PortOut(uint16_t, uint8_t) override { ADD_FAILURE() << "parallel port used"; }
    uint8_t PortIn(uint16_t) override
    {
        ADD_FAILURE() << "parallel port used";
        return 0x30;
    }
};
