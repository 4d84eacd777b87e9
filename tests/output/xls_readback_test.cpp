// Workbooks written by the built-in spreadsheet, read back by independent readers:
// python3-xlrd (values and formatting) and libfreexl (values), when they are installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "output/builtin_spreadsheet.h"
#include "output/compound_file.h"
#include "output/xls_workbook.h"
#include "output/ship_list_export.h"
#include "support/test_support.h"

#ifdef PELORIN_HAVE_FREEXL
#include <freexl.h>
#endif

namespace pelorin {
namespace {

constexpr const char* kSixBit =
    "@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_ !\"#$%&'()*+,-./0123456789:;<=>?";

class TSilentMessages : public TMessageBox {
 public:
  void Show(TMessageKind, std::string_view, std::string_view text) override {
    ADD_FAILURE() << "message box: " << text;
  }
};

// Exports `ships` through the built-in application; returns the workbook's path.
std::filesystem::path Export(const test::TTempDir& dir, const TShipList& ships) {
  TBuiltInSpreadsheetFactory factory;
  TNoSheetWindow window;
  TSilentMessages messages;
  TShipListExportEnv env{factory, window, messages, dir.Path().string() + "/", 1033};
  EXPECT_EQ(BitBtn_ExpExcelClick(ShipGridCells(ships), env), TExportOutcome::Shown);
  ReleaseExcelApp();
  return dir.Path() / "Mappe_SD.xls";
}

TStatic Vessel(int i) {
  TStatic s;
  s.MMSI = std::to_string(211000000 + i);
  s.AISclass = i % 3 ? "A" : "B";
  s.ShipName = "VESSEL " + std::to_string(i);
  s.NavStatus = i % 2 ? "under way using engine" : "n.a.";
  s.CallSign = "D" + std::to_string(i % 1000);
  s.ShipsType = "Cargo, all ships of this type";
  s.Dimension.Laenge = std::to_string(20 + i % 300);
  s.Dimension.Breite = std::to_string(5 + i % 40);
  s.Draught = std::to_string(i % 20) + ".5";
  s.Destination = i % 7 ? "HAMBURG" : "";
  s.Num_Msg5 = i;
  s.Num_Msg14 = i % 4;
  s.aPlot.resize(i % 5);
  return s;
}

TShipList Vessels(int n) {
  TShipList ships;
  for (int i = 0; i < n; ++i) ships.push_back(Vessel(i));
  return ships;
}

TShipList SixBitVessels() {
  TShipList ships = Vessels(3);
  const std::string all = kSixBit;
  ships[0].ShipName = all;
  ships[1].ShipName = "";
  ships[1].MMSI = "970012345";  // SART name rule
  ships[1].Destination = all.substr(32) + all.substr(0, 32);
  ships[2].CallSign = "\"'\\<>&";
  ships[2].Destination = " LEADING AND TRAILING ";
  TStatic wide = Vessel(3);
  wide.ShipName = "\xC3\x86r\xC3\xB8sk\xC3\xB8""bing \xE2\x80\x93 \xE6\x9D\xB1\xE4\xBA\xAC";
  wide.Destination = std::string(9000, 'X');  // longer than one record
  for (int i = 0; i < 5000; ++i) wide.ShipsType += "\xCE\xA9";  // wide, split across records
  ships.push_back(wide);
  return ships;
}

// What the sheet must hold: headers, an empty row, then the grid's rows.
std::vector<std::vector<std::string>> ExpectedSheet(const TShipList& ships) {
  const TShipGrid grid = ShipGridCells(ships);
  std::vector<std::vector<std::string>> sheet;
  sheet.push_back(grid[0]);
  sheet.emplace_back(13);
  for (size_t r = 1; r < grid.size(); ++r) sheet.push_back(grid[r]);
  return sheet;
}

// ---- xlrd -------------------------------------------------------------------------------

constexpr const char* kXlrdScript = R"PY(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
print("SHEETS", b.nsheets)
sh = b.sheet_by_index(0)
print("SIZE", sh.nrows, sh.ncols)
for r in range(sh.nrows):
    for c in range(sh.row_len(r)):
        cell = sh.cell(r, c)
        if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
            continue
        print("V", r, c, cell.ctype, "h" + cell.value.encode("utf-8").hex())
for c in range(min(sh.row_len(0), 14)) if sh.nrows else []:
    xf = b.xf_list[sh.cell_xf_index(0, c)]
    font = b.font_list[xf.font_index]
    rgb = b.colour_map.get(xf.background.pattern_colour_index) or (0, 0, 0)
    print("H", c, int(font.bold), font.height, xf.alignment.vert_align,
          xf.background.fill_pattern, xf.background.pattern_colour_index,
          "%02X%02X%02X" % rgb)
print("FROZEN", int(sh.panes_are_frozen), sh.horz_split_pos, sh.vert_split_pos,
      sh.horz_split_first_visible)
for c, info in sorted(sh.colinfo_map.items()):
    print("W", c, info.width)
for n in b.name_obj_list:
    area = n.area2d(clipped=False)
    print("N", n.name.encode("utf-8").hex(), int(n.hidden), int(n.builtin), n.scope,
          area[1], area[2], area[3], area[4])
)PY";

std::string Python() {
  for (const char* candidate : {"/usr/bin/python3", "python3"}) {
    const std::string probe = std::string(candidate) + " -c 'import xlrd' >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) return candidate;
  }
  return {};
}

struct TXlrdView {
  int Sheets = 0, Rows = 0, Columns = 0;
  std::map<std::pair<int, int>, std::string> Values;
  std::map<std::pair<int, int>, int> Types;
  struct THeader { int Bold, Height, VAlign, Pattern, Colour; std::string Rgb; };
  std::map<int, THeader> Headers;
  int Frozen = -1, HorzSplit = -1, VertSplit = -1, FirstVisible = -1;
  std::map<int, int> Widths;
  struct TName { std::string Name; int Hidden, Builtin, Scope, R0, R1, C0, C1; };
  std::vector<TName> Names;
  std::string Errors;
};

std::string Unhex(const std::string& h) {
  std::string out;
  for (size_t i = 1; i + 1 < h.size(); i += 2) out.push_back(static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16)));
  return out;
}

