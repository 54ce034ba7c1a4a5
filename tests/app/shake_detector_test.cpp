#include "app/shake_detector.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

RAWINPUT MousePacket(USHORT flags, LONG x, LONG y) {
  RAWINPUT packet = {};
  packet.header.dwType = RIM_TYPEMOUSE;
  packet.header.dwSize = sizeof(RAWINPUTHEADER) + sizeof(RAWMOUSE);
  packet.data.mouse.usFlags = flags;
  packet.data.mouse.lLastX = x;
  packet.data.mouse.lLastY = y;
  return packet;
}

RAWINPUT Relative(LONG dx, LONG dy) { return MousePacket(MOUSE_MOVE_RELATIVE, dx, dy); }
RAWINPUT Absolute(LONG x, LONG y) { return MousePacket(MOUSE_MOVE_ABSOLUTE, x, y); }

// A detector on a clock the test moves by hand, counting its decisions.
class Detector : public testing::Test {
 protected:
  uint64_t now = 5'000'000;
  int shakes = 0;
  ShakeDetector detector{[this] { ++shakes; }, [this] { return now; }};

  // Moves `length` units along (ux, uy) in reports of `step` units, `ms` apart.
  void Run(int ux, int uy, int length, int step = 5, uint64_t ms = 0) {
    for (int moved = 0; moved < length; moved += step) {
      detector.AddMouseDelta(Relative(ux * step, uy * step));
      now += ms;
    }
  }
};

TEST_F(Detector, FirstReportIsStoredAndDecidesNothing) {
  detector.AddMouseDelta(Relative(900, 0));
  ASSERT_EQ(detector.samples().size(), 1u);
  EXPECT_EQ(detector.samples()[0].dx, 900);
  EXPECT_EQ(detector.samples()[0].tick, now);
  EXPECT_EQ(shakes, 0);
}

TEST_F(Detector, SameDirectionMergesIntoTheLastRunAndKeepsItsTick) {
  const uint64_t start = now;
  detector.AddMouseDelta(Relative(5, 2));
  now += 700;
  detector.AddMouseDelta(Relative(3, 9));
  ASSERT_EQ(detector.samples().size(), 1u);
  EXPECT_EQ(detector.samples()[0].dx, 8);
  EXPECT_EQ(detector.samples()[0].dy, 11);
  EXPECT_EQ(detector.samples()[0].tick, start);

  // A zero component is a direction of its own: (4, 0) is not the quadrant of (8, 11).
  now += 1;
  detector.AddMouseDelta(Relative(4, 0));
  ASSERT_EQ(detector.samples().size(), 2u);
  EXPECT_EQ(detector.samples()[1].tick, start + 701);
}

struct Alternation {
  const char* name;
  int ux, uy;            // direction of the odd runs; even runs go the opposite way
  int first_shake_run;   // 1-based run whose first report brings the first decision
};

class AlternatingShake : public Detector, public testing::WithParamInterface<Alternation> {};

