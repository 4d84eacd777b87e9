// The KML document: golden files for small hand-built tables, escaping, progress and
// write failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "output/kml_writer.h"
#include "support/kml_check.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::ReadFileBytes;
using test::TTempDir;

constexpr const char* kDocumentName = "/home/skipper/Pelorin/SD_Belumar.kml";

test::TPointStrings Point(std::string mmsi, std::string lon, std::string lat, std::string time,
                          std::string speed = "10.2", std::string nav = "under way using engine",
                          std::string cog = "181.5", std::string th = "182") {
  return {std::move(mmsi), std::move(nav), std::move(speed), std::move(lon),
          std::move(lat),  std::move(cog), std::move(th),    std::move(time)};
}

TStatic Vessel(std::string mmsi, std::string name) {
  TStatic s;
  s.MMSI = std::move(mmsi);
  s.ShipName = std::move(name);
  s.AISclass = "A";
  return s;
}

void FillStatic(TStatic& s, std::string imo, std::string call, std::string type, std::string len, std::string wid,
                std::string eta, std::string draught, std::string dest) {
  s.IMO = std::move(imo);
  s.CallSign = std::move(call);
  s.ShipsType = std::move(type);
  s.Dimension.Laenge = std::move(len);
  s.Dimension.Breite = std::move(wid);
  s.ETA = std::move(eta);
  s.Draught = std::move(draught);
  s.Destination = std::move(dest);
}

// Own vessel, a named vessel, an unnamed SART, an unnamed vessel without static data and a
// named SART.
TShipList Fleet() {
  TShipList ships;
  TStatic own = Vessel("211512340", "Own Ship");
  FillStatic(own, "", "", "Pleasure Craft", "32", "7", "8. Apr. 8:00 UTC", "1.7", "HELGOLAND");
  own.aPlot = test::TrackOf({Point("111111111", "7.980000", "54.070000", "2011-04-07T09:00:00Z", "2.5", "", "90.4", ""),
               Point("111111111", "7.981000", "54.070500", "2011-04-07T09:00:30Z", "2.6", "", "90.1", ""),
               Point("111111111", "7.982000", "54.071000", "2011-04-07T09:01:00Z", "2.4", "", "89.9", "")});
  ships.push_back(own);

  TStatic neptun = Vessel("244841101", "KAPITAEN NEPTUN      ");
  FillStatic(neptun, "0", "PECR   ", "Pilot Vessel", "22", "6", "7. Apr. 15:45 UTC", "2.3",
             "BEANR               ");
  neptun.aPlot = test::TrackOf({Point("244841101", "8.526647", "54.101378", "2011-04-07T09:00:05Z", "15", "under way using engine",
                        "177", "180"),
                  Point("244841101", "8.526700", "54.099000", "2011-04-07T09:00:41Z", "15.1")});
  ships.push_back(neptun);

  TStatic sart = Vessel("970012345", "");
  sart.aPlot = test::TrackOf({Point("970012345", "-4.250000", "-12.500000", "2011-04-07T09:02:00Z", "0", "AIS-SART is active",
                      "n.a.", "n.a."),
                Point("970012345", "-4.250100", "-12.500100", "2011-04-07T09:03:00Z", "0.1")});
  ships.push_back(sart);

  TStatic unnamed = Vessel("219000001", "");
  unnamed.aPlot = test::TrackOf({Point("219000001", "10.000000", "55.000000", "2011-04-07T09:04:00Z", "n.a.", "n.a.", "n.a.",
                         "n.a.")});
  ships.push_back(unnamed);

  TStatic namedSart = Vessel("970111111", "SART ACTIVE");
  namedSart.aPlot = test::TrackOf({Point("970111111", "1.000000", "2.000000", "2011-04-07T09:05:00Z", "0.5")});
  ships.push_back(namedSart);
  return ships;
}

