#pragma once

// The address of the local host, as the IP address control starts with it.

#include <windows.h>

namespace Vellum {

// The first address of the host entry of this machine's host name, first octet in the most
// significant byte; 0 when WinSock, the host name or the host entry is missing.
DWORD GetLocalIP();

}  // namespace Vellum
