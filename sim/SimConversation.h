#pragma once
#include <string>

#include "sim/SimPacket.h"

class CalculatorLink;

// One exchange of the calculator with the computer (a listing, a variable
// request, ...). The link hands it every packet from the computer until the
// conversation is done or the computer starts something else.
class SimConversation {
public:
    enum class Result { Continue, Done, NotMine };

    explicit SimConversation(CalculatorLink& link) : fLink(link) {}
    virtual ~SimConversation() = default;

    // Acts on the packet that opened the conversation.
    virtual Result Begin(const SimPacket& opening) = 0;
    // NotMine: the packet does not fit; the conversation is dropped and the
    // packet handled as the start of a new one.
    virtual Result OnPacket(const SimPacket& p) = 0;
    virtual std::string Name() const = 0;

protected:
    CalculatorLink& fLink;
};
