#pragma once

// Lets the window process its pending events during a wait. This is how the
// Abort button and the automatic Next reach a running transfer.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessMessages() = 0;
};

// Processes the Qt events of the running application, if there is one.
class QtEventPump : public EventPump {
public:
    void ProcessMessages() override;
};

class NullEventPump : public EventPump {
public:
    void ProcessMessages() override {}
};
