// GeoPackage for QGIS, written through GDAL/OGR, the library QGIS reads it with: the
// layers vessels, positions and tracks in EPSG:4326, each filled inside one transaction.
#include <cpl_error.h>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <mutex>
#include <span>
#include <string_view>
#include <vector>

#include "codec/point_texts.h"
#include "exports/export_formats.h"
#include "exports/export_text.h"
#include "exports/gpkg_rtree.h"

namespace pelorin {

namespace {

struct TField {
  const char* Name;
  OGRFieldType Type;
};

constexpr TField kVesselFields[] = {
    {"class", OFTString},          {"mmsi", OFTInteger64},       {"ship_name", OFTString},
    {"nav_status", OFTString},     {"call_sign", OFTString},     {"imo", OFTInteger64},
    {"ship_type", OFTString},      {"ship_type_code", OFTInteger}, {"length_m", OFTReal},
    {"width_m", OFTReal},          {"draught_m", OFTReal},       {"destination", OFTString},
    {"eta", OFTString},            {"reports_1_18", OFTInteger64}, {"reports_5_24", OFTInteger64},
    {"reports_14", OFTInteger64},  {"points", OFTInteger64},     {"first_time", OFTDateTime},
    {"last_time", OFTDateTime}};
enum TVesselField {
  kClass, kMmsi, kName, kNavStatus, kCallSign, kImo, kType, kTypeCode, kLength, kWidth, kDraught,
  kDestination, kEta, kReports118, kReports524, kReports14, kPoints, kFirst, kLast
};

constexpr TField kPositionFields[] = {{"mmsi", OFTInteger64}, {"time", OFTDateTime}, {"sog_kn", OFTReal},
                                      {"cog_deg", OFTReal},   {"heading", OFTInteger}, {"nav_status", OFTInteger},
                                      {"msg_type", OFTInteger}};
constexpr TField kTrackFields[] = {{"mmsi", OFTInteger64}, {"name", OFTString}, {"start_time", OFTDateTime},
                                   {"end_time", OFTDateTime}, {"points", OFTInteger}};

// Everything GDAL hands out, given back on every way out.
struct TGpkg {
  std::string Target;
  GDALDatasetH Dataset = nullptr;
  OGRSpatialReferenceH Wgs84 = nullptr;
  OGRFeatureH Feature = nullptr;
  bool InTransaction = false;
  ~TGpkg() {
    if (Feature != nullptr) OGR_F_Destroy(Feature);
    if (Dataset != nullptr) {
      if (InTransaction) GDALDatasetRollbackTransaction(Dataset);
      GDALClose(Dataset);
    }
    if (Wgs84 != nullptr) OSRDestroySpatialReference(Wgs84);
  }
};

[[noreturn]] void Fail(const TGpkg& g, std::string_view what) {
  std::string message = "cannot write " + g.Target + ": " + std::string(what);
  if (const char* detail = CPLGetLastErrorMsg(); detail != nullptr && *detail != '\0') message += ": " + std::string(detail);
  throw TExportError(message);
}

// Silences GDAL's own printing to stderr for the export's time; the message is ours to give.
struct TQuietGdal {
  TQuietGdal() {
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
  }
  ~TQuietGdal() { CPLPopErrorHandler(); }
};

OGRLayerH CreateLayer(TGpkg& g, const char* name, OGRwkbGeometryType type, std::span<const TField> fields,
                      bool gdalIndex = true) {
  const char* options[] = {gdalIndex ? nullptr : "SPATIAL_INDEX=NO", nullptr};
  OGRLayerH layer = GDALDatasetCreateLayer(g.Dataset, name, g.Wgs84, type, const_cast<char**>(options));
  if (layer == nullptr) Fail(g, std::string("layer ") + name);
  for (const TField& f : fields) {
    OGRFieldDefnH defn = OGR_Fld_Create(f.Name, f.Type);
    const OGRErr err = OGR_L_CreateField(layer, defn, TRUE);
    OGR_Fld_Destroy(defn);
    if (err != OGRERR_NONE) Fail(g, std::string("field ") + f.Name);
  }
  return layer;
}

void Begin(TGpkg& g, OGRLayerH layer, OGRwkbGeometryType type) {
  if (GDALDatasetStartTransaction(g.Dataset, FALSE) != OGRERR_NONE) Fail(g, "transaction");
  g.InTransaction = true;
  if (g.Feature != nullptr) OGR_F_Destroy(g.Feature);
  g.Feature = OGR_F_Create(OGR_L_GetLayerDefn(layer));
  OGR_F_SetGeometryDirectly(g.Feature, OGR_G_CreateGeometry(type));
}

void Commit(TGpkg& g) {
  g.InTransaction = false;
  if (GDALDatasetCommitTransaction(g.Dataset) != OGRERR_NONE) Fail(g, "commit");
}

void Insert(TGpkg& g, OGRLayerH layer) {
  OGR_F_SetFID(g.Feature, OGRNullFID);
  if (OGR_L_CreateFeature(layer, g.Feature) != OGRERR_NONE) Fail(g, "a feature");
}

void SetText(OGRFeatureH f, int field, std::string_view text) {
  if (text.empty()) {
    OGR_F_SetFieldNull(f, field);
    return;
  }
  thread_local std::string clean;
  clean.clear();
  AppendUtf8(clean, text);
  OGR_F_SetFieldString(f, field, clean.c_str());
}

void SetTime(OGRFeatureH f, int field, int64_t seconds) {
  TDateParts p;
  if (!UtcPartsOf(seconds, p)) {
    OGR_F_SetFieldNull(f, field);
    return;
  }
  OGR_F_SetFieldDateTimeEx(f, field, p.Year, p.Month, p.Day, p.Hour, p.Minute, static_cast<float>(p.Second), 100);
}

void SetMetres(OGRFeatureH f, int field, std::string_view text) {
  double metres = 0;
  if (MetresOf(text, metres))
    OGR_F_SetFieldDouble(f, field, metres);
  else
    OGR_F_SetFieldNull(f, field);
}

void SetVessel(OGRFeatureH f, const TStatic& ship, const TPlacedPoints& points) {
  uint32_t number = 0;
  SetText(f, kClass, ship.AISclass);
  MMSINumberOf(ship.MMSI, number);
  OGR_F_SetFieldInteger64(f, kMmsi, number);
  SetText(f, kName, ship.ShipName);
  SetText(f, kNavStatus, ship.NavStatus);
  SetText(f, kCallSign, ship.CallSign);
  if (const uint32_t imo = ImoNumberOf(ship.IMO); imo != 0)
    OGR_F_SetFieldInteger64(f, kImo, imo);
  else
    OGR_F_SetFieldNull(f, kImo);
  SetText(f, kType, ship.ShipsType);
  if (ship.ShipsTypeCode >= 0)
    OGR_F_SetFieldInteger(f, kTypeCode, ship.ShipsTypeCode);
  else
    OGR_F_SetFieldNull(f, kTypeCode);
  SetMetres(f, kLength, ship.Dimension.Laenge);
  SetMetres(f, kWidth, ship.Dimension.Breite);
  SetMetres(f, kDraught, ship.Draught);
  SetText(f, kDestination, ship.Destination);
  SetText(f, kEta, ship.ETA);
  OGR_F_SetFieldInteger64(f, kReports118, static_cast<GIntBig>(ship.aPlot.size()));
  OGR_F_SetFieldInteger64(f, kReports524, ship.Num_Msg5);
  OGR_F_SetFieldInteger64(f, kReports14, ship.Num_Msg14);
  OGR_F_SetFieldInteger64(f, kPoints, static_cast<GIntBig>(points.size()));
  OGRGeometryH point = OGR_F_GetGeometryRef(f);
  if (points.empty()) {
    OGR_F_SetFieldNull(f, kFirst);
    OGR_F_SetFieldNull(f, kLast);
    OGR_G_Empty(point);
    return;
  }
  SetTime(f, kFirst, points.front().Seconds);
  SetTime(f, kLast, points.back().Seconds);
  OGR_G_SetPoint_2D(point, 0, points.back().Lon, points.back().Lat);
}

void SetPosition(OGRFeatureH f, const TPlacedPoint& p) {
  const TDynamic& point = *p.Point;
  OGR_F_SetFieldInteger64(f, 0, point.MMSI_Number);
  SetTime(f, 1, p.Seconds);
  const int sog = SpeedTenths(point);
  const int cog = CourseTenths(point);
  sog >= 0 ? OGR_F_SetFieldDouble(f, 2, sog / 10.0) : OGR_F_SetFieldNull(f, 2);
  cog >= 0 ? OGR_F_SetFieldDouble(f, 3, cog / 10.0) : OGR_F_SetFieldNull(f, 3);
  point.TH_Degrees < 360 ? OGR_F_SetFieldInteger(f, 4, point.TH_Degrees) : OGR_F_SetFieldNull(f, 4);
  const bool classA = point.MsgType >= 1 && point.MsgType <= 3;
  classA ? OGR_F_SetFieldInteger(f, 5, point.NavStatusCode) : OGR_F_SetFieldNull(f, 5);
  OGR_F_SetFieldInteger(f, 6, point.MsgType);
  OGR_G_SetPoint_2D(OGR_F_GetGeometryRef(f), 0, p.Lon, p.Lat);
}

void SetTrack(OGRFeatureH f, const TStatic& ship, const TPlacedPoints& points, size_t begin, size_t end) {
  uint32_t number = 0;
  MMSINumberOf(ship.MMSI, number);
  OGR_F_SetFieldInteger64(f, 0, number);
  SetText(f, 1, VesselTitle(ship));
  SetTime(f, 2, points[begin].Seconds);
  SetTime(f, 3, points[end - 1].Seconds);
  OGR_F_SetFieldInteger(f, 4, static_cast<int>(end - begin));
  OGRGeometryH line = OGR_F_GetGeometryRef(f);
  OGR_G_Empty(line);
  OGR_G_SetPointCount(line, static_cast<int>(end - begin == 1 ? 2 : end - begin));
  for (size_t k = begin; k < end; ++k) OGR_G_SetPoint_2D(line, static_cast<int>(k - begin), points[k].Lon, points[k].Lat);
  // A line needs two points: a lone report stands as a line of no length.
  if (end - begin == 1) OGR_G_SetPoint_2D(line, 1, points[begin].Lon, points[begin].Lat);
}

void RemoveDatabase(const std::string& path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) RemoveQuietly(path + suffix);
}

}  // namespace

