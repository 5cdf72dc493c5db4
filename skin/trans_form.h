// clsTransForm: gives a borderless skinned window, a picture or a button the
// outline of its picture. Every pixel of the transparent colour is cut out
// of the window's region, so the desktop shows through there and clicks
// reach whatever lies beneath. The region can be kept in a file in the
// platform's region-data layout and loaded from it instead of scanning.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/backing_image.h"
#include "controls/picture_box.h"
#include "platform/owned.h"
#include "skin/region_runs.h"

// A numbered error of the shaping class, as its callers receive it.
struct TransFormError {
    std::uint32_t Number = 0;
    std::string Source;
    std::string Description;
};

inline constexpr std::uint32_t kObjectErrorBase = 0x80040000u;
inline constexpr std::uint32_t kErrNotShapeable = kObjectErrorBase + 2512;   // 0x800409D0
inline constexpr std::uint32_t kErrRegionData = kObjectErrorBase + 2513;     // 0x800409D1
inline constexpr std::uint32_t kErrRegionSize = kObjectErrorBase + 2514;     // 0x800409D2
// File errors, numbered as the runtime numbers them.
inline constexpr std::uint32_t kErrFileAccess = 75;
inline constexpr std::uint32_t kErrPastEndOfFile = 62;

inline constexpr char kNotShapeableDescription[] =
    "Must pass in the name of a Form, PictureBox, CommandButton, CheckBox or OptionButton.  "
    "TransForm ShapeMe method failed.";

// What ShapeMe is given: the kind of object, its window and, for a window or
// a picture, the image it draws (the surface that is scanned).
enum class ShapeKind { Form, PictureBox, CommandButton, CheckBox, OptionButton, Other };
struct ShapeTarget {
    ShapeKind kind = ShapeKind::Other;
    HWND hwnd = nullptr;
    const BackingImage* drawn = nullptr;
};

ShapeTarget FormTarget(HWND window, const BackingImage& drawn);
ShapeTarget PictureTarget(PictureBox& picture);
// A system control, by its window class and style: push buttons, check
// boxes and radio buttons can be shaped; anything else is ShapeKind::Other.
ShapeTarget ControlTarget(HWND control);

class clsTransForm {
public:
    // Builds the region by scanning (or loads it from `FileName` when `Load`
    // is true and a name is given), saves it to `FileName` when one is given
    // and `Load` is false (an existing file is never replaced), and hands it
    // to the target's window. The error, when one stopped it.
    [[nodiscard]] std::optional<TransFormError> ShapeMe(const ShapeTarget& Name, std::uint32_t Color, bool Load = false,
                 const std::string& FileName = {});

    // Starts the system's move of the window when the button code is 1
    // (the left button); any other code does nothing.
    static void DragForm(HWND hWnd, std::int16_t intButton);

    // The runs cut out by the last scan.
    const std::vector<TransparentRun>& Runs() const { return runs_; }

private:
    void InitSurface();
    std::optional<TransFormError> SaveRegionDataToFile(const std::string& fileName);
    std::optional<TransFormError> LoadRegionDataFromFile(const std::string& fileName);

    OwnedRegion region_;
    ShapeTarget target_;
    std::int32_t height_ = 0;
    std::int32_t width_ = 0;
    std::vector<TransparentRun> runs_;
};

// The runs as one region: `base` with one single-row rectangle per run cut out.
OwnedRegion RegionWithoutRuns(const RECT& base, const std::vector<TransparentRun>& runs);
