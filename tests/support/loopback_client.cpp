#include "tests/support/loopback_client.h"

#include <winhttp.h>

#include <memory>
#include <nlohmann/json.hpp>

namespace testing_support {

namespace {

struct InternetCloser {
  void operator()(void* handle) const { WinHttpCloseHandle(handle); }
};
using ScopedInternet = std::unique_ptr<void, InternetCloser>;

std::string Control(const wchar_t* verb, const std::string& command, const std::string& body = std::string()) {
  DWORD status = 0;
  std::string response;
  if (!LoopbackServer::Request(verb, "/_control/" + command, body, &status, &response) || status != 200) {
    return std::string();
  }
  return response;
}

}  // namespace

uint16_t LoopbackServer::Port() { return LUMAVEX_LOOPBACK_PORT; }

std::string LoopbackServer::Url(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(Port()) + path;
}

bool LoopbackServer::Request(const wchar_t* verb, const std::string& path, const std::string& body, DWORD* status,
                             std::string* response) {
  ScopedInternet session(WinHttpOpen(L"lumavex-tests", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return false;
  ScopedInternet connection(WinHttpConnect(session.get(), L"127.0.0.1", Port(), 0));
  if (!connection) return false;
  const std::wstring wide_path(path.begin(), path.end());
  ScopedInternet request(WinHttpOpenRequest(connection.get(), verb, wide_path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
  if (!request) return false;
  const DWORD size = static_cast<DWORD>(body.size());
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                          size ? const_cast<char*>(body.data()) : WINHTTP_NO_REQUEST_DATA, size, size, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return false;
  }
  DWORD code = 0;
  DWORD code_size = sizeof(code);
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &code, &code_size, WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }
  *status = code;
  response->clear();
  char chunk[8192];
  for (;;) {
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), chunk, sizeof(chunk), &read)) return false;
    if (read == 0) break;
    response->append(chunk, read);
  }
  return true;
}

bool LoopbackServer::Clear() { return Control(L"POST", "clear") == "ok"; }

bool LoopbackServer::SetResponses(const std::string& path, const std::string& answers_json) {
  return Control(L"POST", "responses?path=" + path, answers_json) == "ok";
}

bool LoopbackServer::ServeFile(const std::string& path, const std::string& bytes) {
  return Control(L"POST", "file?path=" + path, bytes) == "ok";
}

std::string LoopbackServer::EventsJson() { return Control(L"GET", "events"); }

std::string LoopbackServer::RequestsJson() { return Control(L"GET", "requests"); }

std::string LoopbackServer::UpgradeRequestsJson() { return Control(L"GET", "upgrade_requests"); }

std::map<std::string, int> LoopbackServer::EventCounts() {
  std::map<std::string, int> counts;
  for (const auto& record : nlohmann::json::parse(EventsJson())) {
    if (record.value("ok", false) && record["event"].value("en", "") == "event") {
      ++counts[record["event"].value("et", "")];
    }
  }
  return counts;
}

int LoopbackServer::CountEvents(const std::string& name) {
  const auto counts = EventCounts();
  const auto found = counts.find(name);
  return found != counts.end() ? found->second : 0;
}

std::string LoopbackServer::WaitForEvents(size_t count, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    std::string events = EventsJson();
    const auto parsed = nlohmann::json::parse(events, nullptr, false);
    if ((parsed.is_array() && parsed.size() >= count) || GetTickCount64() >= deadline) return events;
    Sleep(20);
  }
}

}  // namespace testing_support
