// SHA-256, computed here rather than by the system: the system's crypto
// provider has no SHA-256 before Windows XP SP3, and the digest must be
// checked on every system the program starts on. Where the processor has the
// SHA extensions they do the work; elsewhere plain code that runs on the
// Pentium.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    // Fastest: the SHA extensions where the processor has them, else the
    // portable code. Portable: always the portable code (for comparisons).
    enum class Engine { Fastest, Portable };

    explicit Sha256(Engine engine = Engine::Fastest);
    static bool ShaExtensionsAvailable();
    void Reset();
    void Add(const void* data, std::size_t size);
    // The digest of everything added; the object starts afresh afterwards.
    Digest Finish();

private:
    void (*compress_)(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count);

    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// Lower-case hexadecimal, 64 characters.
std::string DigestHex(const Sha256::Digest& digest);