TXlrdView ReadWithXlrd(const std::string& python, const std::filesystem::path& xls,
                       const test::TTempDir& dir) {
  const auto script = dir.Write("read.py", kXlrdScript);
  const std::string command = python + " " + script.string() + " " + xls.string() + " 2>" +
                              (dir.Path() / "err.txt").string();
  TXlrdView view;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return view;
  std::string text;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  pclose(pipe);
  view.Errors = test::ReadFileBytes(dir.Path() / "err.txt");
  std::istringstream lines(text);
  std::string tag;
  while (lines >> tag) {
    if (tag == "SHEETS") {
      lines >> view.Sheets;
    } else if (tag == "SIZE") {
      lines >> view.Rows >> view.Columns;
    } else if (tag == "V") {
      int r, c, type;
      std::string hex;
      lines >> r >> c >> type >> hex;
      view.Values[{r, c}] = Unhex(hex);
      view.Types[{r, c}] = type;
    } else if (tag == "H") {
      int c;
      TXlrdView::THeader h;
      lines >> c >> h.Bold >> h.Height >> h.VAlign >> h.Pattern >> h.Colour >> h.Rgb;
      view.Headers[c] = h;
    } else if (tag == "FROZEN") {
      lines >> view.Frozen >> view.HorzSplit >> view.VertSplit >> view.FirstVisible;
    } else if (tag == "W") {
      int c, w;
      lines >> c >> w;
      view.Widths[c] = w;
    } else if (tag == "N") {
      TXlrdView::TName name;
      std::string hex;
      lines >> hex >> name.Hidden >> name.Builtin >> name.Scope >> name.R0 >> name.R1 >> name.C0 >> name.C1;
      name.Name = Unhex("h" + hex);
      view.Names.push_back(name);
    } else {
      std::getline(lines, tag);
    }
  }
  return view;
}

