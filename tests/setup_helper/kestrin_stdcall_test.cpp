#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "tests/setup_helper/kestrin_library.h"
#include "tests/support/pe_exports.h"
#include "tests/support/test_support.h"

// Built for 32-bit x86 only: elsewhere there is no __stdcall, and the callee never removes arguments.
#if !defined(__i386__)
#error "the stack cleanup check is a 32-bit x86 test"
#endif

namespace {

using testing_support::TempDir;

// Calls a function with the given 32-bit arguments pushed right to left and returns how far the stack
// pointer moved across the call: 0 when the callee removed exactly its arguments, as __stdcall must.
__attribute__((noinline)) int StackDeltaOfCall(void* fn, const uint32_t* args, int count) {
  int delta;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "movl %[count], %%ecx\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl -4(%[args],%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "call *%[fn]\n\t"
      "movl %%esp, %%eax\n\t"
      "subl %%esi, %%eax\n\t"
      "movl %%esi, %%esp\n\t"
      : "=&a"(delta)
      : [fn] "b"(fn), [args] "D"(args), [count] "m"(count)
      : "ecx", "edx", "esi", "memory", "cc");
  return delta;
}

TEST(KestrinExports, EveryExportRemovesItsOwnArguments) {
  KestrinLibrary kestrin(testing_support::DeliverablePath(L"Kestrin.dll"));
  ASSERT_TRUE(kestrin.loaded());
  TempDir dir;
  std::string folder;
  testing_support::ToAnsi(dir.path(), &folder);
  char buffer[64] = {};
  const uint32_t no_args[1] = {};
  const uint32_t id_args[] = {reinterpret_cast<uint32_t>(buffer), sizeof(buffer)};
  const uint32_t folder_args[] = {reinterpret_cast<uint32_t>(folder.c_str())};
  const uint32_t config_args[] = {reinterpret_cast<uint32_t>(folder.c_str()), 1};
  uint32_t event_args[14] = {};
  event_args[4] = reinterpret_cast<uint32_t>("event");
  event_args[5] = reinterpret_cast<uint32_t>("stack_check");
  // Null event key and value: nothing to send, and nothing to crash on.
  const uint32_t no_event_args[14] = {};
  struct Case {
    const char* name;
    void* fn;
    const uint32_t* args;
    int count;
  } cases[] = {
      // The task is created and then deleted again, so the run leaves none behind.
      {"CreateScheduledTask", reinterpret_cast<void*>(kestrin.CreateScheduledTask), folder_args, 1},
      {"DeleteScheduledTask", reinterpret_cast<void*>(kestrin.DeleteScheduledTask), folder_args, 1},
      {"GetDeviceUniqueID", reinterpret_cast<void*>(kestrin.GetDeviceUniqueID), id_args, 2},
      {"UpdateScheduledTaskConfig", reinterpret_cast<void*>(kestrin.UpdateScheduledTaskConfig), config_args, 2},
      {"NotifySetupFinish", reinterpret_cast<void*>(kestrin.NotifySetupFinish), no_args, 0},
      {"SendEventStatistics", reinterpret_cast<void*>(kestrin.SendEventStatistics), event_args, 14},
      {"SendEventStatistics without an event", reinterpret_cast<void*>(kestrin.SendEventStatistics), no_event_args, 14},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StackDeltaOfCall(c.fn, c.args, c.count), 0);
  }
}

}  // namespace
