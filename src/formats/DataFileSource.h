#pragma once
// Where a data file's bytes are read from: memory, or a file read piece by piece at offsets, so
// that a large file is checked and loaded without ever being held whole.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace tesmar {

class DataFileSource {
public:
    virtual ~DataFileSource() = default;
    virtual std::uint64_t size() const = 0;
    // Exactly `count` bytes from `offset`; false when they are not there or cannot be read.
    virtual bool read(std::uint64_t offset, void* out, std::size_t count) = 0;
};

class MemoryDataSource final : public DataFileSource {
public:
    explicit MemoryDataSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read(std::uint64_t offset, void* out, std::size_t count) override;

private:
    std::span<const std::uint8_t> bytes_;
};

class FileDataSource final : public DataFileSource {
public:
    // Null with "cannot read PATH: reason" in `problem` when the path is no readable file.
    static std::unique_ptr<FileDataSource> Open(const std::string& path, std::string& problem);
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, void* out, std::size_t count) override;

private:
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    FileDataSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
    std::unique_ptr<std::FILE, Close> file_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
};

} // namespace tesmar
