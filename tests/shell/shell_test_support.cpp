#include "shell/shell_test_support.h"

#include <chrono>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

// An action armed for a modal that never came must not fire in a later test.
std::vector<QPointer<QTimer>>& PendingModalActions() {
  static std::vector<QPointer<QTimer>> pending;
  return pending;
}

class TPendingModalCleaner : public ::testing::EmptyTestEventListener {
 public:
  void OnTestEnd(const ::testing::TestInfo&) override {
    for (const QPointer<QTimer>& timer : PendingModalActions()) delete timer.data();
    PendingModalActions().clear();
  }
};

class TQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_shell";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
    StartModalWatchdog();
    ::testing::UnitTest::GetInstance()->listeners().Append(new TPendingModalCleaner);
  }
  void TearDown() override {
    delete watchdog_;
    watchdog_ = nullptr;
    delete app_;
    app_ = nullptr;
  }

 private:
  // No test may hang on a modal window that nobody closes: one left open for seconds
  // fails the test and is closed, so that the run goes on.
  void StartModalWatchdog() {
    watchdog_ = new QTimer;
    watchdog_->setInterval(100);
    QObject::connect(watchdog_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      const auto now = std::chrono::steady_clock::now();
      if (modal != seen_.data()) {
        seen_ = modal;
        since_ = now;
        return;
      }
      if (!modal || now - since_ < kModalPatience) return;
      ADD_FAILURE() << "a modal " << modal->metaObject()->className() << " was left open; closing it";
      seen_ = nullptr;
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
      else
        modal->close();
    });
    watchdog_->start();
  }

  static constexpr std::chrono::seconds kModalPatience{5};
  QApplication* app_ = nullptr;
  QTimer* watchdog_ = nullptr;
  QPointer<QWidget> seen_;
  std::chrono::steady_clock::time_point since_{};
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace

void OnNextModal(std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  PendingModalActions().push_back(timer);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start();
}

}  // namespace pelorin::test
