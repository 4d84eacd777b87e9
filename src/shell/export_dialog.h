#pragma once
// The save dialog of "File" > "Export…": the formats, a name, and for "GPX, one file per
// vessel" a folder.
#include <optional>

#include <QString>

#include "exports/export_run.h"

class QWidget;

namespace pelorin {

struct TExportChoice {
  TExportFormat Format = TExportFormat::Kmz;
  QString Path;  // a folder for GpxFolder
};

// Empty when cancelled. A name typed without the format's extension gets it.
std::optional<TExportChoice> ChooseExportTarget(QWidget* parent, const QString& folder);

// The chosen name with the extension of its format, when it has none of its own.
QString WithExportExtension(const QString& path, TExportFormat format);

}  // namespace pelorin