// Points left out by the position test keep their numbers; a label shows an invalid first
// point as it is; a track without valid points keeps its folders.
TShipList Gaps() {
  TShipList ships;
  ships.push_back(Vessel("211512340", "Own Ship"));  // no track: no label, no folder
  TStatic gappy = Vessel("244000001", "GAPPY");
  gappy.aPlot = test::TrackOf({Point("244000001", "8.100000", "54.100000", "2011-04-07T10:00:00Z"),
                 Point("244000001", "8.100000", "n.a.", "2011-04-07T10:00:10Z"),
                 Point("244000001", "8.200000", "54.200000", "2011-04-07T10:00:20Z"),
                 Point("244000001", "0.000000", "54.300000", "2011-04-07T10:00:30Z"),
                 Point("244000001", "8.400000", "0.000000", "2011-04-07T10:00:40Z"),
                 Point("244000001", "8.500000", "", "2011-04-07T10:00:50Z"),
                 Point("244000001", "8.600000", "54.600000", "2011-04-07T10:01:00Z")});
  ships.push_back(gappy);
  TStatic lost = Vessel("244000002", "NO FIX");
  lost.aPlot = test::TrackOf({Point("244000002", "n.a.", "54.100000", "2011-04-07T10:02:00Z"),
                Point("244000002", "n.a.", "n.a.", "2011-04-07T10:02:10Z")});
  ships.push_back(lost);
  return ships;
}

// MMSI "0": label, no folder. Empty MMSI: folder, no label. "n.a." and empty tracks: nothing.
TShipList MmsiEdges() {
  TShipList ships;
  TStatic own = Vessel("211512340", "Own Ship");
  own.aPlot = test::TrackOf({Point("211512340", "7.980000", "54.070000", "2011-04-07T11:00:00Z")});
  ships.push_back(own);
  TStatic zero = Vessel("0", "ZERO");
  zero.aPlot = test::TrackOf({Point("0", "8.000000", "54.000000", "2011-04-07T11:00:01Z")});
  ships.push_back(zero);
  TStatic empty = Vessel("", "");
  empty.aPlot = test::TrackOf({Point("", "8.100000", "54.100000", "2011-04-07T11:00:02Z")});
  ships.push_back(empty);
  TStatic notAvailable = Vessel("n.a.", "NOT AVAILABLE");
  notAvailable.aPlot = test::TrackOf({Point("n.a.", "8.200000", "54.200000", "2011-04-07T11:00:03Z")});
  ships.push_back(notAvailable);
  ships.push_back(Vessel("244000003", "NO TRACK"));
  return ships;
}

void WriteDocument(TKmlFile& file, const TShipList& ships, bool allTracks, std::string_view name) {
  TNullSink sink;
  WriteKmlHeader(file, name, "");
  WriteKmlBody(file, ships, allTracks, sink);
  WriteKmlFooter(file);
}

std::string Document(const TShipList& ships, bool allTracks, std::string_view name = kDocumentName) {
  TTempDir dir;
  auto path = dir.Path() / "SD_Belumar.kml";
  TKmlFile file;
  EXPECT_TRUE(file.Create(path.string()));
  WriteDocument(file, ships, allTracks, name);
  file.Close();
  return ReadFileBytes(path);
}

std::vector<std::string> Lines(const std::string& document) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < document.size()) {
    size_t end = document.find("\r\n", from);
    if (end == std::string::npos) end = document.size();
    lines.push_back(document.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

// The first line where two documents part, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  auto a = Lines(expected), b = Lines(actual);
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    std::string x = i < a.size() ? a[i] : "<end>", y = i < b.size() ? b[i] : "<end>";
    if (x != y) return "line " + std::to_string(i + 1) + ": expected [" + x + "] got [" + y + "]";
  }
  return expected == actual ? "" : "line ends differ";
}

