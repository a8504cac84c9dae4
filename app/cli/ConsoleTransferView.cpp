#include "app/cli/ConsoleTransferView.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "app/cli/ConsoleDialogs.h"
#include "link/TTI92.h"

namespace {
constexpr int kBarWidth = 30;
}

ConsoleTransferView::ConsoleTransferView(TTI92& link, std::ostream& out, std::ostream& err, bool progress)
    : fLink(link), fOut(out), fErr(err), fProgress(progress)
{
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
}

void ConsoleTransferView::SetBarPosition(ProgressBarId bar, int position)
{
    fPos[bar] = position;
    if (bar == ProgressBarId::totBar || bar == ProgressBarId::SaveBar)
        Draw();
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

void ConsoleTransferView::StatusMemoAdd(const std::string& line)
{
    ClearLine();
    fMemo.push_back(line);
    const std::string notReceived = " Not received: ";
    if (line.rfind(notReceived, 0) == 0) {
        // Printed once: the dialog before it may have named it already.
        if (fLastError.find(line.substr(notReceived.size())) == std::string::npos)
            fErr << line.substr(1) << '\n';
        return;
    }
    // Some routines write their error line with a leading space, some without.
    const size_t at = line.find("An error (");
    const bool error = at == 0 || at == 1;
    (error ? fErr : fOut) << (error ? line.substr(at) : line) << '\n';
}

void ConsoleTransferView::ErrorDialog(const std::string& text)
{
    ClearLine();
    fLastError = text;
    fErr << ConsoleText(text) << '\n';
}

void ConsoleTransferView::Draw()
{
    if (!fProgress)
        return;
    // The receive's total, or the save's bar, whichever is running; otherwise
    // just the status line (the listing has no bar).
    std::string line;
    ProgressBarId bar = BarMax(ProgressBarId::SaveBar) > 0 ? ProgressBarId::SaveBar : ProgressBarId::totBar;
    const int max = BarMax(bar);
    if (max > 0) {
        const int pos = std::min(std::max(BarPosition(bar), 0), max);
        const int filled = static_cast<int>(static_cast<long long>(pos) * kBarWidth / max);
        const int percent = static_cast<int>(static_cast<long long>(pos) * 100 / max);
        line = "[" + std::string(static_cast<size_t>(filled), '#') +
               std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] " +
               std::to_string(percent) + "% ";
        if (bar == ProgressBarId::totBar)
            line += std::to_string(pos) + "/" + std::to_string(max) + " bytes ";
    }
    line += fStatus;
    if (line.size() > 79)
        line.resize(79);
    if (line == fLastDrawn)
        return;
    fLastDrawn = line;
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
