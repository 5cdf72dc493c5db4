// The system's description of an error code, for messages to the user.
#pragma once

#include <string>

// FormatMessage's text for `code` without a trailing line end; "Error <n>"
// when the system has no text for it.
std::string SystemErrorText(unsigned long code);
