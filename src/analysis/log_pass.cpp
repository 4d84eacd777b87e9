#include "analysis/log_pass.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "analysis/line_records.h"
#include "analysis/piece_feed.h"
#include "analysis/position_store.h"
#include "analysis/reassembly.h"
#include "analysis/static_merge.h"
#include "analysis/vessel_cache.h"
#include "catalogue/file_check.h"
#include "catalogue/regular_file.h"
#include "catalogue/source_time.h"
#include "codec/ais_bits.h"
#include "codec/ais_dispatch.h"
#include "codec/ais_messages.h"
#include "codec/nmea.h"
#include "codec/number_text.h"
#include "codec/point_texts.h"
#include "codec/station_clock.h"
#include "platform/user_locale.h"

namespace pelorin {

namespace {

int64_t LastPointSeconds(const TStatic& ship) {
  return ship.aPlot.empty() ? TVesselCache::kNoPoint : PointSeconds(ship.aPlot, ship.aPlot.back());
}

struct TPass {
  TAnalysisState& state;
  const TLogPassOptions& options;
  int year;
  int64_t startSeconds;
  int64_t endSeconds;
  TFieldList fields;
  TNMEA_Multi multi;
  std::string joined;
  TLineAccount account;  // this pass's lines; added to the run's when the pass ends
  TVesselCache vessels;
  // The working records of the static reports: decoded into again and again, so that
  // their texts' memory is used again rather than allocated for every report.
  TMsg5 work5;
  TMsg24A work24A;
  TMsg24B work24B;
  TStatic workStatic;
  // GPS_TimeStampStr is not the text of GPS_TimeStampDT, so points keep it beside them.
  bool stampOdd = false;
  TDateTime nowValue = std::numeric_limits<double>::quiet_NaN();
  int64_t nowSeconds = 0;
  TTimeSource source = TTimeSource::GpsSentences;
  TStationClock clock;  // the file's, from its first line
  // The time last set here, and whether GPS_TimeStampStr is its text: many lines share a
  // second, which is turned into a value and a text once.
  int64_t sourceSeconds = INT64_MIN;
  bool sourceText = false;

  // TDateTimeToSeconds(GPS_TimeStampDT), worked out once per time sentence.
  int64_t NowSeconds() {
    if (!(state.GPS_TimeStampDT == nowValue)) {
      nowValue = state.GPS_TimeStampDT;
      nowSeconds = TDateTimeToSeconds(nowValue);
    }
    return nowSeconds;
  }

  bool ReducedData() const { return options.ReducedData == nullptr || *options.ReducedData; }

  bool InsideWindow(TDateTime t) const {
    const int64_t s = TDateTimeToSeconds(t);
    return startSeconds <= s && s <= endSeconds;
  }

  // A line, as the workers made it a record; `extra`: its place in the piece's Times or
  // Spans.
  void Line(const TLinePiece& piece, const TLineRecord& r, size_t extra, const TLineStamp* stamp) {
    ++account.LinesRead;
    if (stamp != nullptr) LineStamp(*stamp);
    const TSentenceKind kind = r.Kind();
    if (kind == sk_AIS || kind == sk_OwnAIS) {
      if (IsStationTime(r)) {
        StationTime(piece, r, extra);
        return;
      }
      AisSentence(kind == sk_OwnAIS, piece, r, extra);
      return;
    }
    if (source != TTimeSource::GpsSentences && (kind == sk_RMC || kind == sk_ZDA)) {
      ++account.TimeNotUsed;
      return;
    }
    // The rest is rare: its fields are split again here.
    NMEA_Split(r.Line(), fields);
    switch (kind) {
      case sk_RMC: RmcSentence(piece.Times[extra]); break;
      case sk_ZDA: ZdaSentence(piece.Times[extra]); break;
      default: OtherLine(fields.empty() ? std::string_view() : fields[0]); break;
    }
  }

