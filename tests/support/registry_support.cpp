#include "tests/support/registry_support.h"

namespace testing_support {

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::wstring& sub_key, const std::wstring& value_name,
                                         REGSAM view)
    : root_(root), sub_key_(sub_key), value_name_(value_name), view_(view) {
  // Remember the first missing key on the path, so that only what this object creates is removed.
  size_t pos = 0;
  while (pos != std::wstring::npos) {
    pos = sub_key_.find(L'\\', pos + 1);
    const std::wstring prefix = sub_key_.substr(0, pos);
    ScopedRegKey key;
    if (RegOpenKeyExW(root_, prefix.c_str(), 0, KEY_READ | view_, key.put()) != ERROR_SUCCESS) {
      created_key_ = prefix;
      return;
    }
  }
  ScopedRegKey key;
  if (RegOpenKeyExW(root_, sub_key_.c_str(), 0, KEY_READ | view_, key.put()) != ERROR_SUCCESS) return;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), value_name_.c_str(), nullptr, &old_type_, nullptr, &size) == ERROR_SUCCESS) {
    old_data_.resize(size);
    existed_ = RegQueryValueExW(key.get(), value_name_.c_str(), nullptr, &old_type_, old_data_.data(), &size) ==
               ERROR_SUCCESS;
    old_data_.resize(size);
  }
}

ScopedRegistryValue::~ScopedRegistryValue() {
  if (!created_key_.empty()) {
    ScopedRegKey parent;
    const size_t slash = created_key_.rfind(L'\\');
    const std::wstring parent_path = slash == std::wstring::npos ? L"" : created_key_.substr(0, slash);
    const std::wstring leaf = slash == std::wstring::npos ? created_key_ : created_key_.substr(slash + 1);
    if (RegOpenKeyExW(root_, parent_path.c_str(), 0, KEY_ALL_ACCESS | view_, parent.put()) == ERROR_SUCCESS) {
      RegDeleteTreeW(parent.get(), leaf.c_str());
      RegDeleteKeyExW(parent.get(), leaf.c_str(), view_, 0);
    }
    return;
  }
  ScopedRegKey key;
  if (!Open(&key)) return;
  if (existed_) {
    RegSetValueExW(key.get(), value_name_.c_str(), 0, old_type_, old_data_.data(),
                   static_cast<DWORD>(old_data_.size()));
  } else {
    RegDeleteValueW(key.get(), value_name_.c_str());
  }
}

bool ScopedRegistryValue::Open(ScopedRegKey* key) {
  return RegCreateKeyExW(root_, sub_key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, key->put(),
                         nullptr) == ERROR_SUCCESS;
}

bool ScopedRegistryValue::SetString(const std::wstring& text) {
  return SetRaw(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool ScopedRegistryValue::SetRaw(DWORD type, const void* data, DWORD size) {
  ScopedRegKey key;
  if (!Open(&key)) return false;
  return RegSetValueExW(key.get(), value_name_.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

bool ScopedRegistryValue::Remove() {
  ScopedRegKey key;
  if (RegOpenKeyExW(root_, sub_key_.c_str(), 0, KEY_ALL_ACCESS | view_, key.put()) != ERROR_SUCCESS) return true;
  const LONG result = RegDeleteValueW(key.get(), value_name_.c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace testing_support
