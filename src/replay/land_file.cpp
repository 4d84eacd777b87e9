#include "replay/land_file.h"

#include <fstream>
#include <iterator>

namespace pelorin {

namespace {

// The layout, big-endian throughout. File: version (u8, 1 or 2), polygon count (u32),
// colour flag (u8). Nodes: latitude, longitude (i16, 1/120 degree), relative count
// (i16), then that many (i8, i8) latitude and longitude steps from that absolute node.
// Version 1 polygon: id (u32), absolute count (u32), kind (u8), a colour (u8) for an
// outer boundary of a coloured file, nodes. Version 2 polygon: kind (u8), id (u32), a
// colour (u8) when the id changes in a coloured file, then either absolute count (u32)
// and nodes, or for kind 4 (several geometries) a count (u8) of items each of kind (u8),
// id (u32), absolute count (u32) and nodes. Marble's own files may hold fewer polygons
// than their count says: the data may end after any whole polygon.
enum TKind : uint8_t { kLine = 0, kRing = 1, kOuter = 2, kInner = 3, kMulti = 4 };

struct TReader {
  const unsigned char* Data;
  size_t Size;
  size_t At = 0;
  bool Short = false;  // a read went past the end

  bool Take(size_t n) {
    if (Short || Size - At < n) {
      Short = true;
      return false;
    }
    At += n;
    return true;
  }
  uint32_t U(size_t n) {
    if (!Take(n)) return 0;
    uint32_t v = 0;
    for (size_t i = At - n; i < At; ++i) v = v << 8 | Data[i];
    return v;
  }
  bool AtEnd() const { return At == Size; }
  int16_t I16() { return static_cast<int16_t>(static_cast<uint16_t>(U(2))); }
  int8_t I8() { return static_cast<int8_t>(static_cast<uint8_t>(U(1))); }
};

struct TParse {
  TReader In;
  TLandMap& Out;
  std::string Damage;  // what is wrong, when something is
};

bool InRange(int lat, int lon) { return lat >= -10800 && lat <= 10800 && lon >= -21600 && lon <= 21600; }

void AddPoint(TLandMap& map, TLandRing& ring, int lat, int lon) {
  const TWorldPoint w = LatLonToWorld(lat / 120.0, lon / 120.0);
  map.Points.push_back(w);
  Extend(ring.Box, w.X, w.Y);
}

bool ReadNodes(TParse& p, uint8_t kind, uint32_t absolute) {
  if (kind > kInner) {
    p.Damage = "an unknown polygon kind " + std::to_string(kind);
    return false;
  }
  TLandRing ring;
  ring.First = static_cast<uint32_t>(p.Out.Points.size());
  ring.Closed = kind != kLine;
  for (uint32_t a = 0; a < absolute; ++a) {
    const int lat = p.In.I16();
    const int lon = p.In.I16();
    const int relative = p.In.I16();
    if (p.In.Short) return false;
    if (!InRange(lat, lon) || relative < 0) {
      p.Damage = "a position out of range";
      return false;
    }
    AddPoint(p.Out, ring, lat, lon);
    for (int r = 0; r < relative; ++r) {
      const int rlat = lat + p.In.I8();
      const int rlon = lon + p.In.I8();
      if (p.In.Short) return false;
      if (!InRange(rlat, rlon)) {
        p.Damage = "a position out of range";
        return false;
      }
      AddPoint(p.Out, ring, rlat, rlon);
    }
  }
  ring.Count = static_cast<uint32_t>(p.Out.Points.size()) - ring.First;
  if (ring.Count >= 2) p.Out.Rings.push_back(ring);
  return true;
}

bool ReadVersion1(TParse& p, uint32_t polygons, bool coloured) {
  for (uint32_t i = 0; i < polygons && !p.In.AtEnd(); ++i) {
    p.In.U(4);  // id
    const uint32_t absolute = p.In.U(4);
    const uint8_t kind = static_cast<uint8_t>(p.In.U(1));
    if (coloured && kind == kOuter) p.In.U(1);
    if (p.In.Short || !ReadNodes(p, kind, absolute)) return false;
  }
  return true;
}

bool ReadVersion2(TParse& p, uint32_t polygons, bool coloured) {
  uint32_t previousId = 0;
  for (uint32_t i = 0; i < polygons && !p.In.AtEnd(); ++i) {
    const uint8_t kind = static_cast<uint8_t>(p.In.U(1));
    const uint32_t id = p.In.U(4);
    if (coloured && id != previousId) p.In.U(1);
    previousId = id;
    if (kind != kMulti) {
      const uint32_t absolute = p.In.U(4);
      if (p.In.Short || !ReadNodes(p, kind, absolute)) return false;
      continue;
    }
    const uint32_t items = p.In.U(1);
    for (uint32_t k = 0; k < items; ++k) {
      const uint8_t itemKind = static_cast<uint8_t>(p.In.U(1));
      p.In.U(4);  // id
      const uint32_t absolute = p.In.U(4);
      if (p.In.Short || !ReadNodes(p, itemKind, absolute)) return false;
    }
  }
  return true;
}

}  // namespace

std::string ReadLandFile(const std::string& path, TLandMap& out) {
  out = TLandMap{};
  const std::string name = "Land file " + path;
  std::ifstream file(path, std::ios::binary);
  if (!file) return name + " was not found.";
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return name + " could not be read.";

  TParse p{{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}, out, {}};
  const uint32_t version = p.In.U(1);
  const uint32_t polygons = p.In.U(4);
  const uint32_t coloured = p.In.U(1);
  bool ok = !p.In.Short;
  if (ok && (version < 1 || version > 2 || coloured > 1)) {
    p.Damage = "not a land file of a known version";
    ok = false;
  }
  if (ok) ok = version == 1 ? ReadVersion1(p, polygons, coloured != 0) : ReadVersion2(p, polygons, coloured != 0);
  if (ok && p.In.At != bytes.size()) {
    p.Damage = "data after its last polygon";
    ok = false;
  }
  if (ok && out.Rings.empty()) {
    p.Damage = "no land in it";
    ok = false;
  }
  if (ok) return {};
  out = TLandMap{};
  if (p.In.Short) return name + " is truncated.";
  return name + " is damaged: " + p.Damage + ".";
}

}  // namespace pelorin
