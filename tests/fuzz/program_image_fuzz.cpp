// The downloaded setup program, before it is started with administrator
// rights: whatever the network delivered, and a file whose size on disk
// claims more than it holds.
#include <cstdint>
#include <cstring>
#include <string>

#include "setup/program_image.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::uint32_t Dword(const std::string& bytes, std::uint64_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}
std::uint16_t Word(const std::string& bytes, std::uint64_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

// Whether the check accepts `bytes` as a file of `claimed` bytes; a read
// past the claim is a fault, one past the bytes fails as a short read.
bool Accepts(const std::string& bytes, std::uint64_t claimed) {
    return IsWholeWindowsProgram(claimed, [&](std::uint64_t offset, void* out, std::size_t size) {
        FUZZ_REQUIRE(offset <= claimed && size <= claimed - offset);
        if (offset > bytes.size() || size > bytes.size() - offset) return false;
        std::memcpy(out, bytes.data() + offset, size);
        return true;
    });
}

// The end of the last section's raw data, read from the headers alone.
std::uint64_t SectionsEnd(const std::string& bytes) {
    std::uint64_t pe = Dword(bytes, 0x3C);
    std::uint64_t table = pe + 24 + Word(bytes, pe + 20);
    std::uint64_t end = 0;
    for (std::uint64_t i = 0; i < Word(bytes, pe + 6); ++i) {
        std::uint64_t rawSize = Dword(bytes, table + 40 * i + 16);
        std::uint64_t rawOffset = Dword(bytes, table + 40 * i + 20);
        if (rawSize != 0 && rawOffset + rawSize > end) end = rawOffset + rawSize;
    }
    return end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first eight bytes say by how much the claimed size exceeds the
    // bytes; the rest is the file.
    if (size < 8) return 0;
    std::uint64_t extra;
    std::memcpy(&extra, data, 8);
    std::string bytes(reinterpret_cast<const char*>(data) + 8, size - 8);

    if (Accepts(bytes, bytes.size())) {
        // Accepted, every header was read, so the sections can be measured.
        std::uint64_t end = SectionsEnd(bytes);
        FUZZ_REQUIRE(end <= bytes.size());
        // Cut anywhere inside its sections, the same file is refused.
        if (end > 0) {
            FUZZ_REQUIRE(!Accepts(bytes.substr(0, end - 1), end - 1));
            std::uint64_t cut = extra % end;
            FUZZ_REQUIRE(!Accepts(bytes.substr(0, cut), cut));
        }
    }
    // A size on disk beyond the bytes: never a read past the claim, and
    // never a section past it.
    std::uint64_t claimed = bytes.size() + (extra >> (extra & 63));
    if (claimed < bytes.size()) claimed = UINT64_MAX;
    if (Accepts(bytes, claimed)) FUZZ_REQUIRE(SectionsEnd(bytes) <= claimed);
    return 0;
}
