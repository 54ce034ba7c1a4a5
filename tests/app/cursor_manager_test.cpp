#include "app/cursor_manager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/app/recording_cursors.h"
#include "tests/support/log_capture.h"

namespace {

constexpr int64_t kMs = 1000000;

// Managers are made with the fixture's factor and the default restore delay; they count their
// enlarged transitions here (the end-to-end test counts the events at the loopback server).
class Manager : public testing::Test {
 protected:
  std::unique_ptr<CursorManager> Make() {
    return std::make_unique<CursorManager>(CursorManager::Settings{factor, 200}, [this] { ++transitions; }, system,
                                           [this] { return now; });
  }

  int32_t factor = 3;
  int transitions = 0;
  int64_t now = 50 * 1000 * kMs;
  RecordingCursors system{&now};
};

TEST_F(Manager, BuildsThirteenEntriesInOrderWithTheirOwnCopies) {
  auto manager = Make();
  const auto& entries = manager->entries();
  ASSERT_EQ(entries.size(), 13u);
  const DWORD ids[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643, 32644, 32645, 32646, 32648, 32649, 32650};
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i]->id, ids[i]);
    EXPECT_EQ(entries[i]->cached_scale, 3);
    EXPECT_EQ(RecordingCursors::Width(entries[i]->normal), 32);
    EXPECT_EQ(RecordingCursors::Width(entries[i]->enlarged), 96);
  }
  EXPECT_EQ(system.live.size(), 26u);
  EXPECT_FALSE(manager->enlarged());
  EXPECT_EQ(manager->last_enlarge_time(), 0);
  EXPECT_TRUE(system.sets.empty());

  manager.reset();
  EXPECT_TRUE(system.live.empty()) << "every copy is destroyed with the manager";
  EXPECT_EQ(system.foreign_destroys, 0);
}

TEST_F(Manager, OneEnlargementPerBurst) {
  auto manager = Make();
  manager->Enlarge();
  ASSERT_EQ(system.sets.size(), 13u);
  for (size_t i = 0; i < 13; ++i) {
    EXPECT_EQ(system.sets[i].id, CursorManager::kCursorIds[i]);
    EXPECT_EQ(system.sets[i].width, 96);
  }
  EXPECT_EQ(system.foreign_sets, 0);
  EXPECT_TRUE(manager->enlarged());
  EXPECT_EQ(transitions, 1);

  // Further decisions of the same burst only postpone the restore.
  now += 150 * kMs;
  manager->Enlarge();
  EXPECT_EQ(system.sets.size(), 13u);
  EXPECT_EQ(manager->last_enlarge_time(), now);
  EXPECT_EQ(transitions, 1);
}

TEST_F(Manager, RestoresOnlyAfterMoreThanTheDelayWithoutADecision) {
  auto manager = Make();
  manager->Enlarge();
  now += 150 * kMs;
  manager->Enlarge();
  const int64_t last = now;

  struct Step {
    int64_t after_ms;
    bool restored;
  };
  for (const Step step : {Step{100, false}, Step{200, false}, Step{200 + 1, true}}) {
    now = last + step.after_ms * kMs;
    manager->RestoreIfIdle();
    EXPECT_EQ(!manager->enlarged(), step.restored) << step.after_ms;
  }
  ASSERT_EQ(system.sets.size(), 26u);
  for (size_t i = 13; i < 26; ++i) {
    EXPECT_EQ(system.sets[i].id, CursorManager::kCursorIds[i - 13]);
    EXPECT_EQ(system.sets[i].width, 32);
    EXPECT_EQ(system.sets[i].when, last + 201 * kMs);
  }
  EXPECT_EQ(system.reloads, std::vector<bool>{false}) << "one scheme reload per restore, without broadcast";

  // Idle and normal: nothing more happens.
  now += 5000 * kMs;
  manager->RestoreIfIdle();
  EXPECT_EQ(system.sets.size(), 26u);

  // The next shake is a new burst.
  manager->Enlarge();
  EXPECT_TRUE(manager->enlarged());
  EXPECT_EQ(system.sets.size(), 39u);
  EXPECT_EQ(transitions, 2);
}

TEST_F(Manager, TheRestoreDelayIsTheOneItWasGiven) {
  CursorManager manager(CursorManager::Settings{factor, 500}, nullptr, system, [this] { return now; });
  manager.Enlarge();
  const int64_t last = now;
  now = last + 500 * kMs;
  manager.RestoreIfIdle();
  EXPECT_TRUE(manager.enlarged());
  now = last + 501 * kMs;
  manager.RestoreIfIdle();
  EXPECT_FALSE(manager.enlarged());
}

