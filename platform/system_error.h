// How a call to the system ended, and the system's description of an error
// code, for messages to the user and the log.
#pragma once

#include <windows.h>

#include <string>

// The system's error code of the step that failed, read on that step's own
// line, or ERROR_SUCCESS. True when the call succeeded.
struct SystemResult {
    DWORD error = ERROR_SUCCESS;
    explicit operator bool() const { return error == ERROR_SUCCESS; }
};

// A failure with the calling thread's last error; a step that failed
// without setting one counts as ERROR_GEN_FAILURE, never as success.
inline SystemResult FailedWith(DWORD error) {
    return SystemResult{error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE};
}

// FormatMessage's text for `code` without a trailing line end; "Error <n>"
// when the system has no text for it.
std::string SystemErrorText(unsigned long code);
