// Shell special folders (module mdlSpecialFolders).
#pragma once

#include <string>

// The folder of a CSIDL number, ending in exactly one "\"; empty when unknown.
std::string SpecialFolderPath(int csidl);
std::string FavoritesFolder();
