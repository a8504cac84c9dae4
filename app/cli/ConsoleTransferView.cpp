#include "app/cli/ConsoleTransferView.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "app/cli/CliCommands.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/PrintableText.h"
#include "link/Ti92Link.h"
#include "transfers/ScreenCanvas.h"

namespace {
constexpr int kBarWidth = 30;
const char* const kScreenshotStatus = "Receiving screenshot";
}  // namespace

ConsoleTransferView::ConsoleTransferView(Ti92Link& link, const CliContext& context)
    : fLink(link), fContext(context), fErr(context.err),
      fStyle(context.options.quiet ? ProgressStyle::None : context.options.progress)
{
    if (fStyle == ProgressStyle::Automatic)
        fStyle = IsTerminal(context.err) ? ProgressStyle::Bar : ProgressStyle::Lines;
}

ConsoleTransferView::~ConsoleTransferView()
{
    ClearLine();
}

bool ConsoleTransferView::IsTerminal(const std::ostream& stream)
{
    if (&stream == &std::cerr || &stream == &std::clog)
        return isatty(STDERR_FILENO) == 1;
    if (&stream == &std::cout)
        return isatty(STDOUT_FILENO) == 1;
    return false;
}

void ConsoleTransferView::ShowStatus(const std::string& text)
{
    // A backup's size is not announced: without a total, its blocks are the progress.
    if (fStyle == ProgressStyle::Lines && BarMax(ProgressBarId::Total) <= 0 && text != fStatus &&
        text.rfind("Receiving block ", 0) == 0)
        fContext.Note(text);
    // The screenshot has no bar of its own: its rows are counted as they
    // arrive (one event pass per row).
    if (text == kScreenshotStatus && fStatus != text) {
        SetBarMax(ProgressBarId::Total, ScreenCanvas::kBytes);
        fScreenRows = -1;
    } else if (fStatus == kScreenshotStatus && text != fStatus && fScreenRows >= 0) {
        SetBarPosition(ProgressBarId::Total, ScreenCanvas::kBytes);
        SetBarMax(ProgressBarId::Total, 0);
        fScreenRows = -2;
    }
    fStatus = text;
    Draw();
    ProcessMessages();
}

void ConsoleTransferView::TransferMode(bool on)
{
    // As the window does: a new transfer starts without a pending abort.
    if (on)
        fLink.Aborted = 0;
}

void ConsoleTransferView::ProcessMessages()
{
    // Lets Ctrl-C reach the transfer, as the Abort button would.
    fLink.pump().ProcessMessages();
    if (fStatus == kScreenshotStatus && fScreenRows >= -1 && fScreenRows < ScreenCanvas::kHeight) {
        ++fScreenRows;
        if (fScreenRows > 0)
            SetBarPosition(ProgressBarId::Total, fScreenRows * ScreenCanvas::kRowBytes);
    }
}

void ConsoleTransferView::SetLabel(LabelId label, const std::string& text)
{
    fLabels[label] = text;
}

std::string ConsoleTransferView::Label(LabelId label) const
{
    auto it = fLabels.find(label);
    return it == fLabels.end() ? std::string() : it->second;
}

void ConsoleTransferView::SetBarMax(ProgressBarId bar, int max)
{
    fMax[bar] = max;
    if (bar == ProgressBarId::Total) {
        fStartTick = fLink.clock().GetTickCount();
        fTenthsShown = 0;
    }
}

void ConsoleTransferView::SetBarPosition(ProgressBarId bar, int position)
{
    fPos[bar] = position;
    if (bar == ProgressBarId::Total)
        ProgressLine();
    if (bar == ProgressBarId::Total || bar == ProgressBarId::Save)
        Draw(position >= BarMax(bar));
}

int ConsoleTransferView::BarMax(ProgressBarId bar) const
{
    auto it = fMax.find(bar);
    return it == fMax.end() ? 0 : it->second;
}

int ConsoleTransferView::BarPosition(ProgressBarId bar) const
{
    auto it = fPos.find(bar);
    return it == fPos.end() ? 0 : it->second;
}

std::vector<ListItem> ConsoleTransferView::ListViewItems(ListViewId list) const
{
    auto it = fLists.find(list);
    return it == fLists.end() ? std::vector<ListItem>() : it->second;
}

void ConsoleTransferView::SetSelected(ListViewId list, size_t row, bool selected)
{
    auto& rows = fLists[list];
    if (row < rows.size())
        rows[row].selected = selected;
}

namespace {

// The window's report lines of a job that went well; each command says
// instead what it did, in its own words.
bool IsJobReport(const std::string& line)
{
    static const char* const kEndings[] = {" item(s) were received.", " was successfully sent.",
                                           " selected file(s) were sent.", " libraries were sent."};
    static const char* const kStarts[] = {"The received variable(s) was saved into ", "Backup (\"",
                                          "Nothing was sent: ", "A screenshot was grabbed.", "The send was cancelled"};
    for (const char* ending : kEndings) {
        const std::string e = ending;
        if (line.size() >= e.size() && line.compare(line.size() - e.size(), e.size(), e) == 0)
            return true;
    }
    for (const char* start : kStarts)
        if (line.rfind(start, 0) == 0)
            return line.find(" occured ") == std::string::npos;
    return false;
}

}  // namespace

