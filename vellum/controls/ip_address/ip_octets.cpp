#include "vellum/controls/ip_address/ip_octets.h"

namespace Vellum {
namespace {

constexpr int kOctetMax = 255;
constexpr int kDigitsPerOctet = 3;
constexpr int kLastOctet = 4;

// The digit of a main-keyboard or numpad digit key, or 0 for any other key.
wchar_t DigitOfKey(UINT virtual_key) {
  if (virtual_key >= '0' && virtual_key <= '9') return static_cast<wchar_t>(virtual_key);
  if (virtual_key >= VK_NUMPAD0 && virtual_key <= VK_NUMPAD9) {
    return static_cast<wchar_t>(L'0' + (virtual_key - VK_NUMPAD0));
  }
  return L'\0';
}

}  // namespace

CUIString FormatAddress(DWORD address) {
  CUIString text;
  text.SmallFormat(L"%d.%d.%d.%d", static_cast<int>((address >> 24) & 0xFF),
                   static_cast<int>((address >> 16) & 0xFF),
                   static_cast<int>((address >> 8) & 0xFF), static_cast<int>(address & 0xFF));
  return text;
}

int OctetAtOffset(int width, int offset) {
  const int quarter = width / 4;
  if (offset <= quarter) return 1;
  if (offset <= 2 * quarter) return 2;
  if (offset > 3 * quarter) return 4;
  return 3;
}

int OctetFromDigits(const wchar_t* digits) {
  int value = 0;
  for (const wchar_t* p = digits; p != nullptr && *p >= L'0' && *p <= L'9'; ++p) {
    value = value * 10 + (*p - L'0');
    if (value > kOctetMax) return kOctetMax;
  }
  return value;
}

bool COctetEditor::AllZero() const {
  for (int octet : octets_) {
    if (octet != 0) return false;
  }
  return true;
}

CUIString COctetEditor::GetText() const {
  CUIString text;
  text.SmallFormat(L"%d.%d.%d.%d", octets_[0], octets_[1], octets_[2], octets_[3]);
  return text;
}

void COctetEditor::Press(int width, int offset) {
  typed_ = L"";
  active_ = OctetAtOffset(width, offset);
}

void COctetEditor::Step(int delta) {
  if (active_ == kNoOctet) return;
  int& octet = octets_[active_ - 1];
  octet += delta;
  if (octet < 0) octet = 0;
  if (octet > kOctetMax) octet = kOctetMax;
}

void COctetEditor::Wheel(bool away_from_user) { Step(away_from_user ? 1 : -1); }

void COctetEditor::MoveTo(int octet) {
  // The active octet already holds the value of its typed digits; moving on starts afresh.
  typed_ = L"";
  active_ = octet;
}

bool COctetEditor::KeyDown(UINT virtual_key) {
  if (active_ == kNoOctet) return false;
  if (virtual_key == VK_DELETE || virtual_key == VK_BACK) {
    octets_[active_ - 1] = 0;
    typed_ = L"";
  }
  if (const wchar_t digit = DigitOfKey(virtual_key)) {
    last_digit_ = digit;
    typed_ += digit;
    octets_[active_ - 1] = OctetFromDigits(typed_.GetData());
    if (typed_.GetLength() >= kDigitsPerOctet) {
      typed_ = L"";
      if (active_ < kLastOctet) ++active_;
    }
  }
  switch (virtual_key) {
    case VK_LEFT:
      if (active_ < 2) return false;
      MoveTo(active_ - 1);
      return true;
    case VK_RIGHT:
    case VK_DECIMAL:
    case VK_OEM_PERIOD:
      if (active_ > 3) return false;
      MoveTo(active_ + 1);
      return true;
    case VK_UP:
      Step(1);
      return false;
    case VK_DOWN:
      Step(-1);
      return false;
    default:
      return false;
  }
}

}  // namespace Vellum
