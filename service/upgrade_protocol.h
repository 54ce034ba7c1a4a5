#pragma once

#include <cstdint>
#include <string>

// The upgrade check's request and answer: small JSON texts enciphered with Blowfish-ECB under the
// upgrade key and carried as Base64. Pure logic: no window, thread or network here.

// The 36-character Blowfish key of the upgrade API, used byte for byte for request and answer.
extern const char kUpgradeKey[];
// The "module" value of the request.
extern const char kUpgradeModule[];

// What the service knows about itself when it asks.
struct UpgradeRequestFacts {
  std::string did;
  std::string module;
  std::string module_version;
  std::string product_version;
};

// One offer of the upgrade API, accepted only as a whole.
struct UpgradeOffer {
  std::string cdn_url;
  std::string version;
  std::string hash;
};

// The compact JSON object with the four request keys in ascending order; "" when it cannot be made.
std::string BuildUpgradeRequestText(const UpgradeRequestFacts& facts);

// Copies A-Z, a-z, 0-9 and !%'()*-./:_~ and writes every other byte as "%" and two lower-case hex
// digits. False when the result would not fit the 2083 characters of a URL.
bool UrlEscape(const std::string& text, std::string* escaped);

// The form body "data=<escaped Base64 of the enciphered request>"; "" when any step fails.
std::string BuildUpgradeFormBody(const std::string& request_text);

// What a log line shows of text received: at most the first 256 bytes, every byte outside printable
// ASCII as "\xNN", and the whole length when it was cut.
std::string LoggedPrefix(const std::string& text);

// Deciphers and checks an answer body. True, with the offer stored, only for errno 0 (or false) and a
// "data" object whose "cdn_url", "version" and "hash" are strings, the first two non-empty, the
// version one to four numbers and the hash 32 hex digits or empty. Logs what it deciphered.
bool ParseUpgradeAnswer(const std::string& body, UpgradeOffer* offer);

// What the service does after an answer.
enum class UpgradeDecision {
  kCheckLater,  // no usable newer offer: the regular interval
  kDownload,    // a newer version is offered
};

// The whole answer table: transport outcome, parse and version comparison, with its log lines. A newer
// offer without a hash is refused. The offer is written only for kDownload.
UpgradeDecision EvaluateUpgradeAnswer(bool succeeded, unsigned long http_status, const std::string& body,
                                      const std::string& product_version, UpgradeOffer* offer);

// The regular check interval: "check_update_interval_min" minutes when it was read and is not 0,
// else six hours; computed in 64 bits and held to what a window timer can take.
uint32_t CheckIntervalMs(bool value_read, unsigned long minutes);

constexpr uint32_t kFirstCheckDelayMs = 10000;
constexpr uint32_t kLogonCheckDelayMs = 120000;