void ConsoleTransferView::StatusMemoAdd(const std::string& line)
{
    ClearLine();
    fMemo.push_back(line);
    const bool verbose = fContext.options.verbose;
    const std::string shown = PrintableMessage(line);
    const std::string notReceived = " Not received: ";
    if (line.rfind(notReceived, 0) == 0) {
        // Printed once: the dialog before it may have named it already.
        if (fLastError.find(line.substr(notReceived.size())) == std::string::npos)
            fErr << WithoutErrorClass(shown.substr(1), verbose) << '\n';
        return;
    }
    // Some routines write their error line with a leading space, some
    // without, some after the count of what was done.
    const size_t at = shown.find("An error (");
    if (at != std::string::npos || shown.find(" an error (") != std::string::npos) {
        fErr << WithoutErrorClass(at == 0 || at == 1 ? shown.substr(at) : shown, verbose) << '\n';
        return;
    }
    if (IsJobReport(line))
        return;
    // A text converted on the way: only what the conversion lost is news.
    const std::string converted = " was successfully converted to ";
    if (const size_t c = line.find(converted); c != std::string::npos) {
        const size_t note = line.find(". ", c);
        if (note != std::string::npos)
            fContext.Note(line.substr(0, c) + ": " + line.substr(note + 2));
        return;
    }
    fContext.Note(WithoutErrorClass(line, verbose));
}

void ConsoleTransferView::ErrorDialog(const std::string& text)
{
    ClearLine();
    fLastError = text;
    std::string line = WithoutErrorClass(ConsoleDialogLine(text, fContext.options.verbose), fContext.options.verbose);
    // A link error names the device it happened on.
    const std::string device = fContext.Device();
    if (!device.empty() && (text.find("Errorclass: ELinkError") != std::string::npos ||
                            text.find("Errorclass: EDamagedReply") != std::string::npos))
        line = device + ": " + line;
    fContext.Fail(line);
}

int ConsoleTransferView::FailureStatus() const
{
    // A refused request names itself "refused"; a refused step raises
    // ECalculatorError; a calculator that is not ready counts as one.
    const bool refused = fLastError.find("Errorclass: ECalculatorError") != std::string::npos ||
                         fLastError.find("Calculator is not ready!") != std::string::npos ||
                         fLastError.find("refused (") != std::string::npos ||
                         fLastError.find("was refused: ") != std::string::npos ||
                         (!fMemo.empty() && fMemo.back().find("(ECalculatorError)") != std::string::npos);
    return refused ? exitstatus::kRefused : exitstatus::kError;
}

namespace {

std::string Minutes(uint32_t ms)
{
    const uint32_t seconds = (ms + 999) / 1000;
    const std::string ss = std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + ":" + (ss.size() < 2 ? "0" : "") + ss;
}

}  // namespace

void ConsoleTransferView::ProgressLine()
{
    const int max = BarMax(ProgressBarId::Total);
    if (fStyle != ProgressStyle::Lines || max <= 0)
        return;
    const int pos = std::min(std::max(BarPosition(ProgressBarId::Total), 0), max);
    // Rounded: the listing's sizes, which make the total, count a little more than arrives.
    const int tenths = static_cast<int>((static_cast<long long>(pos) * 100 + max / 2) / max / 10);
    if (tenths <= fTenthsShown)
        return;
    fTenthsShown = tenths;
    fContext.Note(std::to_string(tenths * 10) + "% (" + std::to_string(pos) + " of " + std::to_string(max) + " bytes)");
}

void ConsoleTransferView::Draw(bool force)
{
    if (fStyle != ProgressStyle::Bar)
        return;
    // At most ten times a second, on the link's clock.
    const uint32_t now = fLink.clock().GetTickCount();
    if (!force && fLineShown && now - fLastDrawTick < 100)
        return;
    // The receive's total, or the save's bar, whichever is running; otherwise
    // just the status line (the listing has no bar).
    std::string line;
    ProgressBarId bar = BarMax(ProgressBarId::Save) > 0 ? ProgressBarId::Save : ProgressBarId::Total;
    const int max = BarMax(bar);
    if (max > 0) {
        const int pos = std::min(std::max(BarPosition(bar), 0), max);
        const int filled = static_cast<int>(static_cast<long long>(pos) * kBarWidth / max);
        const int percent = static_cast<int>(static_cast<long long>(pos) * 100 / max);
        line = "[" + std::string(static_cast<size_t>(filled), '#') +
               std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] " + std::to_string(percent) + "% ";
        if (bar == ProgressBarId::Total) {
            line += std::to_string(pos) + "/" + std::to_string(max) + " bytes ";
            const uint32_t elapsed = now - fStartTick;
            if (pos > 0 && pos < max && elapsed >= 500)
                line += Minutes(static_cast<uint32_t>(static_cast<uint64_t>(elapsed) * (max - pos) / pos)) + " left ";
        }
    }
    line += PrintableMessage(fStatus);
    if (line.size() > 79)
        line.resize(79);
    if (line == fLastDrawn)
        return;
    fLastDrawn = line;
    fLastDrawTick = now;
    fErr << "\r\033[K" << line << std::flush;
    fLineShown = true;
}

void ConsoleTransferView::ClearLine()
{
    if (!fLineShown)
        return;
    fErr << "\r\033[K" << std::flush;
    fLineShown = false;
    fLastDrawn.clear();
}
