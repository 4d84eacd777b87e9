#include <chrono>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/gui_progress_sink.h"
#include "shell/shell_test_support.h"
#include "shell/stop_key.h"
#include "shell/time_spin_box.h"

namespace pelorin {
namespace {

struct SinkFixture : ::testing::Test {
  QProgressBar load, total;
  QPlainTextEdit details;
  QLabel hint;
  TStopKeyFilter stopKey;
  TGuiProgressSink sink{&load, &total, &details, &hint, &stopKey};
};

TEST_F(SinkFixture, PumpingOnEveryLineStaysCheap) {
  const auto begin = std::chrono::steady_clock::now();
  for (int i = 0; i < 1'000'000; ++i) {
    sink.SetBarPosition(TBar::Load, i);
    sink.ProcessMessages();
  }
  const auto spent = std::chrono::steady_clock::now() - begin;
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count(), 1500);
}

TEST_F(SinkFixture, PumpStillDeliversPendingEvents) {
  bool delivered = false;
  QTimer::singleShot(0, [&] { delivered = true; });
  const auto until = std::chrono::steady_clock::now() + 3 * TGuiProgressSink::kPumpInterval;
  while (!delivered && std::chrono::steady_clock::now() < until) sink.ProcessMessages();
  EXPECT_TRUE(delivered);
}

TEST_F(SinkFixture, StepsReachTheBarAndStillPump) {
  sink.SetBarMax(TBar::Load, 1000);
  bool delivered = false;
  QTimer::singleShot(0, [&] { delivered = true; });
  const auto until = std::chrono::steady_clock::now() + 3 * TGuiProgressSink::kPumpInterval;
  int64_t i = 0;
  while (!delivered && std::chrono::steady_clock::now() < until) sink.StepBar(TBar::Load, ++i % 1000);
  EXPECT_TRUE(delivered);
  // A position set after the last pump shows at the next flush; so does moving back.
  for (const int64_t position : {700, 300, 300, 999}) {
    sink.StepBar(TBar::Load, position);
    sink.Flush();
    EXPECT_EQ(load.value(), position);
  }
}

TEST_F(SinkFixture, BarsAndLinesAppearWhenFlushed) {
  sink.SetBarMin(TBar::Total, 2);
  sink.SetBarMax(TBar::Total, 7);
  sink.SetBarPosition(TBar::Total, 5);
  sink.SetBarPosition(TBar::Load, 1'000'000'000'000);  // beyond int: shown as full
  sink.AppendDetail("one");
  sink.AppendDetail("two");
  sink.Flush();
  EXPECT_EQ(total.minimum(), 2);
  EXPECT_EQ(total.maximum(), 7);
  EXPECT_EQ(total.value(), 5);
  EXPECT_EQ(load.value(), 100);
  EXPECT_EQ(details.toPlainText(), "one\ntwo");
  sink.ClearDetails();
  sink.AppendDetail("three");
  sink.Flush();
  EXPECT_EQ(details.toPlainText(), "three");
}

// New lines keep the newest in view unless the user has scrolled up, also in a pane
// that is shown only later (the details check box).
TEST_F(SinkFixture, DetailsFollowTheNewestLineUnlessScrolledUp) {
  details.resize(200, 100);
  QScrollBar* bar = details.verticalScrollBar();
  const auto append = [&](int lines) {
    for (int i = 0; i < lines; ++i) sink.AppendDetail("line " + std::to_string(i));
    sink.Flush();
  };
  append(100);
  details.show();
  ASSERT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->setValue(3);
  append(100);
  EXPECT_EQ(bar->value(), 3);
  bar->setValue(bar->maximum());
  append(100);
  EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(SinkFixture, TensOfThousandsOfLinesAppendQuickly) {
  const auto begin = std::chrono::steady_clock::now();
  for (int i = 0; i < 50'000; ++i) {
    sink.AppendDetail("Number of Lines in File[" + std::to_string(i) + "]: 1234");
    sink.ProcessMessages();
  }
  sink.Flush();
  const auto spent = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(details.blockCount(), 50'000);
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count(), 5000);
}

TEST_F(SinkFixture, StopKeyAnswersPressedSinceLastQueryOrHeld) {
  QLineEdit anyWidget;
  anyWidget.show();
  EXPECT_FALSE(sink.StopKeyPressed());
  QTest::keyClick(&anyWidget, Qt::Key_Escape);  // pressed and released
  EXPECT_TRUE(sink.StopKeyPressed());
  EXPECT_FALSE(sink.StopKeyPressed());
  QTest::keyPress(&anyWidget, Qt::Key_Escape);  // held
  EXPECT_TRUE(sink.StopKeyPressed());
  EXPECT_TRUE(sink.StopKeyPressed());
  QTest::keyRelease(&anyWidget, Qt::Key_Escape);
  EXPECT_FALSE(sink.StopKeyPressed());
  QTest::keyClick(&anyWidget, Qt::Key_A);
  EXPECT_FALSE(sink.StopKeyPressed());
}

TEST_F(SinkFixture, BeginWorkForgetsEarlierPressesAndRequests) {
  QLineEdit anyWidget;
  QTest::keyClick(&anyWidget, Qt::Key_Escape);
  sink.RequestStop();
  sink.BeginWork();
  EXPECT_FALSE(sink.StopKeyPressed());
  sink.RequestStop();
  EXPECT_TRUE(sink.StopKeyPressed());
  EXPECT_TRUE(sink.StopKeyPressed());
}

TEST(TimeSpinBox, ArrowsWrapWithinTheRange) {
  struct Case {
    const char* text;
    int steps, maximum, expected;
  } cases[] = {
      {"23", 1, 23, 0}, {"0", -1, 23, 23}, {"59", 1, 59, 0}, {"0", -1, 59, 59}, {"7", 1, 23, 8},
      {"abc", 1, 23, 1}, {"", -1, 59, 59}, {"90", 1, 59, 0}, {"-5", 1, 23, 1}, {" 5 ", -2, 23, 3},
      {"99999999999999999999", 1, 23, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WrapTimeStep(c.text, c.steps, c.maximum), c.expected) << c.text << " " << c.steps;
}

TEST(TimeSpinBox, TypedTextIsKeptAsItStands) {
  TTimeSpinBox box(59, "0");
  box.show();
  box.selectAll();
  QTest::keyClicks(&box, "90");
  EXPECT_EQ(box.Text(), "90");
  box.clearFocus();
  EXPECT_EQ(box.Text(), "90");
  box.selectAll();
  QTest::keyClicks(&box, "x1");
  EXPECT_EQ(box.Text(), "x1");
}

TEST(TimeSpinBox, UpDownKeysStepAndWrap) {
  TTimeSpinBox box(23, "23");
  box.show();
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_Up);
  EXPECT_EQ(box.Text(), "0");
  QTest::keyClick(&box, Qt::Key_Down);
  EXPECT_EQ(box.Text(), "23");
  box.stepBy(3);
  EXPECT_EQ(box.Text(), "2");
}

}  // namespace
}  // namespace pelorin
