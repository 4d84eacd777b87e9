// The desktop program: the main window (which loads the settings and creates the help
// window and the notices) and the message loop.
#include <QApplication>

#include "shell/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Pelorin");
  QApplication::setApplicationDisplayName("Pelorin");
  pelorin::TFormMain window;
  window.show();
  return QApplication::exec();
}
