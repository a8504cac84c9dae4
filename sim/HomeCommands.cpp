#include "sim/HomeCommands.h"

#include <algorithm>
#include <vector>

#include "sim/VirtualTI92.h"

// Command names and argument order as the TI-92's own command list gives
// them (the guidebook's list of functions and instructions; the same
// commands appear as cmd_delvar, cmd_rename, cmd_copyvar, cmd_movevar,
// cmd_newfold, cmd_delfold, cmd_lock and cmd_unlock in the TI-89/TI-92 Plus
// developer guide, chapter "Memory Management", whose cmd_rename takes the
// old name, then the new one). The error texts are the calculator's.

namespace {

constexpr const char* kUndefinedVariable = "Undefined variable";
constexpr const char* kLockedVariable = "Variable is locked or protected";
constexpr const char* kInvalidName = "Invalid variable name";
constexpr const char* kDuplicateName = "Duplicate variable name";
constexpr const char* kFolderError = "Folder";
constexpr const char* kFolderNotEmpty = "Folder is not empty";
constexpr const char* kArgument = "Argument error";
constexpr const char* kMemory = "Memory";

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> Arguments(const std::string& text)
{
    std::vector<std::string> args;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        args.push_back(Lower(Trim(text.substr(start, comma - start))));
        if (comma == std::string::npos)
            return args;
        start = comma + 1;
    }
}

SimFolder* FolderNamed(VirtualTI92& calc, const std::string& name)
{
    for (auto& f : calc.folders)
        if (f.name == name)
            return &f;
    return nullptr;
}

// A variable by full name, and where it lives.
struct Place {
    SimFolder* folder = nullptr;
    std::string name;
    SimVariable* variable = nullptr;
};

Place Locate(VirtualTI92& calc, const std::string& fullName)
{
    Place p;
    std::string folder;
    calc.SplitName(fullName, folder, p.name);
    p.folder = FolderNamed(calc, folder);
    if (p.folder)
        for (auto& v : p.folder->variables)
            if (v.name == p.name)
                p.variable = &v;
    return p;
}

void Remove(SimFolder& folder, const std::string& name)
{
    auto& vars = folder.variables;
    vars.erase(std::remove_if(vars.begin(), vars.end(), [&](const SimVariable& v) { return v.name == name; }),
               vars.end());
}

std::string DelVar(VirtualTI92& calc, const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        if (!VirtualTI92::ValidName(a))
            return kInvalidName;
        const Place p = Locate(calc, a);
        if (!p.variable)
            return kUndefinedVariable;
        if (p.variable->locked)
            return kLockedVariable;
        Remove(*p.folder, p.name);
    }
    return {};
}

std::string LockAll(VirtualTI92& calc, const std::vector<std::string>& args, bool lock)
{
    for (const std::string& a : args) {
        if (!VirtualTI92::ValidName(a))
            return kInvalidName;
        const Place p = Locate(calc, a);
        if (!p.variable)
            return kUndefinedVariable;
        p.variable->locked = lock;
    }
    return {};
}

// Rename and CopyVar: the source stays for a copy, the target must be free
// (a copy may replace an unlocked one) in a folder that exists.
std::string RenameOrCopy(VirtualTI92& calc, const std::vector<std::string>& args, bool copy)
{
    if (args.size() != 2)
        return kArgument;
    if (!VirtualTI92::ValidName(args[0]) || !VirtualTI92::ValidName(args[1]))
        return kInvalidName;
    const Place from = Locate(calc, args[0]);
    if (!from.variable)
        return kUndefinedVariable;
    if (!copy && from.variable->locked)
        return kLockedVariable;
    const Place to = Locate(calc, args[1]);
    if (!to.folder)
        return kFolderError;
    if (to.variable == from.variable)
        return kDuplicateName;
    if (to.variable && (!copy || to.variable->locked))
        return to.variable->locked ? kLockedVariable : kDuplicateName;
    SimVariable moved = *from.variable;
    moved.name = to.name;
    if (copy) {
        if (!calc.Fits(args[1], moved.Size()))
            return kMemory;
        moved.locked = false;
    } else {
        Remove(*from.folder, from.name);
    }
    calc.PutVariable(to.folder->name, moved);
    return {};
}

std::string MoveVar(VirtualTI92& calc, const std::vector<std::string>& args)
{
    if (args.size() != 3)
        return kArgument;
    for (const std::string& a : args)
        if (a.find('\\') != std::string::npos || !VirtualTI92::ValidName(a))
            return kInvalidName;
    SimFolder* from = FolderNamed(calc, args[1]);
    SimFolder* to = FolderNamed(calc, args[2]);
    if (!from || !to)
        return kFolderError;
    const Place p = Locate(calc, args[1] + "\\" + args[0]);
    if (!p.variable)
        return kUndefinedVariable;
    if (p.variable->locked)
        return kLockedVariable;
    if (Locate(calc, args[2] + "\\" + args[0]).variable)
        return kDuplicateName;
    const SimVariable moved = *p.variable;
    Remove(*from, args[0]);
    to->variables.push_back(moved);
    return {};
}

std::string NewFold(VirtualTI92& calc, const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return kArgument;
    if (args[0].find('\\') != std::string::npos || !VirtualTI92::ValidName(args[0]))
        return kInvalidName;
    if (FolderNamed(calc, args[0]))
        return kDuplicateName;
    calc.folders.push_back(SimFolder{args[0], {}});
    return {};
}

std::string DelFold(VirtualTI92& calc, const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        if (a.find('\\') != std::string::npos || !VirtualTI92::ValidName(a))
            return kInvalidName;
        if (a == "main")
            return kFolderError;
        const SimFolder* f = FolderNamed(calc, a);
        if (!f)
            return kFolderError;
        if (!f->variables.empty())
            return kFolderNotEmpty;
        if (calc.currentFolder == a)
            calc.currentFolder = "main";
        calc.folders.erase(calc.folders.begin() + (f - calc.folders.data()));
    }
    return {};
}

}  // namespace

std::optional<std::string> RunHomeCommand(VirtualTI92& calc, const std::string& input)
{
    const std::string line = Trim(input);
    const size_t space = line.find(' ');
    const std::string word = Lower(line.substr(0, space));
    const std::vector<std::string> args =
        space == std::string::npos ? std::vector<std::string>{""} : Arguments(line.substr(space + 1));
    if (word == "delvar")
        return DelVar(calc, args);
    if (word == "rename")
        return RenameOrCopy(calc, args, false);
    if (word == "copyvar")
        return RenameOrCopy(calc, args, true);
    if (word == "movevar")
        return MoveVar(calc, args);
    if (word == "newfold")
        return NewFold(calc, args);
    if (word == "delfold")
        return DelFold(calc, args);
    if (word == "lock")
        return LockAll(calc, args, true);
    if (word == "unlock")
        return LockAll(calc, args, false);
    return std::nullopt;
}
