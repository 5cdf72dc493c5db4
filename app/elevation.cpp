#include "app/elevation.h"

#include "app/program_arguments.h"

const char kStillNotAdministratorMessage[] =
    "Tavrin Secure Requirements Check was started again with administrator rights, but it "
    "still does not have them. Please start it as an administrator.";

bool HasElevatedMarker(const std::string& commandLine) {
    return ReadArguments(commandLine).elevated;
}
