#include "app/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <cxxopts.hpp>
#include <exception>

#include "common/text.h"

namespace {

// The parser skips its first argument as the program name.
constexpr char kProgramName[] = "Lumavex";

}  // namespace

StartOptions ParseStartOptions(const std::vector<std::string>& args) {
  StartOptions result;
  try {
    cxxopts::Options options(kProgramName, "command parse");
    options.add_options()
        ("open_setting", u8"打开设置界面的选项", cxxopts::value<bool>())
        ("show_balloon", u8"显示气泡提示的选项", cxxopts::value<bool>());
    options.allow_unrecognised_options();

    std::vector<const char*> argv;
    argv.reserve(args.size() + 1);
    if (args.empty()) argv.push_back(kProgramName);
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    const cxxopts::ParseResult parsed = options.parse(static_cast<int>(argv.size()), argv.data());

    result.open_setting = parsed.count("open_setting") > 0 && parsed["open_setting"].as<bool>();
    result.show_balloon = parsed.count("show_balloon") > 0 && parsed["show_balloon"].as<bool>();
    result.unknown = parsed.unmatched();
  } catch (const std::exception& e) {
    result = StartOptions();
    result.error = e.what();
    if (result.error.empty()) result.error = "unreadable command line";
  }
  return result;
}

int StartModeFor(const StartOptions& options) {
  if (options.open_setting) return 1;
  if (options.show_balloon) return 2;
  return 0;
}

std::vector<std::string> CommandLineArguments(const wchar_t* command_line) {
  std::vector<std::string> args;
  if (command_line == nullptr) return args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(command_line, &count);
  if (argv == nullptr) return args;
  for (int i = 0; i < count; ++i) {
    std::string arg = Utf16ToUtf8(argv[i]);
    if (!arg.empty()) args.push_back(std::move(arg));
  }
  LocalFree(argv);
  return args;
}
