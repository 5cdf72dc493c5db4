// Names that Windows opens as devices rather than files: "nul.url" or
// "com1.url" in Favorites writes to a device, not a shortcut.
#pragma once

#include <string>
#include <string_view>

// Whether the file name `name`, in the bytes of the ANSI code page
// `codePage` (the one the ANSI file calls will read it in), names a device:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and LPT0 to LPT9, and
// COM and LPT with a superscript one, two or three, with any extension and
// trailing blanks or dots; or anything else the system itself takes for a
// device.
bool IsDeviceName(const std::string& name, unsigned codePage);
bool IsDeviceName(const std::string& name);  // in the ANSI code page

// The fixed list of the rule above for a name in UTF-16 (the system's wide
// text, 16 bits a unit on every build): CON, PRN, AUX, NUL, CONIN$, CONOUT$,
// COM and LPT with a digit or a superscript one to three, whatever follows a
// dot and whatever blanks and dots end the base.
bool IsReservedDeviceName(std::u16string_view name);
