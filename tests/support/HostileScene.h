#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/TempStore.h"
#include "link/Dialogs.h"
#include "link/EventPump.h"
#include "link/ModemLinePortIO.h"
#include "link/PortIO.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"
#include "sim/CalculatorByteEnd.h"
#include "sim/SimModemLines.h"
#include "sim/SimParallelCable.h"
#include "tests/support/AutoClock.h"

// The link object on the grey cable over any serial device, or on a
// two-wire cable to any calculator's end, with doubles
// that keep only what the hostile-calculator runs check, so the fuzz target
// stays fast: no gtest, no Qt, memory bounded by the conversation.

// Every byte the computer reads and writes, and what had been read when
// each byte was written.
class LineTap {
public:
    void Wrote(const uint8_t* data, size_t count)
    {
        written.append(reinterpret_cast<const char*>(data), count);
        fReadAtWrite.insert(fReadAtWrite.end(), count, read.size());
    }
    void Read(int b)
    {
        if (b >= 0)
            read += static_cast<char>(b);
    }

    // What was read after the computer last wrote `packet`; everything read
    // when it never did.
    std::string_view ReadAfterLast(std::string_view packet) const
    {
        const size_t at = written.rfind(packet);
        return at == std::string::npos ? std::string_view(read) : std::string_view(read).substr(fReadAtWrite[at]);
    }
    // What was read after the computer wrote byte `from` of `written` and
    // before it wrote byte `to` (npos or past the end: up to now).
    std::string_view ReadBetween(size_t from, size_t to) const
    {
        const size_t start = from < fReadAtWrite.size() ? fReadAtWrite[from] : read.size();
        const size_t end = to < fReadAtWrite.size() ? fReadAtWrite[to] : read.size();
        return std::string_view(read).substr(start, end - start);
    }

    std::string read;
    std::string written;

private:
    std::vector<size_t> fReadAtWrite;  // per byte written: how many had been read
};

// Keeps every byte the computer reads and writes on the line under it.
class TappedLine : public SerialDevice, public LineTap {
public:
    explicit TappedLine(std::unique_ptr<SerialDevice> inner) : fInner(std::move(inner)) {}
    bool Open(const std::string& path) override { return fInner->Open(path); }
    void Close() override { fInner->Close(); }
    bool IsOpen() const override { return fInner->IsOpen(); }
    bool Apply(const SerialLineSettings& settings) override { return fInner->Apply(settings); }
    void Write(const uint8_t* data, size_t count) override
    {
        Wrote(data, count);
        fInner->Write(data, count);
    }
    int BytesWaiting() override { return fInner->BytesWaiting(); }
    int ReadOne() override
    {
        const int b = fInner->ReadOne();
        LineTap::Read(b);
        return b;
    }
    void DiscardInput() override { fInner->DiscardInput(); }
    void DiscardOutput() override { fInner->DiscardOutput(); }
    void Pause(int milliseconds) override { fInner->Pause(milliseconds); }
    bool WaitForInput(int milliseconds) override { return fInner->WaitForInput(milliseconds); }
    bool IsBroken() const override { return fInner->IsBroken(); }

private:
    std::unique_ptr<SerialDevice> fInner;
};

// The same at the calculator's end of a bit-level cable: a byte counts as
// read once the calculator starts sending it.
class TappedEnd : public CalculatorByteEnd, public LineTap {
public:
    explicit TappedEnd(CalculatorByteEnd& inner) : fInner(inner) {}
    void Receive(uint8_t b) override
    {
        Wrote(&b, 1);
        fInner.Receive(b);
    }
    bool HasOutput() const override { return fInner.HasOutput(); }
    int TakeByte() override
    {
        const int b = fInner.TakeByte();
        LineTap::Read(b);
        return b;
    }
    void DiscardOutput() override { fInner.DiscardOutput(); }
    void ResetFraming() override { fInner.ResetFraming(); }
    bool Silent() const override { return fInner.Silent(); }

private:
    CalculatorByteEnd& fInner;
};

// Answers every dialog with its first button and keeps the texts.
class QuietDialogs : public Dialogs {
public:
    MsgResult MessageBox(const std::string& text, const std::string&, MsgIcon, MsgButtons buttons) override
    {
        messages.push_back(text);
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
    }
    std::optional<std::string> SaveFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> OpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> PickDirectory(const std::string&, const std::string&) override { return std::nullopt; }
    std::string PromptComment(const std::string& proposed) override { return proposed; }
    std::vector<std::string> messages;
};

// A parallel port that must stay untouched: the link is on the grey cable.
class UntouchedParallelPort : public PortIO {
public:
    void PortOut(uint16_t, uint8_t) override { touched = true; }
    uint8_t PortIn(uint16_t) override
    {
        touched = true;
        return 0x30;
    }
    bool touched = false;
};

