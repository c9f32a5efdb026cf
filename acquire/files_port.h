// What the loader and the fetch need of the file system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace velmora {

// A file open for reading; closed when the object goes.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    // Reads up to `size` bytes at the current position; yields the count, or -1 on error.
    virtual std::int64_t Read(char* buffer, std::int32_t size) = 0;
    // Moves to `position` bytes from the start; false on error.
    virtual bool SetPosition(std::int64_t position) = 0;
    // The length in bytes, or -1 on error.
    virtual std::int64_t Length() = 0;
};

class FilesPort {
public:
    // Size in bytes from the directory entry (its low 32 bits), or -1 when there is no such file.
    virtual std::int32_t FileSize(const std::string& path) = 0;
    // Null when the file cannot be opened. Others may read and write it meanwhile.
    virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual void RemoveFile(const std::string& path) = 0;
    // The temporary-files folder, or nothing when it cannot be had.
    virtual std::string TempFolder() = 0;

protected:
    ~FilesPort() = default;
};

} // namespace velmora