  bool IsStationTime(const TLineRecord& r) const {
    return source == TTimeSource::BaseStations && !r.Decoded() && r.Line().size() <= kLongestTimedLine &&
           IsStationTimeSentence(r.Kind(), r.Fields(), r.Count() == pd_One, r.MsgID());
  }

  // The clock alone, for the lines before the range.
  void BeforeRange(const TLinePiece& piece, const TLineRecord& r, size_t extra) {
    TStationTime report;
    int64_t seconds = 0;
    if (IsStationTime(r) && AIS_DecodeStationTime(FieldOf(r.Line(), piece.Spans[extra].Payload), report))
      StationClockReport(clock, report, year, seconds);
  }

  void StationTime(const TLinePiece& piece, const TLineRecord& r, size_t extra) {
    TStationTime report;
    int64_t seconds = 0;
    if (!AIS_DecodeStationTime(FieldOf(r.Line(), piece.Spans[extra].Payload), report)) {
      ++account.PayloadTooShort;
      return;
    }
    if (!StationClockReport(clock, report, year, seconds)) {
      ++account.StationTimesImplausible;
      return;
    }
    if (SourceTime(seconds))
      ++account.TimeInWindow;
    else
      ++account.TimeOutsideWindow;
  }

  void LineStamp(const TLineStamp& stamp) {
    switch (stamp.Kind) {
      case TStampKind::BadChecksum: ++account.TagBlockChecksums; break;
      case TStampKind::NoTime: ++account.LineTimesUnusable; break;
      case TStampKind::Time:
        if (source != TTimeSource::TagBlocks) break;
        ++account.LinesTimedByTagBlocks;
        SourceTime(stamp.Seconds);
        break;
      case TStampKind::None: break;
    }
  }

  // A time from a source other than GPS sentences, as a time sentence sets it; true when
  // it lies inside the window.
  bool SourceTime(int64_t seconds) {
    if (seconds != sourceSeconds) {
      sourceSeconds = seconds;
      state.GPS_TimeStampDT = SecondsToTDateTime(seconds);
      sourceText = false;
    }
    if (seconds < startSeconds || seconds > endSeconds) {
      state.InTimeWindow = false;
      return false;
    }
    state.InTimeWindow = true;
    if (!sourceText) {
      char text[20];
      if (TimeStampChars(state.GPS_TimeStampDT, text)) state.GPS_TimeStampStr.assign(text, sizeof text);
      sourceText = true;
    }
    stampOdd = false;
    return true;
  }

  // A line with a tag the pass reads is left over only when its checksum failed.
  void OtherLine(std::string_view tag) {
    if (NMEA_TagKind(tag) != sk_Other)
      ++account.ChecksumErrors;
    else
      ++account.OtherLines;
  }

  // A time sentence that closes the window.
  void ClosingTime(bool read, TTimeVerdict why) {
    state.InTimeWindow = false;
    if (read) {
      ++account.TimeOutsideWindow;
      return;
    }
    switch (why) {
      case TTimeVerdict::StatusNotA: ++account.TimeStatusNotA; break;
      case TTimeVerdict::FieldCount: ++account.TimeFieldCount; break;
      case TTimeVerdict::Impossible: ++account.TimeImpossible; break;
      default: ++account.TimeGarbled; break;
    }
  }

  void RmcSentence(const TTimeRecord& t) {
    const bool ok = t.Ok;
    state.GPS_TimeStampDT = t.Time;
    if (!ok || !InsideWindow(state.GPS_TimeStampDT)) {
      ClosingTime(ok, t.Why);
      return;
    }
    ++account.TimeInWindow;
    state.InTimeWindow = true;
    RMC_TimeStampStr(fields, year, state.GPS_TimeStampStr);
    stampOdd = StampIsOdd(state);
    if (!state.OwnAIS_Seen) OwnShipFix();
  }

