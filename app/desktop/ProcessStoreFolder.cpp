#include "app/desktop/ProcessStoreFolder.h"

ProcessStoreFolder::ProcessStoreFolder(const std::filesystem::path& parent)
    : fFolder(parent / "stores", "store-"), fPath(fFolder.Path() / "")
{
}

ProcessStoreFolder::~ProcessStoreFolder() = default;
