#pragma once
// Text handed over piece by piece, from a file or from memory, so that a reader never needs a
// whole file at once and can go through it again from the start.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tesmar {

class TextSource {
public:
    virtual ~TextSource() = default;
    // Up to `size` bytes into `into`; 0 at the end (or after a failed read, see failed()).
    virtual std::size_t read(char* into, std::size_t size) = 0;
    // Back to the first byte; false when that cannot be done.
    virtual bool rewind() = 0;
    // The whole length when known, else -1.
    virtual std::int64_t size() const = 0;
    // A read failed (the text ended early).
    virtual bool failed() const { return false; }
};

// A file opened for reading, or the reason it cannot be ("cannot read PATH: reason").
class FileTextSource : public TextSource {
public:
    static std::unique_ptr<FileTextSource> Open(const std::string& path, std::string& problem);
    std::size_t read(char* into, std::size_t size) override;
    bool rewind() override;
    std::int64_t size() const override { return size_; }
    bool failed() const override { return failed_; }

private:
    FileTextSource(std::FILE* file, std::int64_t size) : file_(file, &std::fclose), size_(size) {}
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
    std::int64_t size_;
    bool failed_ = false;
};

// Text already in memory, handed over in pieces of at most `piece` bytes (tests use tiny ones).
class MemoryTextSource : public TextSource {
public:
    explicit MemoryTextSource(std::string_view text, std::size_t piece = SIZE_MAX) : text_(text), piece_(piece) {}
    std::size_t read(char* into, std::size_t size) override;
    bool rewind() override
    {
        position_ = 0;
        return true;
    }
    std::int64_t size() const override { return static_cast<std::int64_t>(text_.size()); }

private:
    std::string_view text_;
    std::size_t piece_;
    std::size_t position_ = 0;
};

// Told how many bytes of how many a long read has gone through.
using ReadProgress = std::function<void(std::int64_t done, std::int64_t total)>;

} // namespace tesmar
