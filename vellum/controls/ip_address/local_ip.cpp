#include "vellum/controls/ip_address/local_ip.h"

#include <winsock2.h>

#include <cstring>

namespace Vellum {
namespace {

// WSAStartup and WSACleanup in pairs.
class CWinSockSession {
 public:
  CWinSockSession() {
    WSADATA data{};
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~CWinSockSession() {
    if (started_) ::WSACleanup();
  }
  CWinSockSession(const CWinSockSession&) = delete;
  CWinSockSession& operator=(const CWinSockSession&) = delete;
  bool IsStarted() const { return started_; }

 private:
  bool started_ = false;
};

}  // namespace

DWORD GetLocalIP() {
  CWinSockSession winsock;
  if (!winsock.IsStarted()) return 0;
  char name[255] = {};
  if (::gethostname(name, sizeof(name)) != 0) return 0;
  const hostent* host = ::gethostbyname(name);
  if (host == nullptr || host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr ||
      host->h_length != 4) {
    return 0;
  }
  u_long address = 0;
  std::memcpy(&address, host->h_addr_list[0], sizeof(address));
  return ::ntohl(address);
}

}  // namespace Vellum
