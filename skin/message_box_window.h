// frmMSGBOX: the window of the skinned message box. A fixed 375 x 194 body
// with the prompt in a wrapping text box and up to four image buttons in
// fixed slots; it stays on top, moves by dragging its background and closes
// only through a button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/backing_image.h"
#include "controls/picture_box.h"
#include "platform/owned.h"
#include "skin/message_buttons.h"

class frmMSGBOX {
public:
    static constexpr char kClassName[] = "TSCheckMsgBox";
    static constexpr int kClientWidth = 375;
    static constexpr int kClientHeight = 194;
    // Control ids, so the end-to-end tests can find the parts.
    static constexpr int kTextId = 200;
    static constexpr int kFirstSlotId = 100;

    frmMSGBOX() = default;
    ~frmMSGBOX();
    frmMSGBOX(const frmMSGBOX&) = delete;
    frmMSGBOX& operator=(const frmMSGBOX&) = delete;

    // Creates the window hidden, as designed: slots hidden and untagged,
    // nothing clicked yet. False when the system refused a window.
    bool Load();
    void Unload();
    bool Loaded() const { return hwnd_ != nullptr; }
    HWND hwnd() const { return hwnd_; }
    BackingImage& image() { return image_; }

    void SetPrompt(const std::string& prompt);
    std::string Prompt() const;
    // Shows the button set of `kind` in the slots, left to right.
    void SetUpButtons(MessageKind kind);
    void Show();

    // Set by a click. Until then ButtonResult holds the code of the set's
    // rightmost button, the answer when the box goes away unclicked.
    bool ButtonClicked = false;
    std::int32_t ButtonResult = 0;
    std::int16_t ButtonCount = 0;
    bool HoverActive() const { return hoverActive_; }

    PictureBox buttonSlots[kButtonSlots];
    HWND txtMsg = nullptr;

    // Events.
    void ButtonSlot_Click(int index);
    void ButtonSlot_MouseMove(int index);
    void Form_MouseMove();
    void Form_MouseDown();
    void Form_Resize();
    // Enter presses the leftmost button, the default; Esc the one that
    // closes (EscapeSlot).
    void Form_KeyDown(WPARAM key);

    // Window-class plumbing.
    void AttachWindow(HWND hwnd) { hwnd_ = hwnd; }
    void DetachWindow() { hwnd_ = nullptr; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void ShowScrollBarIfNeeded();

    HWND hwnd_ = nullptr;
    BackingImage image_;
    OwnedFont font_;
    OwnedBrush textBackground_;
    bool hoverActive_ = false;
    int escapeSlot_ = -1;
    MemorySurface hoverBuffer_;  // where hover faces are composed
};
