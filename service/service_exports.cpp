// The library's entry and its three exports, undecorated through lumavex_service.def.
#include <windows.h>

#include "service/service_control.h"
#include "service/service_module.h"
#include "service/service_registration.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) SetServiceModule(module);
  return TRUE;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  try {
    RunServiceMain();
  } catch (...) {
    // Nothing may leave into the service host.
  }
}

HRESULT WINAPI DllRegisterServer() {
  try {
    return RegisterUpdateService();
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT WINAPI DllUnregisterServer() {
  try {
    return UnregisterUpdateService();
  } catch (...) {
    return E_FAIL;
  }
}

}  // extern "C"
