#include "app/shake_statistics.h"

#include "common/collector.h"
#include "common/data_session.h"
#include "common/singleton.h"

void ReportMouseShaked() {
  Singleton<common::Collector>::GetInstance()->CreateSession("event", "mouse_shaked")->AsynSend(1, 1, nullptr);
}
