// A picture control: a child window that shows its backing image (the
// picture it was given plus anything drawn on it) and reports the mouse.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "controls/backing_image.h"

class PictureBox {
public:
    PictureBox() = default;
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    bool Create(HWND parent, int x, int y, int width, int height, bool visible = true);
    HWND hwnd() const noexcept { return hwnd_; }

    // The picture becomes the background of the backing image.
    void SetPicture(HBITMAP picture);
    BackingImage& image() noexcept { return image_; }
    // Repaints the window from the backing image at once.
    void Refresh();
    void Show(bool visible);
    bool Visible() const;
    // The window text: what a picture button's face says, so that a screen
    // reader can name it. Nothing draws it.
    void SetCaption(const std::string& caption);

    std::string Tag;
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(int x, int y)> OnMouseDown;
    std::function<void()> OnClick;

    // Window-class plumbing.
    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND hwnd_ = nullptr;
    BackingImage image_;
    bool pressed_ = false;
};