// PELORIN_UPDATE_GOLDEN=1 rewrites the golden files; review the diff before keeping them.
void ExpectGolden(const std::string& goldenName, const std::string& actual) {
  auto path = test::SourceDir() / "tests/output/golden" / goldenName;
  if (std::getenv("PELORIN_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  std::string expected = ReadFileBytes(path);
  EXPECT_TRUE(expected == actual) << goldenName << ": " << FirstDifference(expected, actual);
}

struct TGoldenCase {
  const char* Golden;
  TShipList (*Table)();
  bool AllTracks;
};

class KmlGolden : public ::testing::TestWithParam<TGoldenCase> {};

TEST_P(KmlGolden, MatchesByteForByte) {
  const TGoldenCase& c = GetParam();
  std::string document = Document(c.Table(), c.AllTracks);
  ExpectGolden(c.Golden, document);
  if (test::kHaveXmlParser) {
    EXPECT_TRUE(test::CheckXml(document).WellFormed) << c.Golden;
  }
}

TShipList EmptyTable() { return {}; }

INSTANTIATE_TEST_SUITE_P(Tables, KmlGolden,
                         ::testing::Values(TGoldenCase{"fleet_all_tracks.kml", Fleet, true},
                                           TGoldenCase{"fleet_own_track.kml", Fleet, false},
                                           TGoldenCase{"gaps.kml", Gaps, true},
                                           TGoldenCase{"mmsi_edges.kml", MmsiEdges, true},
                                           TGoldenCase{"empty_table.kml", EmptyTable, true},
                                           TGoldenCase{"empty_table.kml", EmptyTable, false}),
                         [](const auto& info) {
                           std::string name = info.param.Golden;
                           name = name.substr(0, name.find('.'));
                           return name + (info.param.AllTracks ? "_all" : "_own");
                         });

TEST(KmlDocument, IsUtf8WithoutByteOrderMarkAndEveryLineEndsInCrLf) {
  TShipList ships = Fleet();
  ships[1].ShipName = "MÅKE ÆØ";
  std::string document = Document(ships, true);
  ASSERT_GE(document.size(), 5u);
  EXPECT_EQ(document.substr(0, 5), "<?xml");
  EXPECT_EQ(document.substr(document.size() - 2), "\r\n");
  for (size_t i = 0; i < document.size(); ++i) {
    if (document[i] == '\n') {
      EXPECT_EQ(document[i - 1], '\r') << i;
    }
    if (document[i] == '\r') {
      EXPECT_EQ(document[i + 1], '\n') << i;
    }
  }
  EXPECT_NE(document.find("<name> MÅKE ÆØ </name>"), std::string::npos);
}

TEST(KmlDocument, OwnVesselWinsOverSartAndOwnTrackIgnoresTheRest) {
  TShipList ships = Fleet();
  ships[0].MMSI = "970999999";
  for (auto& p : ships[0].aPlot) p.MMSI_Number = 970999999;
  std::string document = Document(ships, false);
  EXPECT_EQ(document.find("sart-icon-orange</styleUrl>"), std::string::npos);
  EXPECT_EQ(document.find("KAPITAEN"), std::string::npos);
  EXPECT_NE(document.find("        <styleUrl>#ship-icon-red</styleUrl>\r\n"), std::string::npos);
  EXPECT_NE(document.find("          <styleUrl>#ship-icon-red</styleUrl>\r\n"), std::string::npos);
  // A SART own vessel's points still carry the SART heading, which follows the point's MMSI.
  EXPECT_NE(document.find("<h1>AIS-SART </h1>"), std::string::npos);
}

TEST(KmlDocument, SkippedPointsKeepTheirOrdinals) {
  std::string document = Document(Gaps(), true);
  std::vector<std::string> ordinals;
  for (const auto& line : Lines(document)) {
    const std::string prefix = "                <p>Msg. Count: ";
    if (line.starts_with(prefix)) ordinals.push_back(line.substr(prefix.size()));
  }
  EXPECT_EQ(ordinals, (std::vector<std::string>{"1 <br>", "3 <br>", "7 <br>"}));
  EXPECT_NE(document.find("<coordinates> n.a., 54.100000,0</coordinates>"), std::string::npos);
}

// A report by its values, a fix by its texts.
TEST(HasValidPosition, RejectsEmptyNotAvailableAndZeroOnEitherAxis) {
  struct TCase {
    const char *Mmsi, *Lon, *Lat;
    bool Valid;
  } cases[] = {
      {"211000001", "8.1", "54.1", true},       {"211000001", "-0.000002", "0.000002", true},
      {"211000001", "n.a.", "54.1", false},     {"211000001", "8.1", "n.a.", false},
      {"211000001", "0.000000", "54.1", false}, {"211000001", "8.1", "0.000000", false},
      {"211000001", "180.000000", "-90.000000", true},
      {"111111111", "8.1", "54.1", true},       {"111111111", "", "54.1", false},
      {"111111111", "8.1", "n.a.", false},      {"111111111", "0.000000", "54.1", false},
      {"111111111", "0", "0", true},            {"111111111", "-0.000000", "54.1", true},  // only the exact text
  };
  for (const auto& c : cases) {
    const TTrack track = test::TrackOf({Point(c.Mmsi, c.Lon, c.Lat, "2011-04-07T10:00:00Z")});
    EXPECT_EQ(HasValidPosition(track, track[0]), c.Valid) << c.Mmsi << " " << c.Lon << " " << c.Lat;
  }
}

TEST(KmlEscape, ReplacesTheFourMarkupCharactersOnly) {
  struct TCase {
    const char *In, *Out;
  } cases[] = {
      {"", ""},
      {"KAPITAEN NEPTUN", "KAPITAEN NEPTUN"},
      {"A&B", "A&amp;B"},
      {"<b>", "&lt;b&gt;"},
      {"\"Q\"", "&quot;Q&quot;"},
      {"]]>", "]]&gt;"},
      {"&amp;", "&amp;amp;"},
      {"'@_ÆØ", "'@_ÆØ"},
  };
  for (const auto& c : cases) EXPECT_EQ(test::KmlEscaped(c.In), c.Out) << c.In;
}

// Markup characters in every kind of inserted value: the document must still parse, and
// the texts must come back out unchanged.
TEST(KmlDocument, HostileTextsParseAndRoundTrip) {
  if (!test::kHaveXmlParser) GTEST_SKIP() << "no libxml2";
  const std::string hostile = "A&B <x> \"Q\" ]]> C";
  TShipList ships = Fleet();
  for (size_t i = 1; i < ships.size(); ++i) {
    ships[i].ShipName = hostile + std::to_string(i);
    ships[i].CallSign = hostile;
    ships[i].Destination = hostile;
    ships[i].ShipsType = "]]>";
  }
  ships[3].ShipName = "";
  ships[3].MMSI = "<&>";
  ships[0].aPlot.Extras[0].Speed = "]]><script>";  // a fix's speed is the sentence's own text
  const std::string path = "/tmp/Tom & Jerry <\"quoted\">/SD_Belumar.kml";

  TTempDir dir;
  TKmlFile file;
  ASSERT_TRUE(file.Create((dir.Path() / "d.kml").string()));
  TNullSink sink;
  WriteKmlHeader(file, path, hostile);
  WriteKmlBody(file, ships, true, sink);
  WriteKmlFooter(file);
  file.Close();
  std::string document = ReadFileBytes(dir.Path() / "d.kml");

  auto names = test::CheckXml(document, "name");
  ASSERT_TRUE(names.WellFormed) << names.Error;
  EXPECT_EQ(names.Texts.front(), " " + path + " ");
  std::vector<std::string> expectedLabels;
  for (size_t i = 1; i < ships.size(); ++i)
    expectedLabels.push_back(" " + (ships[i].ShipName.empty() ? ships[i].MMSI : ships[i].ShipName) + " ");
  for (const auto& label : expectedLabels)
    EXPECT_NE(std::find(names.Texts.begin(), names.Texts.end(), label), names.Texts.end()) << label;

  // Inside CDATA the entities stay as they are for the balloon's HTML to show as text.
  auto descriptions = test::CheckXml(document, "description");
  ASSERT_TRUE(descriptions.WellFormed);
  EXPECT_EQ(descriptions.Texts.front(), "\n    " + test::KmlEscaped(hostile) + "\n    ");
  bool sawDestination = false;
  for (const auto& text : descriptions.Texts) {
    EXPECT_EQ(text.find('<' + std::string("script")), std::string::npos);
    if (text.find("Dest.: " + test::KmlEscaped(hostile) + " </p>") != std::string::npos) sawDestination = true;
  }
  EXPECT_TRUE(sawDestination);
  EXPECT_EQ(document.find(hostile), std::string::npos);
}

TEST(KmlDocument, OrdinaryTextsAreUnchangedByEscaping) {
  // Only the four characters are touched, so a table without them yields the texts verbatim.
  std::string document = Document(Fleet(), true);
  for (const char* verbatim : {"Dest.: BEANR                </p>]]>", "Call Sign: PECR    <br>",
                               "ETA: 7. Apr. 15:45 UTC <br>", "<name> KAPITAEN NEPTUN       </name>",
                               "<name> SART 970012345 </name>", "<coordinates> -4.250000, -12.500000,0</coordinates>"})
    EXPECT_NE(document.find(verbatim), std::string::npos) << verbatim;
  EXPECT_EQ(document.find("&amp;"), std::string::npos);
}

// Reads the KML documents of the whole program back into a ship table and writes them
// again: the writer must reproduce them byte for byte.
std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    auto take = [&](std::string_view entity, char c) {
      if (text.substr(i, entity.size()) != entity) return false;
      out.push_back(c);
      i += entity.size() - 1;
      return true;
    };
    if (text[i] == '&' && (take("&amp;", '&') || take("&lt;", '<') || take("&gt;", '>') || take("&quot;", '"')))
      continue;
    out.push_back(text[i]);
  }
  return out;
}

