// GPX 1.1 for chart plotters and OpenCPN: a track per vessel, a segment per stretch,
// speed and course in Garmin's TrackPointExtension (v2), which most readers know.
#include <algorithm>
#include <filesystem>
#include <set>
#include <span>
#include <system_error>
#include <vector>

#include "codec/point_texts.h"
#include "exports/export_formats.h"
#include "exports/export_text.h"
#include "output/kml_writer.h"

namespace pelorin {

namespace {

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<gpx version=\"1.1\" creator=\"Pelorin\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
    "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd "
    "http://www.garmin.com/xmlschemas/TrackPointExtension/v2 "
    "http://www.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\">\r\n"
    "  <metadata>\r\n    <name>AIS tracks</name>\r\n  </metadata>\r\n";
constexpr std::string_view kTail = "</gpx>\r\n";

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

void AppendPoint(std::string& out, const TPlacedPoint& p) {
  out += "      <trkpt lat=\"";
  AppendDegrees(out, p.Lat);
  out += "\" lon=\"";
  AppendDegrees(out, p.Lon);
  out += "\">";
  const size_t before = out.size();
  out += "<time>";
  if (AppendUtcTime(out, p.Seconds, true))
    out += "</time>";
  else
    out.resize(before);
  const int sog = SpeedTenths(*p.Point);
  const int cog = CourseTenths(*p.Point);
  if (sog >= 0 || cog >= 0) {
    out += "<extensions><gpxtpx:TrackPointExtension>";
    if (sog >= 0) {
      // Three decimals of m/s keep the sender's tenths of a knot (0.0514 m/s).
      out += "<gpxtpx:speed>";
      AppendFixed(out, sog / 10.0 * kMetresPerSecondPerKnot, 3);
      out += "</gpxtpx:speed>";
    }
    if (cog >= 0) {
      out += "<gpxtpx:course>";
      AppendTenths(out, cog);
      out += "</gpxtpx:course>";
    }
    out += "</gpxtpx:TrackPointExtension></extensions>";
  }
  out += "</trkpt>\r\n";
}

void WriteTrack(TExportText& out, const TExportVessel& v, TPlacedPoints& points, TExportProgress& progress) {
  PlacedPointsOf(v.Ship->aPlot, points);
  std::string& b = out.Buffer;
  b += "  <trk>\r\n    <name>";
  KmlEscape(b, VesselTitle(*v.Ship));
  b += "</name>\r\n    <desc>";
  KmlEscape(b, VesselSummary(*v.Ship));
  b += "</desc>\r\n";
  ForEachStretch(points, [&](size_t begin, size_t end) {
    b += "    <trkseg>\r\n";
    for (size_t k = begin; k < end; ++k) {
      AppendPoint(b, points[k]);
      if ((k & kStepMask) == kStepMask) {
        Drain(out);
        Advance(progress, kStepMask + 1);
      }
    }
    b += "    </trkseg>\r\n";
  });
  b += "  </trk>\r\n";
  Drain(out);
  Advance(progress, RestOfTrack(v, points.size()));
}

void WriteGpxFile(const std::string& target, std::span<const TExportVessel> vessels, TExportProgress& progress) {
  TExportText out;
  try {
    OpenExportText(out, target);
    out.Buffer += kHead;
    TPlacedPoints points;
    for (const TExportVessel& v : vessels) WriteTrack(out, v, points, progress);
    out.Buffer += kTail;
    FinishExportText(out);  // renamed with the others once all are written
  } catch (...) {
    AbandonExportText(out);
    throw;
  }
}

// "211234560 NORDIC STAR.gpx": characters that file systems or plotters refuse become "_".
std::string VesselFileName(const TStatic& ship) {
  std::string name = ship.MMSI;
  if (!ship.ShipName.empty()) name += ' ' + ship.ShipName;
  for (char& c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' || c == '-' ||
          c == '.'))
      c = '_';
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  return name;
}

}  // namespace

void WriteGpxExport(const std::string& target, const TExportSet& set, TExportProgress& progress) {
  WriteGpxFile(target, set.Vessels, progress);
  CommitStaged(target);
}

void WriteGpxFolderExport(const std::string& folder, const TExportSet& set, TExportProgress& progress) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder))
    throw TExportError("cannot write into the folder " + folder + ": " + (ec ? ec.message() : "not a folder"));
  std::vector<std::string> targets;
  std::set<std::string> taken;
  try {
    for (const TExportVessel& v : set.Vessels) {
      std::string base = VesselFileName(*v.Ship);
      std::string name = base;
      for (int n = 2; !taken.insert(name).second; ++n) name = base + " (" + std::to_string(n) + ")";
      targets.push_back((std::filesystem::path(folder) / (name + ".gpx")).string());
      WriteGpxFile(targets.back(), std::span(&v, 1), progress);
    }
  } catch (...) {
    for (const std::string& t : targets) RemoveQuietly(StagedPath(t));
    throw;
  }
  for (const std::string& t : targets) CommitStaged(t);
}

}  // namespace pelorin
