#pragma once
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "files/FileFormat.h"
#include "files/VariableFileWriter.h"

// Files to send, written with the file layer's own writer.
struct FileVariable {
    std::string folder;  // a folder entry goes before the first variable of each new folder
    std::string name;
    uint8_t type = 0;
    std::string data;  // without the size word
};

inline std::string SizedBytes(const std::string& data)
{
    return std::string{static_cast<char>(data.size() >> 8), static_cast<char>(data.size() & 0xFF)} + data;
}

// A one-entry file (default folder from the variable) or a group file.
inline std::string VariableFile(const std::vector<FileVariable>& vars)
{
    std::ostringstream out;
    VariableFileWriter writer(out);
    const bool single = vars.size() == 1;
    std::vector<std::pair<bool, size_t>> entries;  // folder?, variable
    std::string current;
    for (size_t i = 0; i < vars.size(); ++i) {
        if (!single && !vars[i].folder.empty() && vars[i].folder != current)
            entries.push_back({true, i});
        current = vars[i].folder.empty() ? current : vars[i].folder;
        entries.push_back({false, i});
    }
    writer.WriteHeader(single ? vars[0].folder : "", "", entries.size());
    uint32_t offset = ti92::FirstDataOffset(entries.size());
    for (auto [folder, i] : entries) {
        if (folder) {
            writer.AddFolder(vars[i].folder, offset);
            continue;
        }
        offset += static_cast<uint32_t>(vars[i].data.size() + 8);
        writer.AddVariable(vars[i].name, vars[i].type, offset);
    }
    writer.EndTable();
    for (const FileVariable& v : vars)
        writer.WriteDataPart(SizedBytes(v.data), false);
    writer.Finish();
    return out.str();
}

inline std::string BackupFile(const std::string& version, const std::string& image)
{
    std::ostringstream out;
    VariableFileWriter writer(out);
    writer.WriteHeader("", "", 1);
    writer.AddVariable(version, ti92::kBackupType, static_cast<uint32_t>(ti92::kSingleDataOffset + image.size() + 2));
    writer.EndTable();
    writer.WriteDataPart(image, true);
    writer.Finish();
    return out.str();
}

// Image bytes that differ from block to block.
inline std::string PatternImage(size_t size)
{
    std::string image(size, '\0');
    for (size_t i = 0; i < size; ++i)
        image[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return image;
}
