#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CollectorHttp;

namespace common {

// One statistics event on its way to the collection endpoint: a snapshot of the collector's common
// fields plus the event's own, turned into one JSON text, enciphered under the collector key and
// posted. Created by Collector::CreateSession. All texts are UTF-8.
//
// A session is sent by one sender at a time; the maps may be changed between sends (the report path
// does), and each send rebuilds the body from them.
class DataSession : public std::enable_shared_from_this<DataSession> {
 public:
  using StringMap = std::map<std::string, std::string>;
  using Done = std::function<void(bool done)>;

  DataSession(const std::string& url, const StringMap& fields, const StringMap& ep_fields, bool add_elapsed_time,
              bool debug, std::shared_ptr<CollectorHttp> http);

  // Sends without waiting. done gets the outcome exactly once: on the HTTP client's task thread, or
  // at once on the caller's thread when there is no HTTP client or the event cannot be encoded.
  // Every caller passes mode 1 (POST) and encrypt 1.
  void AsynSend(int mode, int encrypt, Done done);
  // Sends and waits for the outcome, at most kSendWaitMs: true only when the request completed with
  // HTTP 200 within that time. The callers are programs on their way out or a second start giving
  // way, which must not be held by a dead or slow network (WinHTTP puts no limit on name
  // resolution); a request still running after the wait goes on without a waiter. The event does not
  // wait behind a request still out for the whole of that time: it goes out beside it (see
  // CollectorHttp::PostWaited), so that it reaches the collector within the wait.
  bool Send();

  static constexpr unsigned long kSendWaitMs = 5000;

  // The POST body: {"data":"<Base64 of the enciphered event>","enc":"1"}, or the plain event text
  // with encrypt 0.
  std::string BuildBody(int encrypt);

  // Forwards the outcome of the HTTP request to done; the code and the response text are not used.
  void OnPostResult(const Done& done, bool ok, int code, const std::string& response);

  // Field access for the collector and the event's sender.
  void SetField(const std::string& key, const std::string& value) { fields_[key] = value; }
  void SetEpField(const std::string& key, const std::string& value) { ep_fields_[key] = value; }
  // A JSON text merged into "ep" as a merge patch when the body is built.
  void AddExtraJson(const std::string& json) { extra_json_.push_back(json); }
  const StringMap& fields() const { return fields_; }
  const StringMap& ep_fields() const { return ep_fields_; }

 private:
  // AsynSend, or with `waited` the post of Send.
  void Post(int mode, int encrypt, Done done, bool waited);
  // False when the event could not be encoded (the error is logged); *body is then the body of an
  // empty event.
  bool BuildBody(int encrypt, std::string* body);
  bool BuildPlainText(std::string* text);

  StringMap fields_;
  StringMap ep_fields_;
  std::vector<std::string> extra_json_;
  std::shared_ptr<CollectorHttp> http_;
  std::string url_;
  bool add_elapsed_time_;
  bool debug_;
};

}  // namespace common
