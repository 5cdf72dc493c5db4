// A one-line text label drawn over its parent's backing image, so the skin
// shows around the letters. Its text is the window text, so other programs
// (and the end-to-end tests) read it with GetWindowText.
#pragma once

#include <windows.h>

#include <string>

#include "controls/backing_image.h"
#include "platform/owned.h"

class Label {
public:
    Label() = default;
    ~Label();
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;

    // `behind` is the parent's backing image (borrowed; it outlives the label).
    bool Create(HWND parent, const BackingImage* behind, int x, int y, int width, int height,
                const std::string& text, HFONT font);
    HWND hwnd() const noexcept { return hwnd_; }

    void SetText(const std::string& text);
    std::string Text() const;
    void SetColour(COLORREF colour);

    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND hwnd_ = nullptr;
    const BackingImage* behind_ = nullptr;
    HFONT font_ = nullptr;
    COLORREF colour_ = RGB(0, 0, 0);
};

// Verdana at 8.25 points for the screen, the labels' font.
OwnedFont CreateLabelFont();