  void ZdaSentence(const TTimeRecord& t) {
    const bool ok = t.Ok;
    state.GPS_TimeStampDT = t.Time;
    if (!ok || !InsideWindow(state.GPS_TimeStampDT)) {
      ClosingTime(ok, t.Why);
      return;
    }
    ++account.TimeInWindow;
    state.InTimeWindow = true;
    ZDA_TimeStampStr(fields, year, state.GPS_TimeStampStr);
    stampOdd = StampIsOdd(state);
  }

  void OwnShipFix() {
    EnsureOwnShipEntry(state);
    const std::string_view stamp = state.GPS_TimeStampStr;
    const std::string_view seconds = stamp.size() >= 19 ? stamp.substr(17, 2) : std::string_view();
    if (seconds != "00" && seconds != "30") return;
    // A garbled position keeps the time but gives no fix.
    StoreOwnShipFix(state, fields, stampOdd);
  }

  void AisSentence(bool own, const TLinePiece& piece, const TLineRecord& r, size_t extra) {
    // A decoded report had seven fields.
    if (!r.Decoded() && r.Fields() != 7) {
      ++account.AisFieldCount;
      return;
    }
    if (state.GPS_TimeStampStr.empty()) {
      ++account.AisWindowClosed;
      return;
    }
    // Most lines: a single-sentence position report the workers have decoded.
    if (r.Decoded()) {
      if (!state.InTimeWindow)
        ++account.AisWindowClosed;
      else if ((r.Tag & TLineRecord::kDecoded1) != 0)
        PositionReport(RecordMsg1(r), own);
      else
        PositionReport(RecordMsg18(r), own);
      return;
    }
    const TAisSpans& spans = piece.Spans[extra];
    const std::string_view line = r.Line();
    const std::string_view id = FieldOf(line, spans.Id);
    std::string_view payload = FieldOf(line, spans.Payload);
    const TPartDigit count = r.Count(), number = r.Number();
    if (ReassembleParts(multi, count, number, id, payload, joined, account) != TPartOutcome::Message) return;
    if (!state.InTimeWindow) {
      ++account.AisWindowClosed;
      return;
    }
    const int msgId = count == pd_One ? r.MsgID() : AIS_MsgID(payload);
    const TMsgRule rule = AIS_MsgRule(msgId);
    if (payload.size() < rule.MinPayloadChars) {
      ++account.PayloadTooShort;
      return;
    }
    switch (rule.Kind) {
      case TMsgKind::ClassA: PositionReport(AIS_DecodeMsg1(payload), own); break;
      case TMsgKind::ClassB: PositionReport(AIS_DecodeMsg18(payload), own); break;
      case TMsgKind::Static5:
        if (!TakeMessage5(multi, number)) {
          ++account.Msg5NotInTwoParts;
          return;
        }
        AIS_DecodeMsg5(payload, work5);
        Msg5ToStatic(work5, workStatic);
        StaticReport(workStatic, msgId, own);
        break;
      case TMsgKind::Static24A:
        AIS_DecodeMsg24A(payload, work24A);
        Msg24AToStatic(work24A, workStatic);
        StaticReport(workStatic, msgId, own);
        break;
      case TMsgKind::Static24B:
        AIS_DecodeMsg24B(payload, work24B);
        Msg24BToStatic(work24B, workStatic);
        StaticReport(workStatic, msgId, own);
        break;
      case TMsgKind::Safety14: SafetyBroadcast(Msg14ToStatic(AIS_DecodeMsg14(payload))); break;
      case TMsgKind::Unused:
        // An empty payload reads as identifier 0, but holds no message at all.
        if (payload.empty())
          ++account.PayloadTooShort;
        else
          ++account.UnusedTypes[msgId & 63];
        break;
    }
  }

