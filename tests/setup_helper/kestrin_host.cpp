// Plays an installer: loads the installer helper, calls the exports named on the command line in order
// through __stdcall pointers, frees the library and exits. Each step prints one line with its result.
//   kestrin_host <dll> [notify | id | config <folder> <0|1> | create <folder> | delete <folder> |
//                       send <key> <value> <extra-hex|-> <did-hex|-> | free | sleep <ms>]...
// Texts that would need quoting come hex-encoded, as raw bytes: "-" stands for a null argument.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <string>

#include "tests/setup_helper/kestrin_library.h"

namespace {

// "-" gives no text; anything else is hex digits of the raw bytes.
bool FromHex(const char* hex, std::string* bytes) {
  if (std::strcmp(hex, "-") == 0) return false;
  bytes->clear();
  for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
    const char pair[3] = {hex[i], hex[i + 1], '\0'};
    bytes->push_back(static_cast<char>(std::strtoul(pair, nullptr, 16)));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  wchar_t path[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH);
  auto* kestrin = new KestrinLibrary(path);
  if (!kestrin->loaded()) {
    std::printf("load failed %lu\n", GetLastError());
    return 3;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (int i = 2; i < argc; ++i) {
    const char* step = argv[i];
    auto arg = [&](int k) -> const char* { return i + k < argc ? argv[i + k] : ""; };
    if (std::strcmp(step, "notify") == 0) {
      kestrin->NotifySetupFinish();
      std::printf("notify\n");
    } else if (std::strcmp(step, "id") == 0) {
      char id[64] = {};
      kestrin->GetDeviceUniqueID(id, sizeof(id));
      std::printf("id %s\n", id);
    } else if (std::strcmp(step, "config") == 0) {
      std::printf("config %d\n", kestrin->UpdateScheduledTaskConfig(arg(1), std::atoi(arg(2))));
      i += 2;
    } else if (std::strcmp(step, "create") == 0) {
      std::printf("create %d\n", kestrin->CreateScheduledTask(arg(1)) ? 1 : 0);
      i += 1;
    } else if (std::strcmp(step, "delete") == 0) {
      std::printf("delete %d\n", kestrin->DeleteScheduledTask(arg(1)) ? 1 : 0);
      i += 1;
    } else if (std::strcmp(step, "send") == 0) {
      const DWORD start = GetTickCount();
      std::string extra, did;
      const bool has_extra = FromHex(arg(3), &extra);
      const bool has_did = FromHex(arg(4), &did);
      kestrin->SendEventStatistics("lumavex", "1.2.3", "setup", "4.5.6", arg(1), arg(2),
                                   has_extra ? extra.c_str() : nullptr, has_did ? did.c_str() : nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr);
      std::printf("send %lu\n", GetTickCount() - start);
      i += 4;
    } else if (std::strcmp(step, "free") == 0) {
      const DWORD start = GetTickCount();
      delete kestrin;
      kestrin = nullptr;
      std::printf("free %lu\n", GetTickCount() - start);
      break;
    } else if (std::strcmp(step, "sleep") == 0) {
      Sleep(std::atoi(arg(1)));
      i += 1;
    }
    std::fflush(stdout);
  }
  std::fflush(stdout);
  CoUninitialize();
  return 0;
}
