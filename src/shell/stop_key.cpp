#include "shell/stop_key.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace pelorin {

TStopKeyFilter::TStopKeyFilter(QObject* parent) : QObject(parent) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

TStopKeyFilter::~TStopKeyFilter() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool TStopKeyFilter::Query() {
  const bool answer = pressed_ || held_;
  pressed_ = false;
  return answer;
}

void TStopKeyFilter::Forget() {
  pressed_ = false;
  held_ = false;
}

bool TStopKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) pressed_ = held_ = true;
      break;
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) held_ = false;
      break;
    }
    case QEvent::ApplicationDeactivate:
      // The release may go to another program.
      held_ = false;
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pelorin
