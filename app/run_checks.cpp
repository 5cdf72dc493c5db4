#include "app/run_checks.h"

#include "app/clock_measurement.h"
#include "setup/registry.h"
#include "skin/message_box.h"

CheckPlatform CheckPlatformOfThisComputer(CheckRun& run) {
    return CheckPlatform{
        RealSystem(),
        [&run] { return MeasureProcessorClock(run); },
        ProgramFilesFolder,
        [](const std::string& message) { SkinnedMsgBox(message); },
    };
}
