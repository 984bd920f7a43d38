// Where catalog bytes come from: a file kept open for the catalog's life, or memory.
// Every read is bounded by the size taken when the source was opened.
#include <cstdio>
#include <cstring>
#include <limits>

#include "i18n/nlq_catalog_internal.h"

namespace nlq {
namespace {

bool inside(std::uint64_t size, std::uint64_t offset, std::size_t length)
{
    return offset <= size && length <= size - offset;
}

class FileSource final : public CatalogSource {
public:
    FileSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
    ~FileSource() override { std::fclose(file_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t size() const override { return size_; }

    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) override
    {
        if (!inside(size_, offset, length))
            return false;
        if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
            return false;
        return std::fread(buffer, 1, length, file_) == length;
    }

private:
    std::FILE* file_;
    std::uint64_t size_;
};

class MemorySource final : public CatalogSource {
public:
    MemorySource(const unsigned char* data, std::size_t size) : data_(data, data + size) {}

    std::uint64_t size() const override { return data_.size(); }

    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) override
    {
        if (!inside(data_.size(), offset, length))
            return false;
        if (length > 0)
            std::memcpy(buffer, data_.data() + offset, length);
        return true;
    }

private:
    std::vector<unsigned char> data_;
};

}  // namespace

std::unique_ptr<CatalogSource> openFileSource(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    // Reads are few and large (a header, the set records, one set's index and texts), and
    // each must see the file as it is now, so the stream keeps no buffer of its own.
    std::setvbuf(file, nullptr, _IONBF, 0);
    // Every offset in a catalog is a signed 32-bit value, so a file is measured as a long
    // (32 bits on Windows); anything beyond that could not be addressed anyway.
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size < 0) {
        std::fclose(file);
        return nullptr;
    }
    return std::make_unique<FileSource>(file, static_cast<std::uint64_t>(size));
}

std::unique_ptr<CatalogSource> memorySource(const unsigned char* data, std::size_t size)
{
    return std::make_unique<MemorySource>(data, size);
}

}  // namespace nlq
