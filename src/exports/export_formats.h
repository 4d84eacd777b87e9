#pragma once
// The export formats' writers. Each writes `set` to `target` (staged, renamed when
// complete) and throws TExportError or TExportStopped, leaving no file behind.
#include <string>

#include "exports/export_file.h"
#include "exports/export_set.h"

namespace pelorin {

// The MarineCadastre point layout, RFC 4180.
void WriteCsvExport(const std::string& target, const TExportSet& set, TExportProgress& progress);
// GPX 1.1, one track per vessel.
void WriteGpxExport(const std::string& target, const TExportSet& set, TExportProgress& progress);
// One GPX file per vessel in `folder` (made when missing); all renamed into place at the end.
void WriteGpxFolderExport(const std::string& folder, const TExportSet& set, TExportProgress& progress);
// A zip holding doc.kml: label placemarks and one gx:MultiTrack per vessel.
void WriteKmzExport(const std::string& target, const TExportSet& set, TExportProgress& progress);
// GeoPackage with the layers vessels, positions and tracks.
void WriteGpkgExport(const std::string& target, const TExportSet& set, TExportProgress& progress);

}  // namespace pelorin
