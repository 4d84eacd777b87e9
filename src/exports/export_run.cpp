#include "exports/export_run.h"

#include <cctype>
#include <new>

#include "exports/export_formats.h"

namespace pelorin {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i]) return false;
  return true;
}

}  // namespace

bool ExportFormatOfPath(std::string_view path, TExportFormat& format) {
  constexpr std::pair<std::string_view, TExportFormat> kExtensions[] = {
      {".kmz", TExportFormat::Kmz}, {".gpx", TExportFormat::Gpx},
      {".gpkg", TExportFormat::Gpkg}, {".csv", TExportFormat::Csv}};
  for (const auto& [extension, f] : kExtensions)
    if (EndsWithNoCase(path, extension) && path.size() > extension.size()) {
      format = f;
      return true;
    }
  return false;
}

TTrafficResult ExportTraffic(TExportFormat format, const std::string& path, const TExportSet& set,
                            TProgressSink& sink) {
  TExportProgress progress{sink};
  StartProgress(progress, ExportPointCount(set));
  TTrafficResult result;
  try {
    switch (format) {
      case TExportFormat::Kmz: WriteKmzExport(path, set, progress); break;
      case TExportFormat::Gpx: WriteGpxExport(path, set, progress); break;
      case TExportFormat::GpxFolder: WriteGpxFolderExport(path, set, progress); break;
      case TExportFormat::Gpkg: WriteGpkgExport(path, set, progress); break;
      case TExportFormat::Csv: WriteCsvExport(path, set, progress); break;
    }
  } catch (const TExportStopped&) {
    result.Outcome = TTrafficOutcome::Stopped;
  } catch (const TExportError& e) {
    result = {TTrafficOutcome::Failed, e.what()};
  } catch (const std::bad_alloc&) {
    result = {TTrafficOutcome::Failed, "cannot write " + path + ": out of memory"};
  }
  sink.ResetProgressBar_Load();
  return result;
}

}  // namespace pelorin
