// Drawing helpers of the skin (module modGraphics): sizes of store images,
// drawing a store image onto a window's surface, window backgrounds, and
// painting one colour over with another.
#pragma once

#include <cstdint>

#include "controls/backing_image.h"
#include "controls/picture_box.h"
#include "platform/memory_surface.h"
#include "skin/image_store.h"

std::int32_t BitmapWidth(const SkinImage& entry);
std::int32_t BitmapHeight(const SkinImage& entry);

// Draws entry `index` of `list` onto what the target window shows, at 0,0
// and the image's own size, through the caller's scratch buffer. The
// target's own picture stays as it was, so its next repaint shows that
// again (hover faces are drawn this way). False, and nothing drawn, for an
// untagged entry.
bool DrawListImage(MemorySurface& buffer, HWND target, const SkinImageList& list,
                   std::int16_t index);

// Gives the window its background: the plain "default" panel for kind 0,
// the message-box body with the logo band otherwise; and repaints the
// window. A logo strip, when given, gets its image first.
void ApplyBackground(HWND window, BackingImage& image, const SkinImageStore& store,
                     std::int32_t kind, PictureBox* logoStrip = nullptr);

// Turns every pixel of `oldColour` in what the window shows (its backing
// image) into `newColour`, leaving every other pixel as it was, and repaints.
void ReplaceColour(HWND window, BackingImage& image, COLORREF oldColour, COLORREF newColour);
// The same on any surface of the given size; false when no scratch surface
// could be made (then nothing is drawn).
bool ReplaceColourOn(HDC target, int width, int height, COLORREF oldColour, COLORREF newColour);

// A width x height surface: black-and-white, or compatible with the window.
bool CreateMemorySurface(HWND window, int width, int height, MemorySurface& surface,
                         bool blackAndWhite);