  // Whether entry 0's MMSI is the decimal text of `mmsi`. Entry 0's MMSI changes seldom
  // (own reports, a new table), so its number is kept beside a copy of its text, and
  // only a changed text is read again.
  struct TEntryZeroKey {
    char Text[16] = {};
    size_t Size = SIZE_MAX;  // nothing read yet
    bool Decimal = false;    // the text is a number's decimal text
    uint64_t Number = 0;
  } entryZero;

  bool EntryZeroHas(uint32_t mmsi) {
    const std::string& text = state.aShipList[0].MMSI;
    if (text.size() >= sizeof entryZero.Text) {
      TNumberChars chars;
      return text == UIntChars(mmsi, chars);
    }
    bool same = text.size() == entryZero.Size;
    for (size_t i = 0; same && i < text.size(); ++i) same = text[i] == entryZero.Text[i];
    if (!same) {
      entryZero.Size = text.size();
      std::memcpy(entryZero.Text, text.data(), text.size());
      entryZero.Decimal = !text.empty() && (text[0] != '0' || text.size() == 1);
      entryZero.Number = 0;
      for (char c : text) {
        if (c < '0' || c > '9') entryZero.Decimal = false;
        entryZero.Number = entryZero.Number * 10 + static_cast<uint64_t>(c - '0');
      }
    }
    return entryZero.Decimal && entryZero.Number == mmsi;
  }

  size_t OwnTarget() {
    if (state.aShipList.empty()) InitShipEntry(state, 0);
    return 0;
  }

  size_t OtherTarget(std::string_view mmsi) {
    // Entry 0 belongs to the own vessel: a stranger never takes it.
    EnsureOwnShipEntry(state);
    return FindOrAddShip(state, mmsi);
  }

  // Decides on the numbers and formats the texts only for a point that is stored: with
  // "Reduced Data" most reports are dropped.
  template <typename TPositionMsg>
  void PositionReport(const TPositionMsg& report, bool own) {
    ++state.Num_Dynamic;
    if (!IsValidDynamic(report)) {
      ++account.PositionsUnusable;
      return;
    }
    const int64_t now = NowSeconds();
    size_t target = 0;
    TVesselCache::TSlot* slot = nullptr;
    int64_t last;
    if (own) {
      state.OwnAIS_Seen = true;
      target = OwnTarget();
      last = LastPointSeconds(state.aShipList[0]);
    } else {
      // FindOrAddShip's order: entry 0 first, then the others by MMSI.
      if (state.aShipList.empty()) EnsureOwnShipEntry(state);
      if (EntryZeroHas(report.MMSI)) {
        last = LastPointSeconds(state.aShipList[0]);
      } else {
        slot = vessels.Find(report.MMSI);
        if (slot == nullptr) {
          TNumberChars chars;
          const size_t ship = FindOrAddShip(state, UIntChars(report.MMSI, chars));
          slot = &vessels.Insert(report.MMSI, static_cast<uint32_t>(ship), LastPointSeconds(state.aShipList[ship]));
        }
        target = slot->Ship;
        last = slot->LastSeconds;
      }
    }
    if (last != TVesselCache::kNoPoint && now - last <= 30 && ReducedData()) {
      ++account.PositionsThinned;
      return;
    }
    TStatic& ship = state.aShipList[target];
    // Made in place: a point made aside and copied in would be read back before its
    // bytes have left the store queue.
    TDynamic& point = ship.aPlot.emplace_back();
    ++account.PositionsStored;
    if constexpr (std::is_same_v<TPositionMsg, TMsg18>)
      Msg18ToDynamic(report, point);
    else
      Msg1ToDynamic(report, point);
    StampPoint(ship.aPlot, point, now, stampOdd ? std::string_view(state.GPS_TimeStampStr) : std::string_view());
    if (slot == nullptr) {
      AssignUInt(ship.MMSI, point.MMSI_Number);
      ship.NavStatus = NavStatusOf(point);
      return;
    }
    // Found by this MMSI, so it already has it; its status follows its last point, which
    // FinishPass copies once instead of at every point.
    slot->LastSeconds = now;
    slot->Stored = true;
    slot->Next = ship.aPlot.NextSlot();
  }

