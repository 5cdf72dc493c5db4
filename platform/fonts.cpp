#include "platform/fonts.h"

int PointsToPixels(int hundredthsOfPoint) {
    WindowDC screen(nullptr);
    int pixelsPerInch = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return ::MulDiv(hundredthsOfPoint, pixelsPerInch, 7200);
}

OwnedFont CreateScreenFont(const char* face, int pixelHeight, bool bold) {
    LOGFONTA font{};
    font.lfHeight = -pixelHeight;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return OwnedFont(::CreateFontIndirectA(&font));
}
