// Turns the bytes of a GIF (or any picture the platform reads: BMP, JPEG,
// ICO) into a bitmap, through the platform's own picture support.
#pragma once

#include <cstddef>

#include "platform/owned.h"

// A bitmap compatible with the screen at the picture's own pixel size.
// Transparent pixels come out as `transparentAs`. Empty when the bytes are
// not a picture the platform can read.
OwnedBitmap DecodePicture(const void* bytes, std::size_t size,
                          COLORREF transparentAs = RGB(255, 255, 255));
