#include "service/upgrade_protocol.h"

#include <windows.h>

#include <nlohmann/json.hpp>

#include "common/crypto.h"
#include "common/logging.h"
#include "common/text.h"
#include "service/version_compare.h"

const char kUpgradeKey[] = "4f0a7c3e-91d2-4b6a-8e57-a2c93d1f6b08";
const char kUpgradeModule[] = "lumavex";

namespace {

// A URL's limit in the common browsers and servers, without its terminator.
constexpr size_t kMaxEscapedLength = 2083;
constexpr uint32_t kDefaultIntervalMs = 21600000;
// What a log line shows of a text that came over the network.
constexpr size_t kLoggedPrefixBytes = 256;

bool IsUnreserved(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '!': case '%': case '\'': case '(': case ')': case '*':
    case '-': case '.': case '/': case ':': case '_': case '~':
      return true;
    default:
      return false;
  }
}

// errno is success only as the number 0 or false; a fraction is read as a 32-bit integer would be.
bool ErrnoIsSuccess(const nlohmann::json& value) {
  if (value.is_boolean()) return !value.get<bool>();
  if (value.is_number_integer()) return value.get<int64_t>() == 0;
  if (value.is_number_unsigned()) return value.get<uint64_t>() == 0;
  if (value.is_number_float()) {
    const double d = value.get<double>();
    return d > -1.0 && d < 1.0;
  }
  return false;
}

bool ReadOffer(const std::string& plain, UpgradeOffer* offer) {
  const nlohmann::json root = nlohmann::json::parse(plain, nullptr, false);
  if (root.is_discarded() || !root.is_object()) return false;
  const auto errno_member = root.find("errno");
  if (errno_member == root.end() || !ErrnoIsSuccess(*errno_member)) return false;
  const auto data = root.find("data");
  if (data == root.end() || !data->is_object()) return false;
  UpgradeOffer read;
  const std::pair<const char*, std::string*> members[] = {
      {"cdn_url", &read.cdn_url}, {"version", &read.version}, {"hash", &read.hash}};
  for (const auto& member : members) {
    const auto it = data->find(member.first);
    if (it == data->end() || !it->is_string()) return false;
    *member.second = it->get<std::string>();
  }
  if (read.cdn_url.empty() || read.version.empty()) return false;
  if (!IsAcceptedVersionText(read.version) || !IsAcceptedHashText(read.hash)) return false;
  *offer = std::move(read);
  return true;
}

}  // namespace

std::string BuildUpgradeRequestText(const UpgradeRequestFacts& facts) {
  try {
    nlohmann::json request = nlohmann::json::object();
    request["did"] = facts.did;
    request["module"] = facts.module;
    request["module_version"] = facts.module_version;
    request["product_version"] = facts.product_version;
    return request.dump();
  } catch (const nlohmann::json::exception&) {
    // Text that is not UTF-8 cannot travel as JSON.
    return std::string();
  }
}

bool UrlEscape(const std::string& text, std::string* escaped) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (IsUnreserved(c)) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    }
    if (out.size() > kMaxEscapedLength) return false;
  }
  *escaped = std::move(out);
  return true;
}

std::string BuildUpgradeFormBody(const std::string& request_text) {
  if (request_text.empty()) return std::string();
  std::string base64;
  if (!BlowfishEncryptToBase64(kUpgradeKey, request_text, &base64) || base64.empty()) return std::string();
  std::string escaped;
  if (!UrlEscape(base64, &escaped)) return std::string();
  return "data=" + escaped;
}

std::string LoggedPrefix(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string shown;
  for (size_t i = 0; i < text.size() && i < kLoggedPrefixBytes; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f) {
      shown.push_back(static_cast<char>(c));
    } else {
      shown += "\\x";
      shown.push_back(kHex[c >> 4]);
      shown.push_back(kHex[c & 0xF]);
    }
  }
  if (text.size() > kLoggedPrefixBytes) shown += "... (" + std::to_string(text.size()) + " bytes)";
  return shown;
}

bool ParseUpgradeAnswer(const std::string& body, UpgradeOffer* offer) {
  std::string plain;
  if (!BlowfishDecryptFromBase64(kUpgradeKey, body, &plain) || plain.empty()) {
    LOG_INFO << "http_post Decrypt_Base64_Blowfish failed";
    return false;
  }
  LOG_INFO << "RequestSetupCfg: " << LoggedPrefix(plain);
  return ReadOffer(plain, offer);
}

UpgradeDecision EvaluateUpgradeAnswer(bool succeeded, unsigned long http_status, const std::string& body,
                                      const std::string& product_version, UpgradeOffer* offer) {
  if (!succeeded || body.empty()) {
    LOG_WARN << "http post failed, curl_code:" << 0 << " http code : " << http_status << " err_msg : ";
    return UpgradeDecision::kCheckLater;
  }
  UpgradeOffer parsed;
  if (!ParseUpgradeAnswer(body, &parsed)) {
    LOG_WARN << "parse udpate cfg failed: " << LoggedPrefix(body);
    return UpgradeDecision::kCheckLater;
  }
  if (CompareVersion(Utf8ToUtf16(parsed.version), Utf8ToUtf16(product_version)) > 0) {
    // Without a digest no package can ever verify: it would be downloaded and deleted at every check.
    if (parsed.hash.empty()) {
      LOG_WARN << "offer refused, no package hash: " << parsed.version;
      return UpgradeDecision::kCheckLater;
    }
    *offer = std::move(parsed);
    return UpgradeDecision::kDownload;
  }
  LOG_WARN << " no need update ";
  return UpgradeDecision::kCheckLater;
}

uint32_t CheckIntervalMs(bool value_read, unsigned long minutes) {
  if (!value_read || minutes == 0) return kDefaultIntervalMs;
  const uint64_t ms = static_cast<uint64_t>(minutes) * 60000u;
  return ms > USER_TIMER_MAXIMUM ? static_cast<uint32_t>(USER_TIMER_MAXIMUM) : static_cast<uint32_t>(ms);
}
