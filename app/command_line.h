#pragma once

#include <string>
#include <vector>

// The tray program's command line: two switches, "--open_setting" and "--show_balloon", given by the
// installer when it starts the program. The logon task starts it without arguments.
//
// Anything else on the command line (an option of a newer or older installer, a stray word) is
// ignored and reported, and the program starts as usual: a tray program that refused to start over a
// word it does not know would leave the user without it until the next logon. A switch with a value
// that is no boolean makes the whole line unreadable; then both switches are off and the program
// starts silently into the tray.
struct StartOptions {
  bool open_setting = false;
  bool show_balloon = false;
  // Arguments other than the two switches, as the parser split them.
  std::vector<std::string> unknown;
  // Why the line could not be read; empty when it could.
  std::string error;
};

// Reads the arguments (UTF-8; the first is the program path). Never throws.
StartOptions ParseStartOptions(const std::vector<std::string>& args);

// The main window's start mode (MainWnd::StartMode): 1 opens the settings window, 2 shows the balloon
// tip, 0 starts silently into the tray. The settings window wins when both switches are given.
int StartModeFor(const StartOptions& options);

// Splits a command line as the system splits it (CommandLineToArgvW) and converts every argument, the
// program path included, to UTF-8; an argument that converts to no characters is left out.
std::vector<std::string> CommandLineArguments(const wchar_t* command_line);
