#include "analysis/log_pass.h"

#include <exception>
#include <string_view>
#include <utility>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/nmea.h"

namespace pelorin {

namespace {

// TNMEA_Multi: the reassembly state of one pass.
struct TNMEA_Multi {
  std::string NMEA_No;
  std::string NMEA_Part;
  std::string AIS_Msg;
  bool Stored = false;  // a first part has been stored in this pass
};

struct TPass {
  TAnalysisState& state;
  const TLogPassOptions& options;
  int64_t startSeconds;
  int64_t endSeconds;
  TFieldList fields;
  TNMEA_Multi multi;
  std::string joined;

  bool ReducedData() const { return options.ReducedData == nullptr || *options.ReducedData; }

  bool InsideWindow(TDateTime t) const {
    const int64_t s = TDateTimeToSeconds(t);
    return startSeconds <= s && s <= endSeconds;
  }

  void Line(std::string_view line) {
    switch (NMEA_Split(line, fields)) {
      case sk_AIS: AisSentence(false); break;
      case sk_OwnAIS: AisSentence(true); break;
      case sk_RMC: RmcSentence(); break;
      case sk_ZDA: ZdaSentence(); break;
      default: break;
    }
  }

  void RmcSentence() {
    const bool ok = RMC_TimeStampDT(fields, state.GPS_TimeStampDT);
    if (!ok || !InsideWindow(state.GPS_TimeStampDT)) {
      state.InTimeWindow = false;
      return;
    }
    state.InTimeWindow = true;
    RMC_TimeStampStr(fields, state.GPS_TimeStampStr);
    if (!state.OwnAIS_Seen) OwnShipFix();
  }

  void ZdaSentence() {
    const bool ok = ZDA_TimeStampDT(fields, state.GPS_TimeStampDT);
    if (!ok || !InsideWindow(state.GPS_TimeStampDT)) {
      state.InTimeWindow = false;
      return;
    }
    state.InTimeWindow = true;
    ZDA_TimeStampStr(fields, state.GPS_TimeStampStr);
  }

  void OwnShipFix() {
    EnsureOwnShipEntry(state);
    const std::string_view stamp = state.GPS_TimeStampStr;
    const std::string_view seconds = stamp.size() >= 19 ? stamp.substr(17, 2) : std::string_view();
    if (seconds != "00" && seconds != "30") return;
    TDynamic point;
    TText lon, lat;
    // A garbled position keeps the time but gives no fix.
    if (!NMEA_LonToDeg(fields[5], lon) || !NMEA_LatToDeg(fields[3], lat)) return;
    point.MMSI = TText(OwnShipMMSI);
    point.Lon = fields[6] == "W" ? "-" + lon : std::move(lon);
    point.Lat = fields[4] == "S" ? "-" + lat : std::move(lat);
    point.Speed = TText(fields[7]);
    point.COG = TText(fields[8]);
    point.TimeStampStr = state.GPS_TimeStampStr;
    point.TimeStampDT = state.GPS_TimeStampDT;
    state.aShipList[0].aPlot.push_back(std::move(point));
  }

  void AisSentence(bool own) {
    if (fields.size() != 7 || state.GPS_TimeStampStr.empty()) return;
    const std::string_view count = fields[1], number = fields[2], id = fields[3];
    std::string_view payload;
    if (count == "1") {
      payload = fields[5];
    } else if (count == "2" && number == "1") {
      multi.NMEA_No.assign(id);
      multi.NMEA_Part = "1";
      multi.AIS_Msg.assign(fields[5]);
      multi.Stored = true;
      return;
    } else if (count == "2" && multi.Stored && id == multi.NMEA_No) {
      // Without a stored first part a second part would be decoded on its own, from bits
      // that belong in the middle of a message.
      multi.NMEA_Part = "2";
      joined.assign(multi.AIS_Msg);
      joined.append(fields[5]);
      payload = joined;
    } else {
      return;
    }
    if (!state.InTimeWindow) return;
    const int msgId = AIS_MsgID(payload);
    if (payload.size() < AIS_MinPayloadChars(msgId)) return;
    switch (msgId) {
      case 1:
      case 2:
      case 3: PositionReport(Msg1ToDynamic(AIS_DecodeMsg1(payload)), own); break;
      case 18: PositionReport(Msg18ToDynamic(AIS_DecodeMsg18(payload)), own); break;
      case 5:
        if (multi.NMEA_Part == "1" || number != "2") return;
        multi.NMEA_Part = "0";
        StaticReport(Msg5ToStatic(AIS_DecodeMsg5(payload)), msgId, own);
        break;
      case MsgID_24A: StaticReport(Msg24AToStatic(AIS_DecodeMsg24A(payload)), msgId, own); break;
      case MsgID_24B: StaticReport(Msg24BToStatic(AIS_DecodeMsg24B(payload)), msgId, own); break;
      case 14: SafetyBroadcast(Msg14ToStatic(AIS_DecodeMsg14(payload))); break;
      default: break;
    }
  }

  size_t OwnTarget() {
    if (state.aShipList.empty()) {
      state.aShipList.emplace_back();
    }
    return 0;
  }

  size_t OtherTarget(std::string_view mmsi) {
    // Entry 0 belongs to the own vessel: a stranger never takes it.
    EnsureOwnShipEntry(state);
    return FindOrAddShip(state, mmsi);
  }