bool Between(const std::string& line, std::string_view prefix, std::string_view suffix, std::string& value) {
  if (!line.starts_with(prefix) || !line.ends_with(suffix) || line.size() < prefix.size() + suffix.size())
    return false;
  value = Unescape(std::string_view(line).substr(prefix.size(), line.size() - prefix.size() - suffix.size()));
  return true;
}

void SplitCoordinates(const std::string& text, test::TPointStrings& p) {
  size_t comma = text.find(", ");
  p.Lon = text.substr(0, comma);
  p.Lat = comma == std::string::npos ? "" : text.substr(comma + 2);
}

TShipList ReadBack(const std::string& document) {
  struct TLabel {
    std::string Name;
    TStatic Ship;
    test::TPointStrings Point;
  };
  std::vector<TLabel> labels;
  std::vector<std::pair<std::string, std::vector<test::TPointStrings>>> tracks;
  std::vector<std::vector<int64_t>> ordinals;
  bool inTracks = false;
  std::string v;
  for (const auto& line : Lines(document)) {
    if (line == "      <name> Ship-Tracks </name>") inTracks = true;
    if (!inTracks) {
      if (line == "      <Placemark>") labels.emplace_back();
      if (labels.empty()) continue;
      TStatic& s = labels.back().Ship;
      test::TPointStrings& p = labels.back().Point;
      if (Between(line, "        <name> ", " </name>", v)) labels.back().Name = v;
      else if (Between(line, "          <p>MMSI: ", " <br>", v)) s.MMSI = v;
      else if (Between(line, "          <p>IMO: ", " <br>", v)) s.IMO = v;
      else if (Between(line, "          Call Sign: ", " <br>", v)) s.CallSign = v;
      else if (Between(line, "          Nav. Status: ", " <br>", v)) p.NavStatus = v;
      else if (Between(line, "          Speed: ", " <br>", v)) p.Speed = v;
      else if (Between(line, "          COG: ", " <br>", v)) p.COG = v;
      else if (Between(line, "          True Heading: ", " <br>", v)) p.TH = v;
      else if (Between(line, "          Ship Type: ", " <br>", v)) s.ShipsType = v;
      else if (Between(line, "          Length: ", " <br>", v)) {
        size_t sep = v.find(" , Width: ");
        s.Dimension.Laenge = v.substr(0, sep);
        s.Dimension.Breite = v.substr(sep + 10);
      } else if (Between(line, "          ETA: ", " <br>", v)) s.ETA = v;
      else if (Between(line, "          Draught: ", " <br>", v)) s.Draught = v;
      else if (Between(line, "          Dest.: ", " </p>]]>", v)) s.Destination = v;
      else if (Between(line, "          <coordinates> ", ",0</coordinates>", v)) SplitCoordinates(v, p);
    } else {
      if (line == "      <Folder>") {
        tracks.emplace_back();
        ordinals.emplace_back();
      }
      if (tracks.empty()) continue;
      if (Between(line, "        <name> ", " </name>", v)) tracks.back().first = v;
      if (line == "          <Placemark>") tracks.back().second.emplace_back();
      if (tracks.back().second.empty()) continue;
      test::TPointStrings& p = tracks.back().second.back();
      if (Between(line, "              <when>", "</when>", v)) p.TimeStampStr = v;
      else if (Between(line, "                <p>MMSI: ", " <br>", v)) p.MMSI = v;
      else if (Between(line, "                <p>Msg. Count: ", " <br>", v)) ordinals.back().push_back(std::stoll(v));
      else if (Between(line, "                Speed: ", "kn </p>]]>", v)) p.Speed = v;
      else if (Between(line, "              <coordinates> ", ",0</coordinates>", v)) SplitCoordinates(v, p);
    }
  }
  EXPECT_EQ(labels.size(), tracks.size()) << "every vessel of these cases has a label and a track";
  TShipList ships;
  for (size_t i = 0; i < labels.size() && i < tracks.size(); ++i) {
    TStatic s = labels[i].Ship;
    EXPECT_EQ(labels[i].Name, tracks[i].first);
    if (labels[i].Name != s.MMSI && labels[i].Name != "SART " + s.MMSI) s.ShipName = labels[i].Name;
    const auto& points = tracks[i].second;
    test::TPointStrings labelPoint = labels[i].Point;
    if (!points.empty()) labelPoint.MMSI = points[0].MMSI;  // a fix's label shows its texts
    for (size_t k = 0; k < points.size(); ++k) {
      while (static_cast<int64_t>(s.aPlot.size()) + 1 < ordinals[i][k]) {
        test::TPointStrings skipped = labelPoint;
        if (!s.aPlot.empty()) skipped.Lat = "n.a.";
        test::AppendPoint(s.aPlot, skipped);
      }
      test::TPointStrings p = points[k];
      if (s.aPlot.empty()) {
        p.NavStatus = labelPoint.NavStatus;
        p.COG = labelPoint.COG;
        p.TH = labelPoint.TH;
      }
      test::AppendPoint(s.aPlot, p);
    }
    ships.push_back(std::move(s));
  }
  return ships;
}