void ExpectValues(const TXlrdView& view, const std::vector<std::vector<std::string>>& expected) {
  for (size_t r = 0; r < expected.size(); ++r)
    for (size_t c = 0; c < expected[r].size(); ++c) {
      const auto it = view.Values.find({static_cast<int>(r), static_cast<int>(c)});
      const std::string got = it == view.Values.end() ? "" : it->second;
      ASSERT_EQ(got, expected[r][c]) << "row " << r << " column " << c;
      if (!got.empty()) {
        EXPECT_EQ(view.Types.at({static_cast<int>(r), static_cast<int>(c)}), 1);
      }
    }
  // Nothing beyond the expected cells.
  for (const auto& [at, value] : view.Values) {
    EXPECT_LT(static_cast<size_t>(at.first), expected.size());
    EXPECT_LT(at.second, 13);
  }
}

class TXlrdReadBack : public ::testing::TestWithParam<int> {};

TEST_P(TXlrdReadBack, ValuesAndFormatting) {
  const std::string python = Python();
  if (python.empty()) GTEST_SKIP() << "python3 with xlrd is not installed";
  test::TTempDir dir;
  const TShipList ships = GetParam() < 0 ? SixBitVessels() : Vessels(GetParam());
  const auto xls = Export(dir, ships);
  const TXlrdView view = ReadWithXlrd(python, xls, dir);
  ASSERT_EQ(view.Sheets, 1) << view.Errors;

  ExpectValues(view, ExpectedSheet(ships));

  ASSERT_EQ(view.Headers.size(), 13u);
  for (const auto& [c, h] : view.Headers) {
    EXPECT_EQ(h.Bold, 1) << c;
    EXPECT_EQ(h.Height, 280) << c;  // 14 points in twips
    EXPECT_EQ(h.VAlign, 1) << c;    // centred
    EXPECT_EQ(h.Pattern, 1) << c;   // solid
    EXPECT_EQ(h.Colour, 13) << c;
    EXPECT_EQ(h.Rgb, "FFFF00") << c;
  }

  EXPECT_EQ(view.Frozen, 1);
  EXPECT_EQ(view.HorzSplit, 2);  // rows 1 and 2 stay, A3 is the first scrolled cell
  EXPECT_EQ(view.VertSplit, 0);
  EXPECT_EQ(view.FirstVisible, 2);

  ASSERT_EQ(view.Names.size(), 1u);
  EXPECT_EQ(view.Names[0].Name, "_FilterDatabase");
  EXPECT_EQ(view.Names[0].Hidden, 1);
  EXPECT_EQ(view.Names[0].Builtin, 1);
  EXPECT_EQ(view.Names[0].Scope, 0);  // local to the first sheet
  EXPECT_EQ(view.Names[0].R0, 1);     // A2:N2, half-open
  EXPECT_EQ(view.Names[0].R1, 2);
  EXPECT_EQ(view.Names[0].C0, 0);
  EXPECT_EQ(view.Names[0].C1, 14);

  // AutoFit: every column with text has a width, and the wider text gets the wider column.
  for (int c = 0; c < 13; ++c) EXPECT_TRUE(view.Widths.count(c)) << c;
  EXPECT_GT(view.Widths.at(5), view.Widths.at(0));  // "Ship-Type" texts are long
}

INSTANTIATE_TEST_SUITE_P(Tables, TXlrdReadBack, ::testing::Values(0, 3, 5000, -1),
                         [](const auto& info) {
                           return info.param < 0 ? std::string("SixBitAndWideTexts")
                                                 : "Vessels" + std::to_string(info.param);
                         });

