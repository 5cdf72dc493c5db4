#include "app/run_checks.h"

#include "app/clock_measurement.h"
#include "setup/registry.h"
#include "skin/message_box.h"

CheckPlatform CheckPlatformOfThisComputer() {
    return CheckPlatform{
        RealSystem(),
        MeasureProcessorClock,
        ProgramFilesFolder,
        [](const std::string& message) { SkinnedMsgBox(message); },
    };
}
