#include "sim/ScreenshotConversation.h"

#include "sim/CalculatorLink.h"

SimConversation::Result ScreenshotConversation::Begin(const SimPacket&)
{
    if (fLink.faults.refuseScreenshot) {
        fLink.SendRefusal();
        return Result::Done;
    }
    fLink.SendAck();
    std::string screen = fLink.Calc().screen;
    screen.resize(VirtualTI92::kScreenBytes, '\0');
    fLink.SendData(Cmd::DATA, screen, fLink.faults.damageScreenshot);
    return Result::Continue;
}

SimConversation::Result ScreenshotConversation::OnPacket(const SimPacket& p)
{
    return p.cmd == Cmd::ACK ? Result::Done : Result::NotMine;
}