TEST(KmlDocument, ReproducesTheWholeProgramsDocuments) {
  PELORIN_REQUIRE_SHARED();
  for (const char* name : {"golden/case1/SD_Belumar.kml", "golden/case2/SD_Belumar-window.kml",
                           "golden/case2/SD_Belumar-own-track.kml"}) {
    auto path = test::SharedDir() / name;
    if (!std::filesystem::exists(path)) continue;
    std::string expected = ReadFileBytes(path);
    TShipList ships = ReadBack(expected);
    EXPECT_FALSE(ships.empty()) << name;
    std::string actual = Document(ships, true);
    EXPECT_TRUE(expected == actual) << name << ": " << FirstDifference(expected, actual);
  }
}

// Records the order of progress calls.
class TProgressLog : public TProgressSink {
 public:
  void SetBarMin(TBar bar, int64_t v) override { Add(bar, "min", v); }
  void SetBarMax(TBar bar, int64_t v) override { Add(bar, "max", v); }
  void SetBarPosition(TBar bar, int64_t v) override { Add(bar, "pos", v); }
  void ClearDetails() override { Log += "clear "; }
  void AppendDetail(std::string_view) override { Log += "detail "; }
  void ProcessMessages() override { Log += "pump "; }
  bool StopKeyPressed() override { return false; }
  std::string Log;

