#pragma once
// What the logic asks of the desktop besides progress: message boxes and opening a
// document with the user's default application.
#include <string>
#include <string_view>

namespace pelorin {

enum class TMessageKind { Information, Error };

class TMessageBox {
 public:
  virtual ~TMessageBox() = default;
  // Modal box with an OK button. Information: caption "Information"; errors carry
  // their own caption ("Fehler", "Error").
  virtual void Show(TMessageKind kind, std::string_view caption, std::string_view text) = 0;
};

class TDocumentOpener {
 public:
  virtual ~TDocumentOpener() = default;
  // Hand the file to the application registered for its type; the result is not examined.
  virtual void Open(const std::string& path) = 0;
  // Where the outcome matters (a KML document, which Pelorin can show itself): whether the
  // desktop has an application for the file's type at all, and an Open that says whether
  // the hand-over worked.
  virtual bool HasApplicationFor(const std::string& path) {
    (void)path;
    return true;
  }
  virtual bool TryOpen(const std::string& path) {
    Open(path);
    return true;
  }
};

}  // namespace pelorin
