#pragma once
// The Qt application for the window tests (offscreen) and fakes for the desktop.
#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include "platform/desktop.h"
#include "platform/ship_list_view.h"

namespace pelorin::test {

struct TShownMessage {
  TMessageKind Kind;
  std::string Caption;
  std::string Text;
};

class TRecordingMessageBox : public TMessageBox {
 public:
  void Show(TMessageKind kind, std::string_view caption, std::string_view text) override {
    Shown.push_back({kind, std::string(caption), std::string(text)});
  }
  std::vector<TShownMessage> Shown;
};

class TFakeOpener : public TDocumentOpener {
 public:
  void Open(const std::string& path) override { Opened.push_back(path); }
  bool HasApplicationFor(const std::string&) override { return HasApplication; }
  std::vector<std::string> Opened;
  bool HasApplication = true;
};

class TFakeShipListView : public TShipListView {
 public:
  void ShowShipList(const TShipList& ships) override {
    ++Shows;
    Vessels = ships.size();
  }
  int Shows = 0;
  size_t Vessels = 0;
};

// Runs `action` on the next modal dialog that opens (from inside its event loop).
void OnNextModal(std::function<void(QWidget*)> action);

}  // namespace pelorin::test