 private:
  void Add(TBar bar, const char* what, int64_t v) {
    Log += std::string(bar == TBar::Load ? "L" : "T") + what + std::to_string(v) + " ";
  }
};

TEST(WriteKmlBody, ResetsTheLoadBarThenStepsOncePerVisitedEntryInEachPass) {
  TTempDir dir;
  struct TCase {
    bool AllTracks;
    size_t Entries;
    std::string Steps;
  } cases[] = {
      {true, 3, "Lpos0 pump Lpos1 pump Lpos2 pump "},
      {false, 3, "Lpos0 pump "},
      {false, 0, ""},
      {true, 0, ""},
  };
  for (const auto& c : cases) {
    TShipList ships = Fleet();
    ships.resize(c.Entries);
    TKmlFile file;
    ASSERT_TRUE(file.Create((dir.Path() / "p.kml").string()));
    TProgressLog log;
    WriteKmlBody(file, ships, c.AllTracks, log);
    file.Close();
    EXPECT_EQ(log.Log, "Lmin0 Lpos0 Lmax100 pump Lmax" + std::to_string(c.Entries) + " pump " + c.Steps + c.Steps)
        << c.AllTracks << " " << c.Entries;
  }
}

TEST(TKmlFile, CreateFailsWhereNoFileCanBeMade) {
  TTempDir dir;
  TKmlFile file;
  EXPECT_FALSE(file.Create((dir.Path() / "missing" / "SD_Belumar.kml").string()));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_THROW(WriteKmlLine(file, "x"), TKmlWriteError);
  EXPECT_NO_THROW(file.Close());
}

