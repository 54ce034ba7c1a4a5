#pragma once

#include <windows.h>

// What the product's installer calls. __stdcall, undecorated names (kestrin.def), ANSI strings.
extern "C" {
bool __stdcall CreateScheduledTask(const char* install_folder);
bool __stdcall DeleteScheduledTask(const char* install_folder);
BOOL __stdcall UpdateScheduledTaskConfig(const char* install_folder, int enable);
void __stdcall GetDeviceUniqueID(char* buffer, int buffer_size);
void __stdcall NotifySetupFinish();
void __stdcall SendEventStatistics(const char* app, const char* product_version, const char* module,
                                   const char* module_version, const char* event_key, const char* event_value,
                                   const char* extra_json, const char* distribution_id,
                                   const char* resource_distribution_id, const char* instance_id,
                                   const char* utm_source, const char* utm_medium, const char* utm_term,
                                   const char* utm_content);
}