  // A vessel reports every few thousand lines, by when its entry and its track's next
  // slot have left the caches, and storing its point would wait on memory twice. A few
  // lines ahead is early enough to bring them near, and late enough that they stay.
  void PrefetchReport(const TLineRecord& r) {
    if (!r.Decoded() || r.Kind() == sk_OwnAIS) return;
    const TVesselCache::TSlot* slot = vessels.Find(RecordMMSI(r));
    if (slot == nullptr || slot->Next == nullptr) return;
    // Most reports the 30-second rule drops read nothing else (the time read is the
    // latest, so this guess may only err towards fetching).
    if (ReducedData() && slot->LastSeconds != TVesselCache::kNoPoint && nowSeconds - slot->LastSeconds < 29) return;
    const TTrack& track = state.aShipList[slot->Ship].aPlot;
    Prefetch(&track);
    Prefetch(reinterpret_cast<const char*>(&track) + sizeof(TTrack) - 1);
    Prefetch(slot->Next);
    Prefetch(static_cast<const char*>(slot->Next) + sizeof(TDynamic) - 1);
  }

  // The status of every other vessel that got points: that of its last point.
  void FinishPass() noexcept {
    EndReassembly(multi, account);
    Add(state.Account, account);
    try {
      for (const TVesselCache::TSlot& slot : vessels.Slots()) {
        if (!slot.Stored) continue;
        TStatic& ship = state.aShipList[slot.Ship];
        ship.NavStatus = NavStatusOf(ship.aPlot.back());
      }
    } catch (const std::exception&) {
      // Out of memory for a status text: the table stays usable.
    }
  }

  // Copies into the entry's texts, whose memory (from earlier reports) is used again.
  void StaticReport(const TStatic& rec, int msgId, bool own) {
    if (!IsValidStatic(rec)) {
      ++account.StaticUnusable;
      return;
    }
    ++account.StaticApplied;
    ++state.Num_Static;
    MergeStaticReport(state.aShipList[own ? OwnTarget() : OtherTarget(rec.MMSI)], rec, msgId, own);
  }

