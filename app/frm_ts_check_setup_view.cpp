// The main window as the view of Run Setup: the status line, the results
// drawn again, and the progress bar.
#include <limits>

#include "app/frm_ts_check.h"
#include "app/start_up_engine.h"
#include "controls/property_store.h"

namespace {

// The bar counts in 32 bits; larger byte counts stop at its end.
std::int32_t ClampToBar(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return value < 0 ? 0 : static_cast<std::int32_t>(value);
}

}  // namespace

void frmTSCheck::CreateProgressBar() {
    PropertyBag stored;
    stored.SetLong("Color", MakeColour(94, 129, 188)).SetBoolean("ShowText", true);
    prgDownload.Create(hwnd_, kProgressBarBox.left, kProgressBarBox.top, kProgressBarBox.width,
                       kProgressBarBox.height, &stored, false);
}

void frmTSCheck::ShowStatus(const std::string& text, StatusStyle style) {
    bool error = style == StatusStyle::Error;
    DrawTextLines(*printTarget_, text, kMessageLeft, kMessageTop,
                  error ? kErrorColour : kStatusColour, true, error);
}

void frmTSCheck::RedrawResults() {
    if (engine_) ShowResults(engine_->run());
}

void frmTSCheck::SetProgress(std::int64_t max, std::int64_t value, const std::string& text) {
    prgDownload.SetMax(ClampToBar(max));
    prgDownload.SetValue(ClampToBar(value));
    prgDownload.SetText(text);
}
