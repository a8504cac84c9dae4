#pragma once
#include <functional>

#include "link/EventPump.h"

// An event pump where a test can act in the middle of a wait (press Abort,
// type a key). Counts how often events were processed.
class HookEventPump : public EventPump {
public:
    void ProcessMessages() override
    {
        ++calls;
        if (hook)
            hook();
    }
    std::function<void()> hook;
    int calls = 0;
};