TEST(TKmlFile, CloseReportsWhatNeverReachedTheDisk) {
  TKmlFile file;
  ASSERT_TRUE(file.Create("/dev/full"));
  WriteKmlHeader(file, kDocumentName, "");  // fits the buffer
  EXPECT_THROW(file.Close(), TKmlWriteError);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_NO_THROW(file.Close());
}

TEST(TKmlFile, AFullDiskStopsTheWriterOnceTheBufferIsSpent) {
  TKmlFile file;
  ASSERT_TRUE(file.Create("/dev/full"));
  const std::string line(1000, 'x');
  int64_t written = 0;
  try {
    for (; written < 100000; ++written) WriteKmlLine(file, line);
  } catch (const TKmlWriteError&) {
  }
  EXPECT_LT(written, 100000);
  EXPECT_GT(written, 0);
  EXPECT_THROW(file.Close(), TKmlWriteError);
}

TEST(TKmlFile, CreateTruncatesAnOlderDocument) {
  TTempDir dir;
  auto path = dir.Write("SD_Belumar.kml", std::string(5000, 'o'));
  TKmlFile file;
  ASSERT_TRUE(file.Create(path.string()));
  WriteKmlFooter(file);
  file.Close();
  EXPECT_EQ(ReadFileBytes(path), "  </Document>\r\n</kml>\r\n");
}

}  // namespace
}  // namespace pelorin
