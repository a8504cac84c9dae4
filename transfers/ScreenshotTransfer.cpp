#include "transfers/ScreenshotTransfer.h"

#include <cstdint>
#include <string>

#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"
#include "transfers/ScreenCanvas.h"

namespace {

// A 30 ms gap is ten byte times at 9600 baud: long enough to see the end of
// a reply that an earlier run left on the line, short against the grab.
constexpr uint32_t kQuietBeforeRequestMs = 30;

// The request and the picture, drawn on the canvas as it arrives.
void ReceiveScreenshot(Ti92Link& link, TransferView& view, ScreenCanvas& canvas)
{
    canvas.Clear();
    link.PrepareLine(kQuietBeforeRequestMs);
    view.ShowStatus("Sending request");
    for (uint8_t b : {kIdFromComputer, Cmd::SCR, uint8_t(0), uint8_t(0)})
        link.SendByte(b);
    if (!link.GetAck())
        throw ELinkError("Requstion ACK not received. Transfer aborted.");
    view.ShowStatus("Receiving screenshot");
    view.ProcessMessages();
    const PacketHead head = ReceivePacketHead(link, "the screenshot");
    ExpectCommand(head, {Cmd::DATA}, "the screenshot");
    ExpectLength(head, ScreenCanvas::kBytes, ScreenCanvas::kBytes, "the screenshot");

    // The display bytes, then the two checksum bytes, which fall below
    // the picture and draw nothing.
    int x = 0, y = 0;
    PacketSum sum;
    uint16_t received = 0;
    for (int i = 0; i < ScreenCanvas::kBytes + 2; ++i) {
        if (x == ScreenCanvas::kWidth) {
            view.ProcessMessages();
            ++y;
            x = 0;
        }
        const uint8_t b = static_cast<uint8_t>(link.ReceiveByte());
        for (int k = 0; k < 8; ++k)
            if (b & (0x80 >> k))
                canvas.SetBlack(x + k, y);
        x += 8;
        if (i < ScreenCanvas::kBytes)
            sum.Add(b);
        else
            received = static_cast<uint16_t>(received | b << (8 * (i - ScreenCanvas::kBytes)));
    }
    view.ProcessMessages();
    link.SendAck();
    view.ShowStatus("Screenshot completed");
    // Checked once the calculator is released: a picture damaged on the
    // line must not be shown or saved as good.
    if (received != sum.Value())
        ThrowDamaged("the screenshot", "checksum error");
}

}  // namespace

bool GrabScreenshot(Ti92Link& link, TransferView& view, ScreenCanvas& canvas)
{
    std::string report = "A screenshot was grabbed.";
    bool ok = false;
    {
        const TransferScope transfer(view);
        try {
            ReceiveScreenshot(link, view, canvas);
            ok = true;
        } catch (const std::exception& e) {
            view.ErrorDialog(ErrorDialogText("receiving the screenshot", e));
            report = "A screenshot was grabbed but aborted by an error (" + ErrorClassName(e) + ").";
        }
    }
    view.ShowStatus("(none)");
    view.ClickNextButton();
    view.StatusMemoAdd(report);
    return ok;
}
