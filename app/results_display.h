// The results on the main window: need and have per row with a verdict icon,
// and the printing of message lines onto a window's drawn image.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "checks/check_run.h"
#include "controls/backing_image.h"
#include "platform/owned.h"

// A pass or fail icon: the icon is white where transparent, the mask black
// where the icon covers and white elsewhere.
struct IconPair {
    HBITMAP icon = nullptr;  // borrowed
    HBITMAP mask = nullptr;  // borrowed
};

// What ShowResults fills: the main window's label columns and its image.
class ResultsView {
public:
    virtual ~ResultsView() = default;
    virtual void SetRowTexts(int row, const std::string& need, const std::string& have,
                             COLORREF colour) = 0;
    virtual HDC ResultsCanvas() = 0;   // the window's drawn image
    virtual void RefreshResults() = 0; // repaint from it
    virtual IconPair VerdictIcons(bool passed) = 0;
};

// A window or picture that text is printed on: its drawn image, and the
// font state that printing keeps (bold, once switched on, stays on).
class PrintTarget {
public:
    PrintTarget(BackingImage& image, HWND window);
    BackingImage& image() { return image_; }
    HWND window() const { return window_; }
    bool bold() const { return bold_; }
    void SetBold() { bold_ = true; }
    HFONT font() const { return bold_ ? boldFont_.get() : normalFont_.get(); }

private:
    BackingImage& image_;
    HWND window_;
    bool bold_ = false;
    OwnedFont normalFont_;
    OwnedFont boldFont_;
};

// The rows' texts in the label columns and a verdict icon beside each; a
// warning shows the pass icon.
void ShowResults(const std::vector<CheckRow>& rows, ResultsView& view);
void DrawVerdictIcon(ResultsView& view, bool passed, int x, int y);
void DrawTextLines(PrintTarget& target, const std::string& text, int x, int y, COLORREF colour,
                   bool clearFirst, bool bold);
