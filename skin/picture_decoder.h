// Turns the bytes of a bitmap file (8-bit run-length coded, or any
// uncompressed one) into a bitmap, through GDI alone: every Windows from 95
// on reads these, so no picture component of the system's has to be loaded.
#pragma once

#include <cstddef>

#include "platform/owned.h"

// A 32-bit bitmap at the picture's own pixel size. Empty when the bytes are
// not such a bitmap file.
OwnedBitmap DecodePicture(const void* bytes, std::size_t size);