TEST(XlrdReadBack, AutoFitFollowsTheLongestText) {
  const std::string python = Python();
  if (python.empty()) GTEST_SKIP() << "python3 with xlrd is not installed";
  test::TTempDir dir;
  TShipList ships = Vessels(2);
  ships[1].Destination = std::string(60, 'W');
  const TXlrdView view = ReadWithXlrd(python, Export(dir, ships), dir);
  // Sixty capital Ws of Arial 10 are about 102 digit widths.
  EXPECT_NEAR(view.Widths.at(9) / 256.0, 102.6, 3.0);
  // The bold 14-point header decides a column of short texts.
  EXPECT_NEAR(view.Widths.at(0) / 256.0, 7.5, 1.0);
}

TEST(XlrdReadBack, WorkbookStreamBeyondTheHeadersFatSlots) {
  const std::string python = Python();
  if (python.empty()) GTEST_SKIP() << "python3 with xlrd is not installed";
  // An 8 MB workbook stream needs DIFAT sectors; the padding after the last record is
  // never parsed.
  TXlsSheet sheet;
  sheet.Cells[0].Text = "first";
  sheet.Cells[1 * kXlsMaxColumns + 2].Text = "second";
  std::string stream = BuildBiff8Stream(sheet);
  stream.resize(8'000'000, '\0');
  test::TTempDir dir;
  const auto xls = dir.Write("big.xls", BuildCompoundFile(u"Workbook", stream));
  const TXlrdView view = ReadWithXlrd(python, xls, dir);
  ASSERT_EQ(view.Sheets, 1) << view.Errors;
  EXPECT_EQ(view.Values.at({0, 0}), "first");
  EXPECT_EQ(view.Values.at({1, 2}), "second");
}

TEST(XlrdReadBack, OverlongTextIsCutToACellsLimit) {
  const std::string python = Python();
  if (python.empty()) GTEST_SKIP() << "python3 with xlrd is not installed";
  TXlsSheet sheet;
  sheet.Cells[0].Text = std::string(40000, 'L');  // a cell holds at most 32767 characters
  sheet.Cells[1].Text = "after";
  test::TTempDir dir;
  const auto xls = dir.Path() / "long.xls";
  WriteXlsFile(xls.string(), sheet);
  const TXlrdView view = ReadWithXlrd(python, xls, dir);
  ASSERT_EQ(view.Sheets, 1) << view.Errors;
  EXPECT_EQ(view.Values.at({0, 0}), std::string(32767, 'L'));
  EXPECT_EQ(view.Values.at({0, 1}), "after");
}

// ---- LibreOffice -------------------------------------------------------------------------

std::string Office() {
  for (const char* candidate : {"libreoffice", "soffice"}) {
    const std::string probe = std::string("command -v ") + candidate + " >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) return candidate;
  }
  return {};
}

TEST(LibreOfficeReadBack, AutoFilterSurvivesConversion) {
  const std::string office = Office();
  const std::string python = Python();
  if (office.empty() || python.empty()) GTEST_SKIP() << "LibreOffice or python3 is not installed";
  test::TTempDir dir;
  const auto xls = Export(dir, Vessels(3));
  const std::string convert = office + " -env:UserInstallation=file://" + dir.Path().string() +
                              "/profile --headless --convert-to xlsx --outdir " +
                              dir.Path().string() + " " + xls.string() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(convert.c_str()), 0);
  const auto xlsx = dir.Path() / "Mappe_SD.xlsx";
  ASSERT_TRUE(std::filesystem::exists(xlsx));
  const auto script = dir.Write("unzip.py",
      "import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "print(z.read('xl/worksheets/sheet1.xml').decode('utf-8'))\n"
      "print(z.read('xl/workbook.xml').decode('utf-8'))\n");
  const std::string out = (dir.Path() / "xml.txt").string();
  ASSERT_EQ(std::system((python + " " + script.string() + " " + xlsx.string() + " >" + out).c_str()), 0);
  const std::string xml = test::ReadFileBytes(out);
  EXPECT_NE(xml.find("<autoFilter ref=\"A2:N2\""), std::string::npos) << xml.substr(0, 2000);
  EXPECT_NE(xml.find("_xlnm._FilterDatabase"), std::string::npos);
  EXPECT_NE(xml.find("state=\"frozen\""), std::string::npos);
}

