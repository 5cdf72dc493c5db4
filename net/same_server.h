// Whether a download still comes from the server it was asked of. WinINet
// follows redirects by itself; one to another host, port or scheme would
// let the network hand over a file from anywhere, so it counts as a failed
// download.
#pragma once

#include <string>

// True when both URLs name the same scheme, host (in any letter case) and
// port, the scheme's default port counting as written. False for anything
// that cannot be read as a URL.
bool SameServer(const std::string& asked, const std::string& reached);
