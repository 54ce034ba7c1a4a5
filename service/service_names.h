#pragma once

// The names under which the update service is known to the service control manager, the service host
// and the installer helper.
constexpr wchar_t kServiceName[] = L"LumavexUtilityService";
constexpr wchar_t kServiceGroupName[] = L"LumavexUtilityGroup";
constexpr wchar_t kSetupFinishEventName[] = L"Global\\LumavexSetupFinish";
// The folder under the service account's temporary folder that holds the log and the setup packages.
constexpr wchar_t kServiceFolderName[] = L"Lumavex";
constexpr wchar_t kServiceLogFileName[] = L"LumavexUtilityService.log";
constexpr char kServiceLoggerName[] = "lumavex_service_log";
