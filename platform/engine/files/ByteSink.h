#pragma once
// Where a writer's bytes go: a file being saved or a string in memory. Writers that
// learn a header field only after the data (a zip entry's sizes and checksum) patch
// it in place once they know it.

#include <cstdint>
#include <string>
#include <string_view>

namespace vorra::engine::files {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Appends the bytes at the end.
    virtual void write(std::string_view bytes) = 0;
    // Overwrites bytes already written, starting `offset` bytes from the beginning.
    virtual void patch(std::uint64_t offset, std::string_view bytes) = 0;
};

class StringSink final : public ByteSink {
public:
    void write(std::string_view bytes) override { bytes_.append(bytes); }
    void patch(std::uint64_t offset, std::string_view bytes) override {
        bytes_.replace(size_t(offset), bytes.size(), bytes);
    }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

}  // namespace vorra::engine::files
