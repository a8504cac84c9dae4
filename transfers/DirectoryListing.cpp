#include "transfers/DirectoryListing.h"

#include <cstdint>
#include <string>

#include "link/Exceptions.h"
#include "link/PacketCommands.h"
#include "link/TTI92.h"
#include "link/TransferView.h"

namespace {

// REQ for the directory: four zero bytes, type 0x19, empty name.
const std::string kDirectoryRequest("\x09\xA2\x06\x00\x00\x00\x00\x00\x19\x00\x19\x00", 12);
// Clear to send with the word 0xFFFF: "send the next entry".
const std::string kListingCts("\x09\x09\xFF\xFF", 4);

void Skip(TTI92& link, int count)
{
    for (int i = 0; i < count; ++i)
        link.ReceiveByte();
}

}  // namespace

std::string TypeNameOf(const TTI92& link, int code)
{
    if (code < 0 || code >= static_cast<int>(link.TypeNames.size()))
        return {};
    return link.TypeNames[static_cast<size_t>(code)];
}

bool FetchDirectoryList(TTI92& link, TransferView& view, ListViewId list)
{
    bool result = false;
    view.TransferMode(true);
    view.ListViewClear(list);
    uint8_t type = 0;
    uint32_t size = 0;
    uint16_t lastCommand = 0;
    std::string folder;
    try {
        if (link.CheckReady()) {
            view.ShowStatus("Requesting directorylist");
            link.SendString(kDirectoryRequest);
        }
        if (link.GetAck()) {
            view.ShowStatus("Receiving header");
            Skip(link, 9);
            const int nameLength = link.ReceiveByte();
            Skip(link, nameLength + 2);
            do {
                link.SendAck();
                link.SendString(kListingCts);
                // A pass whose acknowledgement fails reads no entry, so it
                // must not repeat the previous row.
                if (link.GetAck()) {
                    view.ShowStatus("Receiving data");
                    Skip(link, 8);
                    std::string name;
                    for (int i = 0; i < 8; ++i) {
                        const uint16_t c = link.ReceiveByte();
                        if (c != 0)
                            name += static_cast<char>(c);
                    }
                    type = static_cast<uint8_t>(link.ReceiveByte());
                    if (type == kTypeFolder)
                        folder = name;
                    else
                        name = folder + "\\" + name;
                    Skip(link, 1);
                    size = 0;
                    for (int shift = 0; shift < 32; shift += 8)
                        size |= static_cast<uint32_t>(link.ReceiveByte() & 0xFF) << shift;
                    Skip(link, 2);
                    link.SendAck();
                    link.ReceiveByte();
                    lastCommand = link.ReceiveByte();
                    Skip(link, 2);
                    if (type != kTypeFolder) {
                        ListItem row;
                        row.caption = name;
                        row.subItems = {TypeNameOf(link, type), std::to_string(size)};
                        row.data = type;
                        view.ListViewAdd(list, row);
                    }
                }
                if (lastCommand != Cmd::EOT)
                    view.ShowStatus("Received, more to get");
            } while (lastCommand != Cmd::EOT);
            link.SendAck();
            result = true;
        }
    } catch (const std::exception& e) {
        view.ErrorDialog(ErrorDialogText("receiving directorylist", e));
        result = false;
    }
    view.TransferMode(false);
    view.ShowStatus("(none)");
    return result;
}
