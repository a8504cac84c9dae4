#include "app/window/TipFile.h"

#include <fstream>

#include "app/settings/SettingsStore.h"

namespace {

void StripLineEnd(std::string& line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

std::string Trimmed(const std::string& s)
{
    auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

}  // namespace

std::string PickTipFrom(const std::string& path, const std::function<int(int count)>& draw)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return kCorruptHintFile;
    std::string line;
    if (!std::getline(in, line))
        return kCorruptHintFile;
    StripLineEnd(line);
    std::string countText = Trimmed(line);
    auto count = ParseSettingInteger(countText);
    if (!count || countText.find_first_of("xX") != std::string::npos)
        return kCorruptHintFile;
    int k = *count > 0 ? draw(*count) : 0;
    if (k < 0 || (*count > 0 && k >= *count))
        k = 0;
    std::string tip;
    for (int i = 0; i <= k; ++i) {
        if (!std::getline(in, tip)) {
            tip.clear();  // past the end: an empty tip
            break;
        }
    }
    StripLineEnd(tip);
    return tip;
}
