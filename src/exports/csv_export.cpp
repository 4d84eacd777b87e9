// The MarineCadastre point layout, the one most AIS tutorials and tools read.
#include <string_view>

#include "codec/point_texts.h"
#include "exports/export_formats.h"
#include "exports/export_text.h"

namespace pelorin {

namespace {

constexpr std::string_view kHeader =
    "MMSI,BaseDateTime,LAT,LON,SOG,COG,Heading,VesselName,IMO,CallSign,VesselType,Status,Length,Width,Draft,"
    "Cargo,TransceiverClass\r\n";

// RFC 4180 quoting; a cell a spreadsheet would take for a formula gets an apostrophe.
void AppendCell(std::string& out, std::string_view text) {
  const bool formula = !text.empty() && std::string_view("=+-@").find(text.front()) != std::string_view::npos;
  const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos;
  if (quoted) out += '"';
  if (formula) out += '\'';
  const size_t from = out.size();
  AppendUtf8(out, text);
  if (quoted)
    for (size_t i = from; i < out.size(); ++i)
      if (out[i] == '"') out.insert(i++, 1, '"');
  if (quoted) out += '"';
}

// Dimensions come in whole metres, the draught in tenths.
void AppendMetres(std::string& out, std::string_view text, int decimals) {
  double metres = 0;
  if (MetresOf(text, metres)) AppendFixed(out, metres, decimals);
}

// Without the blanks that pad a name or call sign to its field.
std::string_view Trimmed(std::string_view text) { return text.substr(0, text.find_last_not_of(' ') + 1); }

// The vessel's columns from VesselName to Cargo, the same on each of its rows.
std::string VesselColumns(const TStatic& ship) {
  std::string out;
  AppendCell(out, Trimmed(ship.ShipName));
  out += ',';
  if (const uint32_t imo = ImoNumberOf(ship.IMO); imo != 0) {
    out += "IMO";
    AppendInt(out, imo);
  }
  out += ',';
  AppendCell(out, Trimmed(ship.CallSign));
  out += ',';
  if (ship.ShipsTypeCode > 0) AppendInt(out, ship.ShipsTypeCode);
  return out;
}

std::string SizeColumns(const TStatic& ship) {
  std::string out;
  AppendMetres(out, ship.Dimension.Laenge, 0);
  out += ',';
  AppendMetres(out, ship.Dimension.Breite, 0);
  out += ',';
  AppendMetres(out, ship.Draught, 1);
  out += ",,";  // Cargo: no value of its own in the messages
  return out;
}

std::string_view ClassOf(const TStatic& ship, const TDynamic& point) {
  if (point.MsgType == 18) return "B";
  if (point.MsgType != kOwnShipFix) return "A";
  const std::string_view own = ship.AISclass;
  return own == "A" || own == "B" ? own : std::string_view();
}

void AppendRow(std::string& out, const TStatic& ship, const TPlacedPoint& p, std::string_view vessel,
               std::string_view sizes) {
  const TDynamic& point = *p.Point;
  AppendInt(out, point.MMSI_Number);
  out += ',';
  AppendUtcTime(out, p.Seconds, false);
  out += ',';
  AppendDegrees(out, p.Lat);
  out += ',';
  AppendDegrees(out, p.Lon);
  out += ',';
  if (const int sog = SpeedTenths(point); sog >= 0) AppendTenths(out, sog);
  out += ',';
  if (const int cog = CourseTenths(point); cog >= 0) AppendTenths(out, cog);
  out += ',';
  AppendInt(out, point.TH_Degrees < 360 ? point.TH_Degrees : 511);
  out += ',';
  out += vessel;
  out += ',';
  if (point.MsgType >= 1 && point.MsgType <= 3) AppendInt(out, point.NavStatusCode);
  out += ',';
  out += sizes;
  out += ClassOf(ship, point);
  out += "\r\n";
}

}  // namespace

void WriteCsvExport(const std::string& target, const TExportSet& set, TExportProgress& progress) {
  TExportText out;
  try {
    OpenExportText(out, target);
    out.Buffer += kHeader;
    TPlacedPoints points;
    for (const TExportVessel& v : set.Vessels) {
      const std::string vessel = VesselColumns(*v.Ship);
      const std::string sizes = SizeColumns(*v.Ship);
      PlacedPointsOf(v.Ship->aPlot, points);
      for (size_t k = 0; k < points.size(); ++k) {
        AppendRow(out.Buffer, *v.Ship, points[k], vessel, sizes);
        if ((k & kStepMask) == kStepMask) {
          Drain(out);
          Advance(progress, kStepMask + 1);
        }
      }
      Drain(out);
      Advance(progress, RestOfTrack(v, points.size()));
    }
    CloseExportText(out);
  } catch (...) {
    AbandonExportText(out);
    throw;
  }
}

}  // namespace pelorin
