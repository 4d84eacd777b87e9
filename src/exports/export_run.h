#pragma once
// Exports of a run's ship table in the formats other tools read: KMZ (Google Earth), GPX
// (chart plotters, OpenCPN), GeoPackage (QGIS) and CSV (the MarineCadastre layout).
#include <cstdint>
#include <string>
#include <string_view>

#include "exports/export_set.h"
#include "platform/progress_sink.h"

namespace pelorin {

enum class TExportFormat { Kmz, Gpx, GpxFolder, Gpkg, Csv };

// By the file name's extension (.kmz, .gpx, .gpkg, .csv, in any case); false for any other.
bool ExportFormatOfPath(std::string_view path, TExportFormat& format);

enum class TTrafficOutcome { Written, Stopped, Failed };

struct TTrafficResult {
  TTrafficOutcome Outcome = TTrafficOutcome::Written;
  std::string Message;  // why it failed
};

// Writes `set` to `path` (a folder for GpxFolder). Progress on the Load bar; ESC stops.
// A stopped or failed export leaves no file behind, and an earlier file of that name
// stays as it was.
TTrafficResult ExportTraffic(TExportFormat format, const std::string& path, const TExportSet& set,
                            TProgressSink& sink);

}  // namespace pelorin
