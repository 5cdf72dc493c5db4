#include "skin/trans_form.h"

#include <cstring>
#include <iterator>

#include "platform/whole_file.h"
#include "skin/button_face.h"
#include "platform/file_exists.h"
#include "skin/surface_pixels.h"

namespace {

constexpr char kSource[] = "TransForm";

// GetWindowDC / ReleaseDC: the whole window, frame included.
class WholeWindowDC {
public:
    explicit WholeWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetWindowDC(hwnd)) {}
    ~WholeWindowDC() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WholeWindowDC(const WholeWindowDC&) = delete;
    WholeWindowDC& operator=(const WholeWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

std::string ExecutableBaseName() {
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

bool IsButtonKind(ShapeKind kind) {
    return kind == ShapeKind::CommandButton || kind == ShapeKind::CheckBox ||
           kind == ShapeKind::OptionButton;
}

// Region data the platform would read past: a header that does not fit, or
// more rectangles than the bytes hold.
bool HoldsWholeRegionData(const std::vector<char>& data) {
    if (data.size() < sizeof(RGNDATAHEADER)) return false;
    RGNDATAHEADER header;
    std::memcpy(&header, data.data(), sizeof header);
    if (header.dwSize < sizeof(RGNDATAHEADER) || header.dwSize > data.size()) return false;
    return static_cast<std::uint64_t>(header.nCount) * sizeof(RECT) <= data.size() - header.dwSize;
}

}  // namespace

ShapeTarget FormTarget(HWND window, const BackingImage& drawn) {
    return ShapeTarget{ShapeKind::Form, window, &drawn};
}

ShapeTarget PictureTarget(PictureBox& picture) {
    return ShapeTarget{ShapeKind::PictureBox, picture.hwnd(), &picture.image()};
}

ShapeTarget ControlTarget(HWND control) {
    ShapeTarget target{ShapeKind::Other, control, nullptr};
    char className[32] = {};
    if (!control || !::GetClassNameA(control, className, sizeof className) ||
        lstrcmpiA(className, "Button") != 0)
        return target;
    switch (::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            target.kind = ShapeKind::CommandButton;
            break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            target.kind = ShapeKind::CheckBox;
            break;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            target.kind = ShapeKind::OptionButton;
            break;
        default:
            break;
    }
    return target;
}

OwnedRegion RegionWithoutRuns(const RECT& base, const std::vector<TransparentRun>& runs) {
    OwnedRegion region(::CreateRectRgn(base.left, base.top, base.right, base.bottom));
    for (const TransparentRun& run : runs) {
        OwnedRegion row(::CreateRectRgn(run.x1, run.y, run.x2 + 1, run.y + 1));
        ::CombineRgn(region.get(), region.get(), row.get(), RGN_DIFF);
    }
    return region;
}

void clsTransForm::InitSurface() {
    // A window or picture is measured by its client area, in pixels.
    RECT client{};
    ::GetClientRect(target_.hwnd, &client);
    width_ = client.right - client.left;
    height_ = client.bottom - client.top;
}

std::optional<TransFormError> clsTransForm::ShapeMe(const ShapeTarget& Name,
                                                    std::uint32_t Color, bool Load,
                                                    const std::string& FileName) {
    // Every call starts from a new region: an earlier one belongs to its window.
    region_.reset();
    runs_.clear();
    target_ = Name;
    bool scan = FileName.empty() || !Load;
    RECT base{};
    PixelGrid pixels;

    if (Name.kind == ShapeKind::Form || Name.kind == ShapeKind::PictureBox) {
        InitSurface();
        if (scan && Name.drawn && Name.drawn->dc())
            pixels = ReadSurfacePixels(Name.drawn->dc(), std::min(width_, Name.drawn->width()),
                                       std::min(height_, Name.drawn->height()));
        base = RECT{0, 0, width_, height_};
    } else if (!IsButtonKind(Name.kind)) {
        return TransFormError{kErrNotShapeable, kSource, kNotShapeableDescription};
    } else {
        // The face shows only its picture on the transparent colour, which
        // the scan then cuts away.
        ::SetWindowTextA(Name.hwnd, "");
        SetButtonFaceColour(Name.hwnd, Color);
        ::RedrawWindow(Name.hwnd, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        RECT outer{};
        ::GetWindowRect(Name.hwnd, &outer);
        width_ = outer.right - outer.left;
        height_ = outer.bottom - outer.top;
        if (scan) {
            WholeWindowDC dc(Name.hwnd);
            pixels = ReadSurfacePixels(dc.get(), width_, height_);
        }
        // The button's own two-pixel border is dropped as well.
        base = RECT{2, 2, width_ - 2, height_ - 2};
    }

    if (scan) {
        runs_ = ScanTransparentRuns(pixels, width_, height_, Color);
        region_ = RegionWithoutRuns(base, runs_);
    } else if (std::optional<TransFormError> error = LoadRegionDataFromFile(FileName)) {
        return error;
    }
    if (!FileName.empty() && !Load) {
        if (std::optional<TransFormError> error = SaveRegionDataToFile(FileName)) return error;
    }
    // From here the window owns the region; a refused one stays ours.
    if (::SetWindowRgn(Name.hwnd, region_.get(), TRUE)) region_.Release();
    return std::nullopt;
}

std::optional<TransFormError> clsTransForm::SaveRegionDataToFile(const std::string& fileName) {
    if (FileExists(fileName, ExistenceTest::AnyPath, RealSystem())) return std::nullopt;
    DWORD size = ::GetRegionData(region_.get(), 0, nullptr);
    if (size == 0)
        return TransFormError{kErrRegionSize, kSource,
                              "Unable to determine size of region in SaveRegionDataToFile"};
    std::vector<char> data(size);
    if (::GetRegionData(region_.get(), size, reinterpret_cast<RGNDATA*>(data.data())) != size)
        return TransFormError{kErrRegionData, kSource,
                              "Unable to get region data in SaveRegionDataToFile"};
    ::DeleteFileA(fileName.c_str());
    if (!WriteWholeFile(fileName, std::string_view(data.data(), data.size())))
        return TransFormError{kErrFileAccess, kSource, "Path/File access error"};
    return std::nullopt;
}

std::optional<TransFormError> clsTransForm::LoadRegionDataFromFile(const std::string& fileName) {
    if (!FileExists(fileName, ExistenceTest::AnyPath, RealSystem())) return std::nullopt;
    std::string source = ExecutableBaseName() + ".cDIBSectionRegion";
    std::optional<std::string> bytes = ReadWholeFile(fileName);
    if (!bytes) return TransFormError{kErrFileAccess, source, "Path/File access error"};
    std::vector<char> data(bytes->begin(), bytes->end());
    if (data.empty()) return TransFormError{kErrPastEndOfFile, source, "Input past end of file"};
    // Data that does not hold a whole region is refused like data the
    // platform rejects: no region, no error.
    if (!HoldsWholeRegionData(data)) return std::nullopt;
    region_.reset(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                    reinterpret_cast<const RGNDATA*>(data.data())));
    return std::nullopt;
}

void clsTransForm::DragForm(HWND hWnd, std::int16_t intButton) {
    if (intButton != 1) return;
    ::ReleaseCapture();
    ::SendMessageA(hWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}
