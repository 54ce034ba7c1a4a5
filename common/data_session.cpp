#include "common/data_session.h"

#include <windows.h>

#include <ctime>
#include <memory>
#include <nlohmann/json.hpp>

#include "common/collector_http.h"
#include "common/crypto.h"
#include "common/json_text.h"
#include "common/logging.h"
#include "common/base/scoped_handle.h"

namespace common {

namespace {

// The collection endpoint deciphers with the same 32 key bytes.
constexpr char kCollectorKey[] = "Qm7Tz2Lp9Xc4Vb8Nw1Rk6Hd3Js5Fg0Ya";
// Extra texts nested deeper than this are refused: merging and serialising recurse once per level.
constexpr int kMaxExtraDepth = 64;

using json = nlohmann::json;

json ObjectFromFields(const DataSession::StringMap& fields) {
  json object = json::object();
  for (const auto& [key, value] : fields) {
    if (value.empty()) continue;
    if (value == "true") {
      object[key] = true;
    } else if (value == "false") {
      object[key] = false;
    } else {
      object[key] = value;
    }
  }
  return object;
}

json ParseExtra(const std::string& text) {
  json::parser_callback_t limit_depth = [](int depth, json::parse_event_t, json&) {
    if (depth > kMaxExtraDepth) throw std::length_error("extra JSON nested too deeply");
    return true;
  };
  return json::parse(text, limit_depth);
}

// The key schedule costs several times a whole event's enciphering, and the key never changes: it is
// made once per process, on first use (the initialisation is thread-safe), and only read afterwards,
// so sessions on any thread share it. It is never destroyed: the collector's threads may still build a
// body while static objects are being torn down at exit.
const Blowfish& CollectorCipher() {
  static const Blowfish* const cipher = new Blowfish(std::string(kCollectorKey, sizeof(kCollectorKey) - 1));
  return *cipher;
}

std::string Encipher(const std::string& plain) {
  // An empty text enciphers to nothing: "data" is then the empty string.
  std::string encoded;
  BlowfishEncryptToBase64(CollectorCipher(), plain, &encoded);
  // Base64 needs no escaping: this is the compact JSON object {"data": encoded, "enc": "1"}.
  return "{\"data\":\"" + encoded + "\",\"enc\":\"1\"}";
}

}  // namespace

DataSession::DataSession(const std::string& url, const StringMap& fields, const StringMap& ep_fields,
                         bool add_elapsed_time, bool debug, std::shared_ptr<CollectorHttp> http)
    : fields_(fields),
      ep_fields_(ep_fields),
      http_(std::move(http)),
      url_(url),
      add_elapsed_time_(add_elapsed_time),
      debug_(debug) {}

void DataSession::AsynSend(int mode, int encrypt, Done done) { Post(mode, encrypt, std::move(done), false); }

void DataSession::Post(int mode, int encrypt, Done done, bool waited) {
  if (add_elapsed_time_) ep_fields_["elapsed_time"] = std::to_string(static_cast<long long>(std::clock()));
  fields_["cets"] = std::to_string(static_cast<long long>(std::time(nullptr)));

  if (!http_) {
    if (done) done(false);
    return;
  }
  if (mode == 1) {
    std::string body;
    if (!BuildBody(encrypt, &body)) {
      // An event that cannot be encoded is not delivered: posting it empty would lose it silently.
      if (done) done(false);
      return;
    }
    auto self = shared_from_this();
    CollectorHttp::Callback callback = [self, done](bool ok, int code, const std::string& response) {
      self->OnPostResult(done, ok, code, response);
    };
    if (waited) {
      http_->PostWaited(url_, body, CollectorHttp::HeaderMap(), std::move(callback));
    } else {
      http_->Post(url_, body, CollectorHttp::HeaderMap(), std::move(callback));
    }
  } else if (mode == 0) {
    auto self = shared_from_this();
    http_->Get(std::string(), CollectorHttp::HeaderMap(),
               [self, done](bool ok, int code, const std::string& response) {
                 self->OnPostResult(done, ok, code, response);
               });
  }
}

bool DataSession::Send() {
  struct Wait {
    ScopedHandle event{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    bool ok = false;
  };
  // Shared with the callback, which may still be returning when the wait ends.
  auto wait = std::make_shared<Wait>();
  if (!wait->event.valid()) return false;
  Post(1, 1,
       [wait](bool ok) {
         wait->ok = ok;
         SetEvent(wait->event.get());
       },
       true);
  if (WaitForSingleObject(wait->event.get(), kSendWaitMs) != WAIT_OBJECT_0) return false;
  return wait->ok;
}

std::string DataSession::BuildBody(int encrypt) {
  std::string body;
  BuildBody(encrypt, &body);
  return body;
}

bool DataSession::BuildBody(int encrypt, std::string* body) {
  std::string plain;
  const bool encoded = BuildPlainText(&plain);
  if (debug_) LOG_INFO << "stat: " << plain;
  *body = encrypt == 0 ? plain : Encipher(plain);
  return encoded;
}

bool DataSession::BuildPlainText(std::string* text) {
  text->clear();
  // The usual event, fields alone, is written directly; "ep" and texts that are not UTF-8 (whose
  // error the JSON library reports) take the JSON library's way.
  if (ep_fields_.empty() && extra_json_.empty() && json_text::WriteFieldObject(fields_, text)) return true;
  try {
    json event = ObjectFromFields(fields_);
    json ep = ep_fields_.empty() ? json() : ObjectFromFields(ep_fields_);
    for (const std::string& extra : extra_json_) {
      try {
        ep.merge_patch(ParseExtra(extra));
      } catch (const std::exception&) {
        LOG_INFO << "merge_patch exception";
      }
    }
    if (!ep.is_null()) event["ep"] = std::move(ep);
    *text = event.dump();
    return true;
  } catch (const json::type_error& e) {
    LOG_INFO << "json_dump Type error: " << e.what();
  } catch (const json::exception& e) {
    LOG_INFO << "JSON exception: " << e.what();
  }
  text->clear();
  return false;
}

void DataSession::OnPostResult(const Done& done, bool ok, int, const std::string&) {
  if (done) done(ok);
}

}  // namespace common
