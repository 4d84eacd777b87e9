#include "output/kml_writer.h"

#include <array>
#include <charconv>

#include "codec/vessel_rules.h"

namespace pelorin {

namespace {

// A value inserted into a line; literals go in as they are.
struct TValue {
  std::string_view Text;
};

// How a byte of an inserted value is written.
enum TByteClass : unsigned char { kPlain, kMarkup, kControl, kNonAscii };

constexpr std::array<TByteClass, 256> MakeClassTable() {
  std::array<TByteClass, 256> table{};
  // XML 1.0 allows no C0 control but tab; CR and LF would also split the document's lines.
  for (int c = 0; c < 0x20; ++c) table[static_cast<size_t>(c)] = c == '\t' ? kPlain : kControl;
  for (int c = 0x80; c < 0x100; ++c) table[static_cast<size_t>(c)] = kNonAscii;
  for (char c : {'&', '<', '>', '"'}) table[static_cast<unsigned char>(c)] = kMarkup;
  return table;
}
constexpr std::array<TByteClass, 256> kClass = MakeClassTable();

}  // namespace

size_t XmlCharLength(std::string_view text, size_t i) {
  const auto at = [&](size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u; };
  const unsigned c = at(0);
  const auto cont = [&](size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) { return at(k) >= lo && at(k) <= hi; };
  if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    const bool second = c == 0xE0 ? cont(1, 0xA0) : c == 0xED ? cont(1, 0x80, 0x9F) : cont(1);
    if (!second || !cont(2)) return 0;
    if (c == 0xEF && at(1) == 0xBF && at(2) >= 0xBE) return 0;  // U+FFFE, U+FFFF
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    const bool second = c == 0xF0 ? cont(1, 0x90) : c == 0xF4 ? cont(1, 0x80, 0x8F) : cont(1);
    return second && cont(2) && cont(3) ? 4 : 0;
  }
  return 0;
}

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

// Markup characters become entities, line ends character references, and bytes that are
// no XML character the replacement character, so the document always parses.
void KmlEscape(std::string& out, std::string_view value) {
  size_t plainFrom = 0;
  size_t i = 0;
  while (i < value.size()) {
    const char c = value[i];
    const TByteClass kind = kClass[static_cast<unsigned char>(c)];
    if (kind == kPlain) {
      ++i;
      continue;
    }
    size_t length = 1;
    if (kind == kNonAscii) {
      length = XmlCharLength(value, i);
      if (length != 0) {
        i += length;
        continue;
      }
      length = 1;
    }
    out.append(value.data() + plainFrom, i - plainFrom);
    switch (c) {
      case '&': out.append("&amp;"); break;
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      case '\n': out.append("&#10;"); break;
      case '\r': out.append("&#13;"); break;
      default: out.append(kReplacement); break;
    }
    i += length;
    plainFrom = i;
  }
  out.append(value.data() + plainFrom, value.size() - plainFrom);
}

namespace {

void Put(std::string& out, std::string_view literal) { out.append(literal); }
void Put(std::string& out, TValue value) { KmlEscape(out, value.Text); }

// Reused for every line, so composing a line allocates nothing once it has grown.
std::string& Scratch() {
  thread_local std::string line;
  return line;
}

template <typename... TParts>
void Line(TKmlFile& file, TParts... parts) {
  std::string& line = Scratch();
  line.clear();
  (Put(line, parts), ...);
  WriteKmlLine(file, line);
}

struct TStyle {
  std::string_view Id, Color, Scale, IconPath;
};

constexpr std::string_view kIconBase = "http://maps.google.com";

constexpr std::array<TStyle, 5> kStyles = {{
    {"ship-icon-green", "ff00ff00", "0.5", "/mapfiles/kml/shapes/sailing.png"},
    {"ship-icon-red", "ff0000ff", "0.5", "/mapfiles/kml/shapes/sailing.png"},
    {"ship-icon-orange", "ff00aaff", "0.75", "/mapfiles/kml/shapes/target.png"},
    {"sart-icon-orange", "ff00aaff", "0.75", "/mapfiles/kml/shapes/target.png"},
    {"ship-icon-yellow", "ff00ffff", "0.5", "/mapfiles/kml/shapes/sailing.png"},
}};

void WriteVesselName(TKmlFile& file, std::string_view indent, const TStatic& ship) {
  const TVesselName name = KmlVesselName(ship);
  Line(file, indent, "<name> ", name.Prefix, TValue{name.Text}, " </name>");
}

void WriteStyle(TKmlFile& file, const TStyle& style) {
  Line(file, "    <Style id=\"", style.Id, "\">");
  Line(file, "      <IconStyle>");
  Line(file, "        <color>", style.Color, "</color>");
  Line(file, "        <scale>", style.Scale, "</scale>");
  Line(file, "        <Icon>");
  Line(file, "          <href>", kIconBase, style.IconPath, "</href>");
  Line(file, "        </Icon>");
  Line(file, "      </IconStyle>");
  Line(file, "    </Style>");
}

}  // namespace