  void PositionReport(TDynamic point, bool own) {
    ++state.Num_Dynamic;
    if (!IsValidDynamic(point)) return;
    size_t target;
    if (own) {
      state.OwnAIS_Seen = true;
      target = OwnTarget();
    } else {
      target = OtherTarget(point.MMSI);
    }
    TStatic& ship = state.aShipList[target];
    if (!ship.aPlot.empty()) {
      const int64_t apart =
          TDateTimeToSeconds(state.GPS_TimeStampDT) - TDateTimeToSeconds(ship.aPlot.back().TimeStampDT);
      if (apart <= 30 && ReducedData()) return;
    }
    point.TimeStampStr = state.GPS_TimeStampStr;
    point.TimeStampDT = state.GPS_TimeStampDT;
    ship.aPlot.push_back(std::move(point));
    ship.MMSI = ship.aPlot.back().MMSI;
    ship.NavStatus = ship.aPlot.back().NavStatus;
  }

  void StaticReport(TStatic rec, int msgId, bool own) {
    if (!IsValidStatic(rec)) return;
    ++state.Num_Static;
    if (own) {
      TStatic& ship = state.aShipList[OwnTarget()];
      ship.MMSI = std::move(rec.MMSI);
      if (msgId == MsgID_24A) {
        ship.ShipName = std::move(rec.ShipName);
        return;
      }
      ship.AISclass = std::move(rec.AISclass);
      CopyVoyage(ship, rec);
      ++ship.Num_Msg5;
      return;
    }
    TStatic& ship = state.aShipList[OtherTarget(rec.MMSI)];
    ship.MMSI = std::move(rec.MMSI);
    ship.AISclass = std::move(rec.AISclass);
    ship.IMO = std::move(rec.IMO);
    ship.CallSign = std::move(rec.CallSign);
    if (msgId == MsgID_24A) {
      ship.ShipName = std::move(rec.ShipName);
      return;
    }
    if (msgId == 5) ship.ShipName = std::move(rec.ShipName);
    CopyVoyage(ship, rec);
    ++ship.Num_Msg5;
  }

  static void CopyVoyage(TStatic& ship, TStatic& rec) {
    ship.ShipsType = std::move(rec.ShipsType);
    ship.Dimension = std::move(rec.Dimension);
    ship.GNSS = std::move(rec.GNSS);
    ship.ETA = std::move(rec.ETA);
    ship.Draught = std::move(rec.Draught);
    ship.Destination = std::move(rec.Destination);
    ship.VendorID = std::move(rec.VendorID);
  }

  void SafetyBroadcast(TStatic rec) {
    TStatic& ship = state.aShipList[OtherTarget(rec.MMSI)];
    ship.MMSI = std::move(rec.MMSI);
    ship.AISclass = std::move(rec.AISclass);
    ++ship.Num_Msg14;
  }
};

void StartRun(TAnalysisState& state) {
  ClearShipTable(state);
  state.Num_Dynamic = 0;
  state.Num_Static = 0;
  state.OwnAIS_Seen = false;
}

bool WalkLines(TAnalysisState& state, const TLineFile& file, int64_t LineFrom, int64_t LineTo, TDateTime Start,
               TDateTime End, const TLogPassOptions& options, TProgressSink& sink) {
  if (LineTo >= file.LineCount()) return false;
  if (LineTo < LineFrom) return true;
  if (LineFrom < 0) return false;
  sink.ResetProgressBar_Load();
  sink.SetBarMax(TBar::Load, LineTo + 1);
  sink.SetBarPosition(TBar::Load, LineFrom);
  sink.SetBarMin(TBar::Load, LineFrom);
  TPass pass{state, options, TDateTimeToSeconds(Start), TDateTimeToSeconds(End), {}, {}, {}};
  pass.fields.reserve(24);
  for (int64_t i = LineFrom; i <= LineTo; ++i) {
    sink.SetBarPosition(TBar::Load, i);
    sink.ProcessMessages();
    pass.Line(file.Line(i));
  }
  return true;
}

}  // namespace

bool ReadLogLines(TAnalysisState& state, const TLineFile& file, int64_t LineFrom, int64_t LineTo, TDateTime Start,
                  TDateTime End, bool Continue, const TLogPassOptions& options, TProgressSink& sink) {
  if (!Continue) StartRun(state);
  return WalkLines(state, file, LineFrom, LineTo, Start, End, options, sink);
}

bool ReadLogFile(TAnalysisState& state, const std::string& FileName, int64_t LineFrom, int64_t LineTo,
                 TDateTime Start, TDateTime End, bool Continue, const TLogPassOptions& options,
                 TProgressSink& sink) {
  if (!Continue) StartRun(state);
  TLineFileCache local;
  TLineFileCache& cache = options.Cache != nullptr ? *options.Cache : local;
  if (!cache.Loaded || cache.Path != FileName) {
    // Release the previous file before reading the next: one file in memory at a time.
    cache.Loaded = false;
    cache.Path.clear();
    cache.File = TLineFile{};
    try {
      if (!LoadLineFile(FileName, cache.File)) {
        cache.File = TLineFile{};
        return false;
      }
    } catch (const std::exception&) {
      // Out of memory for a huge file counts as unreadable: the table stays as it is.
      cache.File = TLineFile{};
      return false;
    }
    cache.Path = FileName;
    cache.Loaded = true;
  }
  return WalkLines(state, cache.File, LineFrom, LineTo, Start, End, options, sink);
}

bool ReadLogFile_First(TAnalysisState& state, const std::string& FileName, int64_t LineFrom, int64_t LineTo,
                       TDateTime Start, TDateTime End, const TLogPassOptions& options, TProgressSink& sink) {
  state.InTimeWindow = false;
  return ReadLogFile(state, FileName, LineFrom, LineTo, Start, End, false, options, sink);
}

bool ReadLogFile_Next(TAnalysisState& state, const std::string& FileName, int64_t LineFrom, int64_t LineTo,
                      TDateTime Start, TDateTime End, const TLogPassOptions& options, TProgressSink& sink) {
  return ReadLogFile(state, FileName, LineFrom, LineTo, Start, End, true, options, sink);
}

}  // namespace pelorin