void WriteGpkgExport(const std::string& target, const TExportSet& set, TExportProgress& progress) {
  static std::once_flag registered;
  std::call_once(registered, [] { GDALAllRegister(); });
  const std::string staged = StagedPath(target);
  RemoveDatabase(staged);
  TQuietGdal quiet;
  try {
    TGpkg g;
    g.Target = target;
    GDALDriverH driver = GDALGetDriverByName("GPKG");
    if (driver == nullptr) Fail(g, "GDAL has no GeoPackage driver");
    g.Dataset = GDALCreate(driver, staged.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    if (g.Dataset == nullptr) Fail(g, "cannot create the file");
    g.Wgs84 = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(g.Wgs84, 4326);
    OSRSetAxisMappingStrategy(g.Wgs84, OAMS_TRADITIONAL_GIS_ORDER);

    TPlacedPoints points;
    OGRLayerH vessels = CreateLayer(g, "vessels", wkbPoint, kVesselFields);
    Begin(g, vessels, wkbPoint);
    for (const TExportVessel& v : set.Vessels) {
      PlacedPointsOf(v.Ship->aPlot, points);
      SetVessel(g.Feature, *v.Ship, points);
      Insert(g, vessels);
    }
    Commit(g);

    // The positions' index is packed afterwards (gpkg_rtree.h).
    OGRLayerH positions = CreateLayer(g, "positions", wkbPoint, kPositionFields, false);
    std::vector<TRtreeCell> cells;
    cells.reserve(static_cast<size_t>(ExportPointCount(set)));
    OGRLayerH tracks = CreateLayer(g, "tracks", wkbLineString, kTrackFields);
    Begin(g, positions, wkbPoint);
    for (const TExportVessel& v : set.Vessels) {
      PlacedPointsOf(v.Ship->aPlot, points);
      for (size_t k = 0; k < points.size(); ++k) {
        SetPosition(g.Feature, points[k]);
        Insert(g, positions);
        cells.push_back(PointCell(OGR_F_GetFID(g.Feature), points[k].Lon, points[k].Lat));
        if ((k & kStepMask) == kStepMask) Advance(progress, kStepMask + 1);
      }
      Advance(progress, RestOfTrack(v, points.size()));
    }
    Commit(g);

    Begin(g, tracks, wkbLineString);
    for (const TExportVessel& v : set.Vessels) {
      PlacedPointsOf(v.Ship->aPlot, points);
      ForEachStretch(points, [&](size_t begin, size_t end) {
        SetTrack(g.Feature, *v.Ship, points, begin, end);
        Insert(g, tracks);
      });
    }
    Commit(g);

    OGR_F_Destroy(g.Feature);
    g.Feature = nullptr;
    CPLErrorReset();
    GDALClose(g.Dataset);  // builds the spatial index
    g.Dataset = nullptr;
    if (CPLGetLastErrorType() >= CE_Failure) Fail(g, "closing the file");
    WritePointRtree(staged, target, "positions", "geom", cells, progress);
  } catch (...) {
    RemoveDatabase(staged);
    throw;
  }
  CommitStaged(target);
}

}  // namespace pelorin
