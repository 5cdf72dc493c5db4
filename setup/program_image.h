// Whether a file is a whole Windows program: an MZ header, a PE header of an
// executable (not a DLL), and every section's raw data, and the signature
// when there is one, inside the file. An HTML page, a truncated download or
// a file padded short fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Reads `size` bytes at `offset` of the file; false when it cannot.
using ReadAt = std::function<bool(std::uint64_t offset, void* buffer, std::size_t size)>;

bool IsWholeWindowsProgram(std::uint64_t fileSize, const ReadAt& readAt);
