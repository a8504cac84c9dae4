#include "files/SafeFileName.h"

#include "files/FileExtensions.h"
#include "files/Ti92Charset.h"

namespace {

// Far below the 255 bytes a file name may have, with room for an extension.
constexpr size_t kMaxNameBytes = 200;

}  // namespace

std::string SafeFileName(const std::string& name)
{
    std::string safe;
    for (unsigned char c : name) {
        if (safe.empty() && c == '.')
            continue;
        safe += (c < 0x20 || c == 0x7F || c == '/') ? '_' : static_cast<char>(c);
    }
    if (safe.size() > kMaxNameBytes)
        safe.resize(kMaxNameBytes);
    return safe.empty() ? "_" : safe;
}

std::filesystem::path OwnVariableFile(const std::string& folder, const std::string& name, int type)
{
    // File names in UTF-8, as ls shows the calculator's names.
    const std::string shownFolder = ti92text::ToUtf8(folder);
    return std::filesystem::path(SafeFileName(shownFolder.empty() ? "main" : shownFolder)) /
           (SafeFileName(ti92text::ToUtf8(name)) + "." + ExtensionForType(type));
}
