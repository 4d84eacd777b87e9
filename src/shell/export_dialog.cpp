#include "shell/export_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace pelorin {

namespace {

struct TFilter {
  const char* Text;
  TExportFormat Format;
  const char* Extension;  // "" for the folder
};

constexpr TFilter kFilters[] = {
    {"KMZ, Google Earth: one animated track per vessel (*.kmz)", TExportFormat::Kmz, ".kmz"},
    {"GPX, chart plotters and OpenCPN (*.gpx)", TExportFormat::Gpx, ".gpx"},
    {"GPX, one file per vessel, into a folder (*)", TExportFormat::GpxFolder, ""},
    {"GeoPackage, QGIS (*.gpkg)", TExportFormat::Gpkg, ".gpkg"},
    {"CSV, MarineCadastre layout (*.csv)", TExportFormat::Csv, ".csv"},
};

}  // namespace

QString WithExportExtension(const QString& path, TExportFormat format) {
  for (const TFilter& f : kFilters)
    if (f.Format == format && *f.Extension != '\0' && !path.endsWith(f.Extension, Qt::CaseInsensitive))
      return path + f.Extension;
  return path;
}

std::optional<TExportChoice> ChooseExportTarget(QWidget* parent, const QString& folder) {
  QStringList filters;
  for (const TFilter& f : kFilters) filters << f.Text;
  QString chosenFilter = filters.front();
  const QString path = QFileDialog::getSaveFileName(parent, "Export", QDir(folder).filePath("AIS traffic.kmz"),
                                                    filters.join(";;"), &chosenFilter);
  if (path.isEmpty()) return std::nullopt;
  TExportChoice choice;
  choice.Format = kFilters[std::max<qsizetype>(0, filters.indexOf(chosenFilter))].Format;
  // A name with an export extension of its own says which format is meant.
  TExportFormat byName;
  const bool named = ExportFormatOfPath(path.toStdString(), byName);
  if (choice.Format != TExportFormat::GpxFolder && named) choice.Format = byName;
  choice.Path = WithExportExtension(path, choice.Format);
  if (choice.Format == TExportFormat::GpxFolder && named) choice.Path = path.left(path.lastIndexOf('.'));
  return choice;
}

}  // namespace pelorin
