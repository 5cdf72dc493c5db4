// The program's own message box; every message of the program goes through it.
#pragma once

#include <cstdint>
#include <string>

#include "skin/message_buttons.h"

// Shows `prompt` with the button set of `kind` and waits, with the program's
// windows still live, until a button is clicked; returns that button's code.
// Every message is also written to the run log.
std::int32_t SkinnedMsgBox(const std::string& prompt, MessageKind kind = kOkOnly);

// The quiet check shows nothing: from then on a message only goes to the
// run log, and the call answers at once with the code of the kind's
// rightmost button, as for a box that went away unclicked.
void KeepMessagesQuiet();

// Decodes the skin images and registers the box's window class ahead of the
// first message, so that the first box opens without delay.
void LoadMessageBoxForm();