TEST_P(AlternatingShake, DecidesAtTheFirstReportOfTheRunThatCompletesThePath) {
  const Alternation& a = GetParam();
  for (int run = 1; run <= 12; ++run) {
    const int sign = run % 2 == 1 ? 1 : -1;
    detector.AddMouseDelta(Relative(sign * a.ux * 5, sign * a.uy * 5));
    EXPECT_EQ(shakes, run >= a.first_shake_run ? run - a.first_shake_run + 1 : 0) << "run " << run;
    Run(sign * a.ux, sign * a.uy, 95, 5, 2);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, AlternatingShake,
    testing::Values(Alternation{"horizontal", 1, 0, 9}, Alternation{"vertical", 0, 1, 9},
                    // 100 reports of (5, 5) travel 141 units per run: six runs pass 800.
                    Alternation{"diagonal", 1, 1, 7}),
    [](const testing::TestParamInfo<Alternation>& info) { return std::string(info.param.name); });

struct Boundary {
  const char* name;
  std::vector<int> runs;  // alternating runs along x, one report each, then a still report
  bool shake;
};

class DecisionBoundary : public Detector, public testing::WithParamInterface<Boundary> {};

TEST_P(DecisionBoundary, PathAndRatioLimits) {
  for (int dx : GetParam().runs) detector.AddMouseDelta(Relative(dx, 0));
  detector.AddMouseDelta(Relative(0, 0));
  EXPECT_EQ(shakes > 0, GetParam().shake);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, DecisionBoundary,
    testing::Values(
        // Path 799 inside a box of 100 (ratio 7.99): too short.
        Boundary{"path799", {100, -100, 100, -100, 100, -100, 100, -99}, false},
        Boundary{"path800", {100, -100, 100, -100, 100, -100, 100, -100}, true},
        // Path 800 over an extent of 200: a ratio of exactly 4.0 is no shake.
        Boundary{"ratioExactly4", {200, -200, 200, -200}, false},
        Boundary{"ratioJustAbove4", {200, -200, 200, -200, 1}, true}),
    [](const testing::TestParamInfo<Boundary>& info) { return std::string(info.param.name); });

TEST_F(Detector, RunsOlderThanTheWindowAreDroppedByTheirStartTick) {
  struct Case {
    uint64_t trigger_age;  // age of the first run at the deciding report
    bool shake;
  };
  for (const Case c : {Case{1000, true}, Case{1001, false}}) {
    SCOPED_TRACE(c.trigger_age);
    ShakeDetector d([this] { ++shakes; }, [this] { return now; });
    shakes = 0;
    const uint64_t start = now;
    // The first run keeps moving for 950 ms, but its tick stays that of its first report.
    for (int i = 0; i < 19; ++i) {
      d.AddMouseDelta(Relative(5, 0));
      now += 50;
    }
    d.AddMouseDelta(Relative(5, 0));
    for (int run = 2; run <= 7; ++run) d.AddMouseDelta(Relative(run % 2 == 0 ? -100 : 100, 0));
    d.AddMouseDelta(Relative(-95, 0));
    EXPECT_EQ(shakes, 0);
    now = start + c.trigger_age;
    d.AddMouseDelta(Relative(5, 0));
    EXPECT_EQ(shakes > 0, c.shake);
    EXPECT_EQ(d.samples().size(), c.shake ? 9u : 8u);
  }
}

TEST_F(Detector, SteadyMovementOfAnyLengthNeverTriggers) {
  for (const auto& dir : {std::pair<int, int>{5, 0}, {0, -5}, {3, 7}}) {
    ShakeDetector d([this] { ++shakes; }, [this] { return now; });
    for (int i = 0; i < 20000; ++i) {
      d.AddMouseDelta(Relative(dir.first, dir.second));
      now += 1;
    }
    EXPECT_EQ(d.samples().size(), 1u);
  }
  EXPECT_EQ(shakes, 0);
}

TEST_F(Detector, ExtremeMovementSaturatesInsteadOfTurningRound) {
  // A very long run keeps its direction.
  for (int i = 0; i < 40000; ++i) detector.AddMouseDelta(Relative(65535, -65535));
  ASSERT_EQ(detector.samples().size(), 1u);
  EXPECT_EQ(detector.samples()[0].dx, INT32_MAX);
  EXPECT_EQ(detector.samples()[0].dy, INT32_MIN);
  detector.AddMouseDelta(Relative(5, -5));
  EXPECT_EQ(detector.samples().size(), 1u);

  // An absolute jump across the whole LONG range.
  detector.AddMouseDelta(Absolute(-2147483647, 1));
  detector.AddMouseDelta(Absolute(2147483647, 1));
  EXPECT_EQ(detector.samples().back().dx, INT32_MAX);
  EXPECT_EQ(shakes, 0);
}

TEST_F(Detector, AbsoluteReportsBecomeDifferencesToThePreviousPosition) {
  detector.AddMouseDelta(Absolute(30000, 20000));  // first position: no movement yet
  detector.AddMouseDelta(Absolute(30400, 20000));
  detector.AddMouseDelta(Absolute(0, 0));          // no movement, position kept
  detector.AddMouseDelta(Absolute(30100, 20300));
  const auto& s = detector.samples();
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(std::make_pair(s[0].dx, s[0].dy), std::make_pair(0, 0));
  EXPECT_EQ(std::make_pair(s[1].dx, s[1].dy), std::make_pair(400, 0));
  EXPECT_EQ(std::make_pair(s[2].dx, s[2].dy), std::make_pair(0, 0));
  EXPECT_EQ(std::make_pair(s[3].dx, s[3].dy), std::make_pair(-300, 300));

  // Relative reports leave the stored position alone.
  detector.AddMouseDelta(Relative(-7, 0));
  detector.AddMouseDelta(Absolute(30200, 20300));
  EXPECT_EQ(detector.samples().back().dx, 100);
}

TEST_F(Detector, AbsoluteShakeIsDetected) {
  for (int i = 0; i < 10; ++i) detector.AddMouseDelta(Absolute(i % 2 == 0 ? 1000 : 1300, 500));
  EXPECT_GT(shakes, 0);
}

TEST_F(Detector, FailedReadsChangeNothing) {
  detector.OnRawInput(nullptr);
  detector.OnRawInput(reinterpret_cast<HRAWINPUT>(static_cast<uintptr_t>(0x7ff0)));
  EXPECT_TRUE(detector.samples().empty());
  EXPECT_EQ(shakes, 0);
}

TEST(DetectorClock, DropsNothingWithinTheFirstSecondOfUptime) {
  uint64_t now = 10;
  int shakes = 0;
  ShakeDetector d([&] { ++shakes; }, [&] { return now; });
  for (int run = 0; run < 8; ++run) d.AddMouseDelta(Relative(run % 2 == 0 ? 100 : -100, 0));
  EXPECT_EQ(shakes, 1);
  EXPECT_EQ(d.samples().size(), 8u);
}

}  // namespace