// A transfer view that keeps the lists, bars and error dialogs; transfer
// mode clears the link's abort flag, as the window does.
class QuietView : public TransferView {
public:
    explicit QuietView(Ti92Link& link) : fLink(link) {}
    void ShowStatus(const std::string&) override {}
    void TransferMode(bool on) override
    {
        if (on)
            fLink.Aborted = 0;
    }
    void ClickNextButton() override {}
    void ProcessMessages() override {}
    void SetLabel(LabelId label, const std::string& text) override { fLabels[label] = text; }
    std::string Label(LabelId label) const override
    {
        const auto it = fLabels.find(label);
        return it == fLabels.end() ? std::string() : it->second;
    }
    void SetBarMax(ProgressBarId bar, int max) override { fBarMax[bar] = max; }
    void SetBarPosition(ProgressBarId bar, int position) override { fBarPosition[bar] = position; }
    int BarMax(ProgressBarId bar) const override { return fBarMax.count(bar) ? fBarMax.at(bar) : 0; }
    int BarPosition(ProgressBarId bar) const override { return fBarPosition.count(bar) ? fBarPosition.at(bar) : 0; }
    void VarListClear() override { fVarList.clear(); }
    void VarListAdd(const std::string& line) override { fVarList.push_back(line); }
    int VarListCount() const override { return static_cast<int>(fVarList.size()); }
    void VarListSelect(int index) override { fVarSelected = index; }
    int VarListSelected() const override { return fVarSelected; }
    void ListViewClear(ListViewId list) override { lists[list].clear(); }
    void ListViewAdd(ListViewId list, const ListItem& item) override { lists[list].push_back(item); }
    std::vector<ListItem> ListViewItems(ListViewId list) const override
    {
        const auto it = lists.find(list);
        return it == lists.end() ? std::vector<ListItem>() : it->second;
    }
    void StatusMemoAdd(const std::string&) override {}
    void ErrorDialog(const std::string& text) override { errorDialogs.push_back(text); }

    std::map<ListViewId, std::vector<ListItem>> lists;
    std::vector<std::string> errorDialogs;

private:
    Ti92Link& fLink;
    std::map<LabelId, std::string> fLabels;
    std::map<ProgressBarId, int> fBarMax, fBarPosition;
    std::vector<std::string> fVarList;
    int fVarSelected = -1;
};

// The parallel port as the link sees it: the simulated parallel cable when
// the scene is on it; otherwise it must stay untouched.
class ScenePort : public PortIO {
public:
    void PortOut(uint16_t address, uint8_t value) override
    {
        if (cable)
            cable->PortOut(address, value);
        else
            untouched.PortOut(address, value);
    }
    uint8_t PortIn(uint16_t address) override { return cable ? cable->PortIn(address) : untouched.PortIn(address); }
    PortIO* cable = nullptr;
    UntouchedParallelPort untouched;
};

// The link on a tapped cable, a quiet view and a temporary store in
// `folder`. On the grey cable the device `makeDevice` gives is under the
// line; on the parallel or black cable `calculator` is at the far end of the
// two wires.
struct HostileScene {
    using MakeDevice = std::function<std::unique_ptr<SerialDevice>(AutoClock&)>;

    HostileScene(const std::filesystem::path& folder, const MakeDevice& makeDevice) : store(folder), folder(folder)
    {
        auto tapped = std::make_unique<TappedLine>(makeDevice(clock));
        line = tapped.get();
        port = std::make_unique<SerialPort>(std::move(tapped));
        port->OpenPort();
        link.Cabletype = static_cast<uint8_t>(Cable::Grey);
        link.serialPort = port.get();
    }
    HostileScene(const std::filesystem::path& folder, CalculatorByteEnd& calculator, Cable cable)
        : store(folder), folder(folder)
    {
        end = std::make_unique<TappedEnd>(calculator);
        line = end.get();
        wires = std::make_unique<SimParallelCable>(*end);
        // One that stalls mid-byte gives up, as the calculator does.
        wires->clock = &clock;
        link.Cabletype = static_cast<uint8_t>(cable);
        if (cable == Cable::Black) {
            modemLines = std::make_unique<SimModemLines>(*wires);
            blackCable = std::make_unique<ModemLinePortIO>(*modemLines);
            link.BlackCable = blackCable.get();
            link.OpenCable();
        } else {
            bitPort.cable = wires.get();
            link.ResetPort();
        }
        // A calculator that waits for a few quiet readings before it sends
        // does not talk into the computer's packet between two bytes.
        wires->idleReadsBeforeSend = cable == Cable::Black ? 3 : 5;
    }

    AutoClock clock;
    NullEventPump pump;
    QuietDialogs dialogs;
    ScenePort bitPort;
    LineTap* line = nullptr;
    std::unique_ptr<SerialPort> port;
    std::unique_ptr<TappedEnd> end;
    std::unique_ptr<SimParallelCable> wires;
    std::unique_ptr<SimModemLines> modemLines;
    std::unique_ptr<ModemLinePortIO> blackCable;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, bitPort}};
    QuietView view{link};
    TempStore store;
    std::filesystem::path folder;
};