// ---- libfreexl ---------------------------------------------------------------------------

#ifdef PELORIN_HAVE_FREEXL
class TFreexlReadBack : public ::testing::TestWithParam<int> {};

TEST_P(TFreexlReadBack, Values) {
  test::TTempDir dir;
  const TShipList ships = GetParam() < 0 ? SixBitVessels() : Vessels(GetParam());
  const auto xls = Export(dir, ships);
  const void* handle = nullptr;
  ASSERT_EQ(freexl_open(xls.c_str(), &handle), FREEXL_OK);
  unsigned int info = 0;
  EXPECT_EQ(freexl_get_info(handle, FREEXL_BIFF_VERSION, &info), FREEXL_OK);
  EXPECT_EQ(info, static_cast<unsigned>(FREEXL_BIFF_VER_8));
  EXPECT_EQ(freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &info), FREEXL_OK);
  EXPECT_EQ(info, 1u);
  ASSERT_EQ(freexl_select_active_worksheet(handle, 0), FREEXL_OK);
  unsigned int rows = 0;
  unsigned short columns = 0;
  ASSERT_EQ(freexl_worksheet_dimensions(handle, &rows, &columns), FREEXL_OK);
  const auto expected = ExpectedSheet(ships);
  EXPECT_LE(rows, expected.size());
  EXPECT_EQ(columns, 13);
  for (unsigned r = 0; r < expected.size(); ++r)
    for (unsigned c = 0; c < 13; ++c) {
      std::string got;
      if (r < rows) {
        FreeXL_CellValue cell;
        ASSERT_EQ(freexl_get_cell_value(handle, r, static_cast<unsigned short>(c), &cell), FREEXL_OK);
        if (cell.type == FREEXL_CELL_SST_TEXT || cell.type == FREEXL_CELL_TEXT) got = cell.value.text_value;
        else ASSERT_EQ(cell.type, FREEXL_CELL_NULL) << r << "/" << c;
      }
      ASSERT_EQ(got, expected[r][c]) << "row " << r << " column " << c;
    }
  freexl_close(handle);
}

TEST(FreexlReadBack, MalformedAndAstralTexts) {
  TXlsSheet sheet;
  sheet.Cells[0].Text = "bad \xFF\xC3 end";     // not UTF-8
  sheet.Cells[1].Text = "\xF0\x9F\x9A\xA2 ship";  // outside the BMP
  test::TTempDir dir;
  const auto xls = dir.Path() / "odd.xls";
  WriteXlsFile(xls.string(), sheet);
  const void* handle = nullptr;
  ASSERT_EQ(freexl_open(xls.c_str(), &handle), FREEXL_OK);
  ASSERT_EQ(freexl_select_active_worksheet(handle, 0), FREEXL_OK);
  FreeXL_CellValue cell;
  ASSERT_EQ(freexl_get_cell_value(handle, 0, 0, &cell), FREEXL_OK);
  EXPECT_EQ(std::string(cell.value.text_value), "bad \xEF\xBF\xBD\xEF\xBF\xBD end");
  ASSERT_EQ(freexl_get_cell_value(handle, 0, 1, &cell), FREEXL_OK);
  EXPECT_EQ(std::string(cell.value.text_value), "\xF0\x9F\x9A\xA2 ship");
  freexl_close(handle);
}

INSTANTIATE_TEST_SUITE_P(Tables, TFreexlReadBack, ::testing::Values(0, 3, 5000, -1),
                         [](const auto& info) {
                           return info.param < 0 ? std::string("SixBitAndWideTexts")
                                                 : "Vessels" + std::to_string(info.param);
                         });
#endif

}  // namespace
}  // namespace pelorin
