#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

namespace testing_support {

// The test side of tests/support/loopback_server.py: its address and its control interface, reached
// through WinHTTP like the product's own requests. Tests that use it take LOCKS loopback_port.
class LoopbackServer {
 public:
  static uint16_t Port();
  // "http://127.0.0.1:<port>" followed by path.
  static std::string Url(const std::string& path);

  // One plain request to the server; false when no HTTP answer came.
  static bool Request(const wchar_t* verb, const std::string& path, const std::string& body, DWORD* status,
                      std::string* response);

  // Forgets recorded events, requests, answers and files.
  static bool Clear();
  // answers_json: a JSON list of answers (see the server) for path, or "*" for every path.
  static bool SetResponses(const std::string& path, const std::string& answers_json);
  // Serves bytes as the answer to GET path.
  static bool ServeFile(const std::string& path, const std::string& bytes);

  // JSON lists as the server records them.
  static std::string EventsJson();
  static std::string RequestsJson();
  // The upgrade API's requests, deciphered: {"ok", "form", "plain", "request", "error"} each.
  static std::string UpgradeRequestsJson();
  // The deciphered events of kind "event" ("en"), counted by their name ("et"), and the count of one name.
  static std::map<std::string, int> EventCounts();
  static int CountEvents(const std::string& name);
  // Polls until at least count events are recorded or timeout_ms passes; returns the events JSON.
  static std::string WaitForEvents(size_t count, DWORD timeout_ms = 10000);
};

}  // namespace testing_support
