#pragma once
// The stop key. There is no global key state here, so an application-wide event filter
// records ESC in any window of the program; the query answers "pressed since the last
// query, or held now", as the desktop's key query would.
#include <QObject>

namespace pelorin {

class TStopKeyFilter : public QObject {
  Q_OBJECT

 public:
  // Installs itself on the application (which must exist) and removes itself on death.
  explicit TStopKeyFilter(QObject* parent = nullptr);
  ~TStopKeyFilter() override;

  bool Query();
  // Forgets presses made before long work starts (closing a dialog with ESC, say).
  void Forget();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool pressed_ = false;
  bool held_ = false;
};

}  // namespace pelorin