TEST_F(Manager, LiveCursorHandlesStayConstantOverAThousandCycles) {
  auto manager = Make();
  system.measure = false;
  const size_t live_at_start = system.live.size();
  for (int cycle = 0; cycle < 1000; ++cycle) {
    // Every tenth cycle changes the factor, which replaces the entries' copies.
    if (cycle % 10 == 0) manager->set_scale_factor(factor = factor == 3 ? 5 : 3);
    manager->Enlarge();
    now += 300 * kMs;
    manager->RestoreIfIdle();
    ASSERT_FALSE(manager->enlarged());
    ASSERT_EQ(system.live.size(), live_at_start) << "cycle " << cycle;
  }
  EXPECT_EQ(system.sets.size(), 26000u);
  EXPECT_EQ(system.foreign_sets, 0);
  EXPECT_EQ(system.foreign_destroys, 0);
}

TEST_F(Manager, ANewFactorTakesEffectAtTheNextEnlarge) {
  auto manager = Make();
  manager->set_scale_factor(5);
  manager->Enlarge();
  ASSERT_EQ(system.sets.size(), 13u);
  for (const auto& call : system.sets) EXPECT_EQ(call.width, 160);
  for (const auto& entry : manager->entries()) EXPECT_EQ(entry->cached_scale, 5);
}

TEST_F(Manager, EnlargedSizeFollowsThePointerSizeOfTheUsersScheme) {
  struct Case {
    const char* name;
    int pointer;         // side of the user's arrow
    int factor_at_start;
    int factor_at_enlarge;
    int side;            // of every cursor handed to the system
  };
  for (const Case c : {Case{"larger pointer", 48, 3, 3, 144}, Case{"larger pointer, new factor", 48, 3, 5, 240},
                       Case{"default pointer again", 32, 5, 5, 160}}) {
    SCOPED_TRACE(c.name);
    system.user_arrow_size = system.arrow_size = c.pointer;
    factor = c.factor_at_start;
    auto manager = Make();
    for (const auto& entry : manager->entries()) {
      EXPECT_EQ(RecordingCursors::Width(entry->enlarged), c.pointer * c.factor_at_start);
    }
    manager->set_scale_factor(c.factor_at_enlarge);
    system.sets.clear();
    manager->Enlarge();
    ASSERT_EQ(system.sets.size(), 13u);
    // The arrow is replaced first: what follows must not be built from the replacement's size.
    for (const auto& call : system.sets) EXPECT_EQ(call.width, c.side) << call.id;
  }
}

TEST_F(Manager, FactorOneEnlargesNothing) {
  factor = 1;
  auto manager = Make();
  for (const auto& entry : manager->entries()) EXPECT_EQ(entry->enlarged, nullptr);
  manager->Enlarge();
  EXPECT_TRUE(system.sets.empty());
}

TEST_F(Manager, RestoreSystemCursorsOnTheWayOut) {
  struct Case {
    const char* name;
    bool enlarged;
    bool reload_ok;
    size_t sets;  // arrows put back by hand
  };
  for (const Case c : {Case{"reloaded", true, true, 0}, Case{"reload fails while enlarged", true, false, 13},
                       Case{"reload fails while normal", false, false, 0}}) {
    SCOPED_TRACE(c.name);
    system.sets.clear();
    system.reloads.clear();
    system.reload_result = c.reload_ok;
    auto manager = Make();
    if (c.enlarged) manager->Enlarge();
    system.sets.clear();
    EXPECT_EQ(manager->RestoreSystemCursors(), c.reload_ok);
    EXPECT_FALSE(manager->enlarged());
    EXPECT_EQ(system.reloads, std::vector<bool>{true}) << "the reload broadcasts the change";
    ASSERT_EQ(system.sets.size(), c.sets);
    for (const auto& call : system.sets) EXPECT_EQ(call.width, 32);
  }
}

TEST_F(Manager, AnArrowThatCannotBeCopiedLeavesEveryEntryWithoutCursors) {
  testing_support::LogCapture log;
  ASSERT_TRUE(log.started());
  system.fail_copies = true;
  {
    auto manager = Make();
    for (const auto& entry : manager->entries()) {
      EXPECT_EQ(entry->normal, nullptr);
      EXPECT_EQ(entry->enlarged, nullptr);
    }
    manager->Enlarge();
    now += 300 * kMs;
    manager->RestoreIfIdle();
    EXPECT_TRUE(system.sets.empty());
  }
  const auto errors = log.Messages('E');
  for (const auto& message : errors) EXPECT_EQ(message.rfind("Failed to load system cursor", 0), 0u) << message;
  EXPECT_EQ(errors.size(), 13u) << "one line per entry, and no build is attempted for them";
}

TEST_F(Manager, LogsEachEnlargement) {
  testing_support::LogCapture log;
  ASSERT_TRUE(log.started());
  auto manager = Make();
  manager->Enlarge();
  manager->Enlarge();
  std::vector<std::string> texts;
  for (const auto& message : log.Messages('I')) {
    if (message.find("Enlarge") != std::string::npos) texts.push_back(message);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Enlarge", "Enlarge count"}));
}

}  // namespace
