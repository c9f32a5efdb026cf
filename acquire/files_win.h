#pragma once

#include "acquire/files_port.h"

namespace velmora {

// The Files port over kernel32.
class Win32Files final : public FilesPort {
public:
    std::int32_t FileSize(const std::string& path) override;
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    void RemoveFile(const std::string& path) override;
    std::string TempFolder() override;
};

} // namespace velmora
