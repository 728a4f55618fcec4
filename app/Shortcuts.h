// Shell shortcuts (.lnk files), followed as the system's open dialog follows them.
#pragma once
#include <string>

// The file a shortcut points to. A name that is no shortcut, or a shortcut that cannot be
// read or points at no file (a printer, a control panel item), is answered as it is: it then
// meets the extension check like any other name.
std::string FollowShortcut(const std::string& path);