  void SafetyBroadcast(TStatic rec) {
    ++account.StaticApplied;
    MergeSafetyBroadcast(state.aShipList[OtherTarget(rec.MMSI)], std::move(rec));
  }
};

bool Stopped(const TLogPassOptions& options, int64_t line, std::string_view reason) {
  if (options.Stop != nullptr) *options.Stop = {true, line, std::string(reason)};
  return false;
}

void StartRun(TAnalysisState& state) {
  ClearShipTable(state);
  state.Num_Dynamic = 0;
  state.Num_Static = 0;
  state.OwnAIS_Seen = false;
  state.Account = {};
}

// How far ahead the pass brings a report's vessel near.
constexpr size_t kPrefetchLines = 16;

// The pass over lines [LineFrom, LineTo] of the reader's file.
bool WalkLines(TAnalysisState& state, TLineReader& reader, int64_t LineFrom, int64_t LineTo, TDateTime Start,
               TDateTime End, const TLogPassOptions& options, TProgressSink& sink) {
  if (LineTo >= reader.LineCount()) return Stopped(options, LineFrom, kChangedWhileRead);
  if (LineTo < LineFrom) return true;
  if (LineFrom < 0) return false;
  sink.ResetProgressBar_Load();
  sink.SetBarMax(TBar::Load, LineTo + 1);
  sink.SetBarPosition(TBar::Load, LineFrom);
  sink.SetBarMin(TBar::Load, LineFrom);
  TPass pass{state, options, PassYear(options), TDateTimeToSeconds(Start), TDateTimeToSeconds(End), {}, {}, {},
             {}, {}, {}, {}, {}, {}, StampIsOdd(state), std::numeric_limits<double>::quiet_NaN(), 0,
             options.Source, {}, INT64_MIN, false, {}};
  pass.fields.reserve(24);
  struct TFinish {
    TPass& pass;
    ~TFinish() { pass.FinishPass(); }
  } finish{pass};
  std::optional<TPieceFeed> own;
  if (options.Feed == nullptr) own.emplace(PassPieceBytes(options), options.Threads);
  TPieceFeed& feed = options.Feed != nullptr ? *options.Feed : *own;
  // The lines are read from the checkpoint before LineFrom; those before it are passed over.
  const bool fromFirstLine = options.Source == TTimeSource::BaseStations;
  feed.Begin(reader, fromFirstLine ? 0 : LineFrom, LineTo, pass.year);
  struct TEnd {
    TPieceFeed& feed;
    ~TEnd() { feed.End(); }
  } end{feed};
  int64_t i = feed.FirstLine();
  while (i <= LineTo) {
    // A file that shrank since its lines were counted, or a read that failed, ends the pass.
    const TLinePiece* piece = feed.Next();
    if (piece == nullptr) {
      const int err = feed.ReadErrno();
      return Stopped(options, std::max(i, LineFrom), err != 0 ? std::strerror(err) : kChangedWhileRead);
    }
    size_t times = 0, spans = 0, stamps = 0;
    const std::span<const TLineRecord> records = RecordsOf(*piece);
    for (size_t k = 0; k < records.size(); ++k) {
      const TLineRecord& r = records[k];
      if (k + kPrefetchLines < records.size()) pass.PrefetchReport(records[k + kPrefetchLines]);
      // The piece's readings and fields follow the records, also those passed over.
      const size_t extra = HasTimeRecord(r) ? times++ : HasAisSpans(r) ? spans++ : 0;
      const TLineStamp* stamp = r.Stamped() ? &piece->Stamps[stamps++] : nullptr;
      if (i >= LineFrom) {
        sink.StepBar(TBar::Load, i);
        pass.Line(*piece, r, extra, stamp);
      } else if (fromFirstLine) {
        pass.BeforeRange(*piece, r, extra);
      }
      if (++i > LineTo) break;
    }
  }
  return true;
}

}  // namespace

int PassYear(const TLogPassOptions& options) {
  return options.CurrentYear != 0 ? options.CurrentYear : LocalYear();
}

size_t PassPieceBytes(const TLogPassOptions& options) {
  return options.PieceBytes != 0 ? options.PieceBytes : kDefaultPieceBytes;
}

bool ReadLogFile(TAnalysisState& state, const std::string& FileName, int64_t LineFrom, int64_t LineTo,
                 TDateTime Start, TDateTime End, bool Continue, const TLogPassOptions& options,
                 TProgressSink& sink) {
  if (!Continue) StartRun(state);
  TLineFileCache local;
  TLineFileCache& cache = options.Cache != nullptr ? *options.Cache : local;
  if (!cache.Loaded || cache.Path != FileName) {
    cache.Loaded = false;
    cache.Path.clear();
    std::string error;
    if (!cache.Reader.Open(FileName, &error)) return Stopped(options, LineFrom, FileErrorReason(error, FileName));
    bool known = false;
    if (options.KnownIndex != nullptr)
      for (const TLineIndex& index : *options.KnownIndex)
        if (index.Path == FileName) {
          known = cache.Reader.AdoptIndex(index);
          break;
        }
    // A file that cannot be read counts as too short: the table stays as it is.
    if (!known && !cache.Reader.Index(&error)) {
      cache.Reader.Close();
      return Stopped(options, LineFrom, FileErrorReason(error, FileName));
    }
    cache.Path = FileName;
    cache.Loaded = true;
  }
  return WalkLines(state, cache.Reader, LineFrom, LineTo, Start, End, options, sink);
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
