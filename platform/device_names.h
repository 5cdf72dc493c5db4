// Names that Windows opens as devices rather than files: "nul.url" or
// "com1.url" in Favorites writes to a device, not a shortcut.
#pragma once

#include <string>

// Whether the file name `name`, in the bytes of the ANSI code page
// `codePage` (the one the ANSI file calls will read it in), names a device:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and LPT0 to LPT9, and
// COM and LPT with a superscript one, two or three, with any extension and
// trailing blanks or dots; or anything else the system itself takes for a
// device.
bool IsDeviceName(const std::string& name, unsigned codePage);
bool IsDeviceName(const std::string& name);  // in the ANSI code page
