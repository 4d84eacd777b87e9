#pragma once
// "View" > "Reception Range": the farthest position heard per degree of bearing from the
// own vessel as a polar diagram, one curve per UTC day, and "Save Picture…" as PNG.
#include <functional>
#include <memory>
#include <optional>

#include <QImage>
#include <QString>
#include <QWidget>

#include "codec/ais_records.h"
#include "coverage/reception_range.h"
#include "platform/desktop.h"
#include "platform/progress_sink.h"
#include "shell/picture_file.h"

class QLabel;
class QPushButton;

namespace pelorin {

struct TReceptionWindowOptions {
  TPicturePathChooser ChoosePicturePath;  // null: a save dialog
  TMessageBox* Messages = nullptr;  // a picture that cannot be written; null: not told
};

// The diagram itself, painted from the window's ranges.
class TReceptionDiagram : public QWidget {
  Q_OBJECT

 public:
  explicit TReceptionDiagram(QWidget* parent = nullptr);
  void SetRanges(const TReceptionRanges* ranges, QString caption);
  // The picture "Save Picture…" writes: the diagram at its size now.
  QImage Picture() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TReceptionRanges* ranges_ = nullptr;
  QString caption_;
};

class TReceptionWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TReceptionWindow(TReceptionWindowOptions options = {}, QWidget* parent = nullptr);
  // The table of the last completed run; the range is measured at once.
  void SetShips(std::shared_ptr<const TShipList> ships, TProgressSink& sink);
  const TReceptionRanges& Ranges() const { return ranges_; }

  void SavePicture1Click();

  QLabel* Label_Farthest = nullptr;
  QPushButton* Button_SavePicture = nullptr;
  TReceptionDiagram* Diagram = nullptr;

 private:
  TReceptionWindowOptions options_;
  std::shared_ptr<const TShipList> ships_;
  TReceptionRanges ranges_;
};

// "Farthest: <name> (MMSI <mmsi>), <NM> NM at <bearing>°, <time> UTC", or that nothing
// was heard at a time with an own position.
QString FarthestText(const TShipList& ships, const TReceptionRanges& ranges);

}  // namespace pelorin
