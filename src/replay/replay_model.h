#pragma once
// The Track Replay view's model: the ship table's tracks projected once into compact
// numeric arrays, each vessel's points in time order, and where a vessel stands at a
// replay time. Built from the table after a completed run; plain data, no window.
//
// Times: a replay time is seconds since the TDateTime epoch (what TDateTimeToSeconds
// gives) as a double, so that playing at 1x moves smoothly between whole seconds.
#include <cstdint>
#include <string>
#include <vector>

#include "codec/ais_records.h"
#include "replay/mercator.h"
#include "replay/vessel_style.h"

namespace pelorin {

// A vessel stands at its last point this long, then fades out over kFadeSeconds. Two
// points further apart than kGapSeconds are not joined: not by a trail, and not by the
// marker, which holds and fades at the earlier one and reappears at the later one.
inline constexpr int kHoldSeconds = 600;
inline constexpr int kFadeSeconds = 300;
inline constexpr int kGapSeconds = 600;

inline constexpr uint16_t kNoValue = 0xFFFF;

// One position: 20 bytes, the view's whole cost per point besides the decimation cache.
struct TReplayPoint {
  float X = 0, Y = 0;        // world units, relative to the vessel's OriginX/OriginY
  int32_t Time = 0;          // seconds after TReplayModel::BaseSeconds
  uint16_t Course = kNoValue;  // COG in tenths of a degree, kNoValue when none
  uint16_t Speed = kNoValue;   // SOG in tenths of a knot, kNoValue when none
  uint32_t Source = 0;       // the point's index in its entry's aPlot (status, heading, texts)
};

// Every kChunkPoints points of a vessel's track in time order, the box of their points: a
// walk over whole tracks passes a stretch by that lies wholly beside what it draws.
inline constexpr uint32_t kChunkPoints = 64;
struct TPointChunk {
  float MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;  // as its points' X and Y
};

struct TReplayVessel {
  uint32_t First = 0;   // its points are Points[First, First + Count), in time order
  uint32_t Count = 0;   // at least 1
  uint32_t FirstChunk = 0;  // its chunks are Chunks[FirstChunk, ...), one per kChunkPoints points
  uint32_t Entry = 0;   // index in the ship table (the info panel and list read texts there)
  TVesselKind Kind = TVesselKind::Other;
  TShipTypeGroup TypeGroup = TShipTypeGroup::Unknown;
  // The track's x is unwrapped: a step of more than half the world is a crossing of the
  // 180° meridian, so X may leave 0..1 and a polyline never runs around the world.
  double OriginX = 0, OriginY = 0;
  TWorldRect Box;       // the unwrapped track's box
  std::string Name;     // the KML document's vessel name
};

struct TReplayModel {
  std::vector<TReplayPoint> Points;
  std::vector<TReplayVessel> Vessels;
  std::vector<TPointChunk> Chunks;
  int64_t BaseSeconds = 0;   // the earliest point's time; also StartSeconds
  int64_t StartSeconds = 0;  // the span of all points, for the time slider
  int64_t EndSeconds = 0;
  TWorldRect Bounds;         // every shown position, across the meridian where shorter
};

// Every point that passes HasValidPosition, of every entry whose track the KML document
// shows (with ownTrackOnly, entry 0 alone). Points out of time order (a log clock that
// stepped back) are sorted by time, equal times keeping log order. An empty model when
// nothing is left ("No positions in this window"). The table is read only here; the
// model keeps entry and point indexes into it, so the caller keeps that table unchanged
// while the model is used (a new run must replace or clear the model).
TReplayModel BuildReplayModel(const TShipList& ships, bool ownTrackOnly);

inline bool IsEmpty(const TReplayModel& model) { return model.Vessels.empty(); }

// The unwrapped world position of one of `vessel`'s points.
inline TWorldPoint PointWorld(const TReplayVessel& vessel, const TReplayPoint& p) {
  return {vessel.OriginX + p.X, vessel.OriginY + p.Y};
}

// Where a vessel is at a replay time.
struct TVesselState {
  bool Visible = false;     // false before its first point and once faded out
  TWorldPoint Position;     // unwrapped, as its track; linearly interpolated between points
  float Alpha = 0;          // 1 while shown, falling to 0 over the fade
  bool Interpolated = false;  // between two joined points; false: holding at Point
  bool HasCourse = false;   // false: draw a circle (no course, or not moving)
  float Course = 0;         // degrees clockwise from north
  float Speed = -1;         // knots; negative when unknown
  uint32_t Point = 0;       // while Visible: index in model.Points of the last point at
                            // or before t; its Source leads to the table's texts
};

// Below this speed a vessel counts as not moving and gets a circle.
inline constexpr uint16_t kMovingTenthsOfKnot = 5;

TVesselState VesselAt(const TReplayModel& model, uint32_t vessel, double t);

// The index in model.Points of the last point of `vessel` at or before t, or First - 1
// (as a signed value) when t lies before its first point: the time index's bisection.
int64_t PointAtOrBefore(const TReplayModel& model, uint32_t vessel, double t);

}  // namespace pelorin
