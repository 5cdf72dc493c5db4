#include "setup/program_image.h"

#include <vector>

namespace {

std::uint16_t Word(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Dword(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint16_t kMostSections = 96;  // the loader's own limit
constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint16_t kDll = 0x2000;
constexpr std::uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;
constexpr int kSecurityDirectory = 4;

bool Within(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

}  // namespace

bool IsWholeWindowsProgram(std::uint64_t fileSize, const ReadAt& readAt) {
    std::uint8_t dos[64];
    if (fileSize < sizeof dos || !readAt(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
        return false;
    const std::uint64_t pe = Dword(dos + 0x3C);
    std::uint8_t head[24];  // signature and file header
    if (!Within(pe, sizeof head, fileSize) || !readAt(pe, head, sizeof head)) return false;
    if (head[0] != 'P' || head[1] != 'E' || head[2] != 0 || head[3] != 0) return false;
    const std::uint16_t sections = Word(head + 6);
    const std::uint16_t optionalSize = Word(head + 20);
    const std::uint16_t characteristics = Word(head + 22);
    if (sections == 0 || sections > kMostSections) return false;
    if (!(characteristics & kExecutableImage) || (characteristics & kDll)) return false;

    std::vector<std::uint8_t> optional(optionalSize);
    if (optionalSize < 2 || !Within(pe + sizeof head, optionalSize, fileSize) ||
        !readAt(pe + sizeof head, optional.data(), optional.size()))
        return false;
    const std::uint16_t magic = Word(optional.data());
    if (magic != kPe32 && magic != kPe32Plus) return false;

    // A signature sits at the end of the file: a cut in the data after the
    // last section shows as a signature that no longer fits.
    const std::size_t directories = magic == kPe32 ? 96 : 112;
    const std::size_t security = directories + 8 * kSecurityDirectory;
    if (optional.size() >= security + 8 && Dword(optional.data() + directories - 4) > 4) {
        std::uint32_t offset = Dword(optional.data() + security);
        std::uint32_t size = Dword(optional.data() + security + 4);
        if (size != 0 && !Within(offset, size, fileSize)) return false;
    }

    // So does an old-style symbol table with its strings, which some
    // linkers leave at the end.
    const std::uint64_t symbols = Dword(head + 12);
    if (symbols != 0) {
        std::uint64_t strings = symbols + std::uint64_t{Dword(head + 16)} * 18;
        std::uint8_t length[4];
        if (!Within(strings, 4, fileSize) || !readAt(strings, length, 4) ||
            !Within(strings, Dword(length), fileSize))
            return false;
    }

    const std::uint64_t table = pe + sizeof head + optionalSize;
    std::vector<std::uint8_t> headers(std::size_t{sections} * kSectionHeaderSize);
    if (!Within(table, headers.size(), fileSize) || !readAt(table, headers.data(), headers.size()))
        return false;
    for (std::uint16_t i = 0; i < sections; ++i) {
        const std::uint8_t* section = headers.data() + std::size_t{i} * kSectionHeaderSize;
        std::uint32_t rawSize = Dword(section + 16);
        std::uint32_t rawOffset = Dword(section + 20);
        if (rawSize != 0 && !Within(rawOffset, rawSize, fileSize)) return false;
    }
    return true;
}