void WriteKmlLine(TKmlFile& file, std::string_view line) { file.WriteLine(line); }

void WriteKmlHeader(TKmlFile& file, std::string_view documentName, std::string_view description) {
  Line(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  Line(file, "<kml xmlns=\"http://www.opengis.net/kml/2.2\">");
  Line(file, "  <Document>");
  Line(file, "    <name> ", TValue{documentName}, " </name>");
  Line(file, "    <open>1</open>");
  Line(file, "    <description>");
  Line(file, "    <![CDATA[", TValue{description}, "]]>");
  Line(file, "    </description>");
  WriteKmlStyles(file);
}

void WriteKmlStyles(TKmlFile& file) {
  for (const TStyle& style : kStyles) WriteStyle(file, style);
}

void WriteKmlFooter(TKmlFile& file) {
  Line(file, "  </Document>");
  Line(file, "</kml>");
}

void WriteLabelsFolderStart(TKmlFile& file) {
  Line(file, "    <Folder>");
  Line(file, "      <name> Ship-Labels </name>");
  Line(file, "      <visible>1</visible>");
}

void WriteLabelsFolderEnd(TKmlFile& file) { Line(file, "    </Folder>"); }

void WriteTracksFolderStart(TKmlFile& file) {
  Line(file, "    <Folder>");
  Line(file, "      <name> Ship-Tracks </name>");
  Line(file, "      <visible>1</visible>");
}

void WriteTracksFolderEnd(TKmlFile& file) { Line(file, "    </Folder>"); }

void WriteShipLabel(TKmlFile& file, const TStatic& ship, bool ownVessel) {
  // The caller guarantees a track; an empty one still yields a well-formed placemark.
  TPointTexts first;
  if (!ship.aPlot.empty()) PointTexts(ship.aPlot, ship.aPlot.front(), first);
  Line(file, "      <Placemark>");
  WriteVesselName(file, "        ", ship);
  Line(file, "        <description> ");
  Line(file, "          <![CDATA[");
  Line(file, "          <p>MMSI: ", TValue{ship.MMSI}, " <br>");
  Line(file, "          <p>IMO: ", TValue{ship.IMO}, " <br>");
  Line(file, "          Call Sign: ", TValue{ship.CallSign}, " <br>");
  Line(file, "          Nav. Status: ", TValue{first.NavStatus}, " <br>");
  Line(file, "          Speed: ", TValue{first.Speed}, " <br>");
  Line(file, "          COG: ", TValue{first.COG}, " <br>");
  Line(file, "          True Heading: ", TValue{first.TH}, " <br>");
  Line(file, "          Ship Type: ", TValue{ship.ShipsType}, " <br>");
  Line(file, "          Length: ", TValue{ship.Dimension.Laenge}, " , Width: ", TValue{ship.Dimension.Breite},
       " <br>");
  Line(file, "          ETA: ", TValue{ship.ETA}, " <br>");
  Line(file, "          Draught: ", TValue{ship.Draught}, " <br>");
  Line(file, "          Dest.: ", TValue{ship.Destination}, " </p>]]>");
  Line(file, "        </description> ");
  if (ownVessel)
    Line(file, "        <styleUrl>#ship-icon-red</styleUrl>");
  else if (IsSart(ship.MMSI))
    Line(file, "        <styleUrl>#sart-icon-orange</styleUrl>");
  else
    Line(file, "        <styleUrl>#ship-icon-green</styleUrl>");
  Line(file, "        <Point>");
  Line(file, "          <coordinates> ", TValue{first.Lon}, ", ", TValue{first.Lat}, ",0</coordinates>");
  Line(file, "        </Point>");
  Line(file, "      </Placemark>");
}

void WriteTrackFolderStart(TKmlFile& file, const TStatic& ship) {
  Line(file, "      <Folder>");
  WriteVesselName(file, "        ", ship);
  Line(file, "        <visible>1</visible>");
  Line(file, "        <Folder>");
  Line(file, "          <name>Position plot with time stamps</name>");
  Line(file, "          <open>1</open>");
  Line(file, "          <Style>");
  Line(file, "            <ListStyle>");
  Line(file, "              <listItemType>checkHideChildren</listItemType>");
  Line(file, "            </ListStyle>");
  Line(file, "          </Style>");
}

void WriteTrackFolderEnd(TKmlFile& file) {
  Line(file, "        </Folder>");
  Line(file, "      </Folder>");
}

void WriteTrackPoint(TKmlFile& file, const TPointTexts& point, bool ownVessel, std::string_view ordinal,
                     std::string_view shipName) {
  const bool sart = IsSart(point.MMSI);
  Line(file, "          <Placemark>");
  Line(file, "            <TimeStamp>");
  Line(file, "              <when>", TValue{point.TimeStampStr}, "</when>");
  Line(file, "            </TimeStamp>");
  if (ownVessel)
    Line(file, "          <styleUrl>#ship-icon-red</styleUrl>");
  else if (sart)
    Line(file, "          <styleUrl>#sart-icon-orange</styleUrl>");
  else
    Line(file, "          <styleUrl>#ship-icon-yellow</styleUrl>");
  Line(file, "            <description> ");
  Line(file, "              <![CDATA[");
  if (sart)
    Line(file, "                <h1>AIS-SART </h1>");
  else
    Line(file, "                <h1>", TValue{shipName}, " </h1>");
  Line(file, "                <p>MMSI: ", TValue{point.MMSI}, " <br>");
  Line(file, "                <p>Msg. Count: ", TValue{ordinal}, " <br>");
  Line(file, "                <p>TimeStamp: ", TValue{point.TimeStampStr}, " <br>");
  Line(file, "                Speed: ", TValue{point.Speed}, "kn </p>]]>");
  Line(file, "          </description> ");
  Line(file, "            <Point>");
  Line(file, "              <coordinates> ", TValue{point.Lon}, ", ", TValue{point.Lat}, ",0</coordinates>");
  Line(file, "            </Point>");
  Line(file, "          </Placemark>");
}

void WriteKmlBody(TKmlFile& file, const TShipList& ships, bool AllTracks, TProgressSink& sink,
                  const TVesselFilter& filter) {
  const size_t n = ships.size();
  const size_t visited = AllTracks ? n : (n > 0 ? 1 : 0);
  sink.ResetProgressBar_Load();
  sink.SetBarMax(TBar::Load, static_cast<int64_t>(n));
  sink.ProcessMessages();

  WriteLabelsFolderStart(file);
  for (size_t i = 0; i < visited; ++i) {
    sink.SetBarPosition(TBar::Load, static_cast<int64_t>(i));
    sink.ProcessMessages();
    const TStatic& ship = ships[i];
    if (KmlShowsLabel(ship) && VesselListed(filter, ship)) WriteShipLabel(file, ship, i == 0);
  }
  WriteLabelsFolderEnd(file);

  WriteTracksFolderStart(file);
  for (size_t i = 0; i < visited; ++i) {
    sink.SetBarPosition(TBar::Load, static_cast<int64_t>(i));
    sink.ProcessMessages();
    const TStatic& ship = ships[i];
    if (!KmlShowsTrack(ship) || !VesselListed(filter, ship)) continue;
    WriteTrackFolderStart(file, ship);
    char ordinal[24];
    TPointTexts texts;
    size_t k = 0;
    for (const TDynamic& point : ship.aPlot) {
      ++k;
      if (!HasValidPosition(ship.aPlot, point)) continue;
      PointTexts(ship.aPlot, point, texts);
      auto [end, ec] = std::to_chars(ordinal, ordinal + sizeof ordinal, k);
      (void)ec;
      WriteTrackPoint(file, texts, i == 0, std::string_view(ordinal, static_cast<size_t>(end - ordinal)),
                      ship.ShipName);
    }
    WriteTrackFolderEnd(file);
  }
  WriteTracksFolderEnd(file);
}

}  // namespace pelorin
