// Values no XML document may hold verbatim: control bytes from a garbled $GPRMC field,
// broken UTF-8 from a card's file name. The document must parse whatever they are.
#include <gtest/gtest.h>

#include <string>

#include "output/kml_writer.h"
#include "support/kml_check.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

TEST(KmlEscape, BytesThatAreNoXmlCharacter) {
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  const struct {
    std::string In, Out;
  } cases[] = {
      {std::string("2.5\0", 4), "2.5" + r},
      {"\x01\x1F\x7F", r + r + "\x7F"},
      {"a\tb", "a\tb"},
      {"line\r\nend", "line&#13;&#10;end"},
      {"K\xE4pt'n", "K" + r + "pt'n"},                      // Latin-1
      {"\xC3\xA4\xE2\x82\xAC\xF0\x9F\x9A\xA2", "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x9A\xA2"},  // ä € ship
      {"\xC3", r},                                            // cut short
      {"\xC0\xAF", r + r},                                    // overlong "/"
      {"\xED\xA0\x80", r + r + r},                            // a surrogate
      {"\xEF\xBF\xBE", r + r + r},                            // U+FFFE
      {"\xF4\x90\x80\x80", r + r + r + r},                    // beyond U+10FFFF
      {"\xFF<\xFE", r + "&lt;" + r},
  };
  for (const auto& c : cases) EXPECT_EQ(test::KmlEscaped(c.In), c.Out) << testing::PrintToString(c.In);
}

// Found by fuzz_kml: a document name holding control bytes made the document unreadable;
// a $GPRMC speed field with a NUL or a high byte does the same through the track points.
TEST(FuzzFinding, ControlBytesAndBrokenUtf8StillParse) {
  if (!test::kHaveXmlParser) GTEST_SKIP() << "no libxml2";
  std::string hostile;
  for (int c = 1; c < 256; ++c) hostile.push_back(static_cast<char>(c));
  hostile += std::string("\0end", 4);
  TStatic ship;
  ship.MMSI = "211000001";
  ship.ShipName = hostile;
  ship.CallSign = hostile;
  ship.Destination = hostile;
  // A fix's speed and course are the sentence's own texts.
  const test::TPointStrings p{"111111111", "", hostile, "8.000000", "54.000000", std::string("\0", 1), "",
                              "2011-04-07T10:00:00Z"};
  ship.aPlot = test::TrackOf({p, p});
  TShipList ships = {ship, ship};
  ships[1].MMSI = "211000002";

  test::TTempDir dir;
  const std::string path = (dir.Path() / "d.kml").string();
  TKmlFile file;
  ASSERT_TRUE(file.Create(path));
  TNullSink sink;
  WriteKmlHeader(file, "/home/sk\xE4pper/\x01\n/SD_Belumar.kml", hostile);
  WriteKmlBody(file, ships, true, sink);
  WriteKmlFooter(file);
  file.Close();
  const std::string document = test::ReadFileBytes(path);
  const test::TXmlCheck check = test::CheckXml(document, "Placemark");
  ASSERT_TRUE(check.WellFormed) << check.Error;
  EXPECT_EQ(check.Texts.size(), 2u + 4u);  // two labels, four track points
  // Every line still ends in CR LF and nowhere else.
  for (size_t i = 0; i < document.size(); ++i) {
    if (document[i] == '\n') {
      ASSERT_EQ(document[i - 1], '\r') << i;
    }
  }
}

}  // namespace
}  // namespace pelorin
