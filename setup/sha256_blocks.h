// The two ways of running SHA-256's compression over whole 64-byte blocks,
// for Sha256 and its tests.
#pragma once

#include <cstddef>
#include <cstdint>

// Plain C++ for every processor from the Pentium on.
void CompressBlocksPortable(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count);

// The processor's SHA extensions (with SSE4.1). Only to be called where
// ProcessorHasShaExtensions() said so: on any other processor it faults.
void CompressBlocksWithShaExtensions(std::uint32_t* state, const std::uint8_t* blocks,
                                     std::size_t count);

extern const std::uint32_t kSha256RoundConstants[64];
