#include "app/app_events.h"

#include "common/collector.h"
#include "common/data_session.h"
#include "common/singleton.h"

void SendAppEvent(const char* value) {
  Singleton<common::Collector>::GetInstance()->CreateSession("event", value)->AsynSend(1, 1, nullptr);
}

void ReportMouseShaked() { SendAppEvent("mouse_shaked"); }
