#include <QString>
#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "link/CalculatorKeys.h"
#include "link/Exceptions.h"
#include "transfers/RemoteKeyboard.h"

namespace {

// A number for any calculator code: decimal or 0x hexadecimal.
std::optional<uint16_t> CodeNumber(const std::string& text)
{
    bool ok = false;
    const uint value = QString::fromStdString(text).toUInt(&ok, 0);
    if (!ok || value > 0xFFFF)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

}  // namespace

int RunKeys(CliContext& context, const ParsedOptions& args)
{
    // Each entry: a calculator code, or a typed character (marked by -1 - c).
    std::vector<int> keys;
    std::vector<OptionSpec> optionTable = FindCliCommand("keys")->options;
    optionTable.insert(optionTable.end(), GlobalOptionSpecs().begin(), GlobalOptionSpecs().end());
    for (const auto& [option, value] : InOrder(optionTable, args.raw)) {
        if (option == "key") {
            const std::string& name = value;
            auto code = CalcKey::CodeOf(name);
            if (!code)
                code = CodeNumber(name);
            if (!code)
                throw CliUsageError("unknown key '" + name +
                                    "' (ENTER, ESC, BACKSPACE, F1..F8, LEFT, RIGHT, UP, DOWN, APPS, STO, "
                                    "MODE, CLEAR, INS, DEL, or a code from 0 to 65535)");
            keys.push_back(*code);
        } else if (option.empty()) {
            for (QChar c : QString::fromStdString(value)) {
                if (c.unicode() > 0xFF)
                    throw CliUsageError("the character '" + QString(c).toStdString() + "' has no calculator key");
                keys.push_back(c == '\n' ? CalcKey::Enter : -1 - static_cast<int>(c.unicode()));
            }
        }
    }
    if (keys.empty())
        throw CliUsageError("needs a text or --key NAME");

    RemoteKeyboard keyboard(context.Link().tti92());
    // Characters are typed as on the remote window (Backspace and Escape
    // have codes of their own); a line break is ENTER.
    for (int k : keys)
        keyboard.Enqueue(k >= 0 ? static_cast<uint16_t>(k) : keyboard.CodeOfCharacter(static_cast<uint8_t>(-1 - k)));
    if (!keyboard.SendQueuedKeys())
        return 2;
    context.out << keys.size() << " key(s) sent.\n";
    return 0;
}
