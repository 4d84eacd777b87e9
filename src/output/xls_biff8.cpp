#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "output/utf16_text.h"
#include "output/xls_workbook.h"

namespace pelorin {

namespace {

constexpr size_t kMaxRecordData = 8224;
constexpr size_t kMaxStringUnits = 32767;

constexpr uint16_t kBof = 0x0809, kEof = 0x000A, kCodepage = 0x0042, kWindow1 = 0x003D,
                   kDatemode = 0x0022, kFont = 0x0031, kXf = 0x00E0, kStyle = 0x0293,
                   kPalette = 0x0092, kBoundsheet = 0x0085, kCountry = 0x008C,
                   kSupbook = 0x01AE, kExternsheet = 0x0017, kName = 0x0018, kSst = 0x00FC,
                   kContinue = 0x003C, kExtsst = 0x00FF, kDefcolwidth = 0x0055,
                   kColinfo = 0x007D, kAutofilterinfo = 0x009D, kDimensions = 0x0200,
                   kRow = 0x0208, kLabelsst = 0x00FD, kBlank = 0x0201, kWindow2 = 0x023E,
                   kPane = 0x0041, kSelection = 0x001D;

// Field values of those records.
constexpr uint16_t kBiff8Version = 0x0600, kBofGlobals = 0x0005, kBofWorksheet = 0x0010, kBofBuild = 0x0DBB,
                   kBofYear = 0x07CC;
constexpr uint32_t kBofFileHistory = 0x000100C1, kBofLowestVersion = 0x00000006;
constexpr uint16_t kCodepageUtf16 = 1200;
constexpr uint16_t kWindow1Left = 0x0168, kWindow1Top = 0x001E, kWindow1Width = 0x3A5C, kWindow1Height = 0x2328,
                   kWindow1Flags = 0x0038, kWindow1TabRatio = 600;
constexpr uint16_t kFontBold = 0x0001, kFontItalic = 0x0002, kFontColourAuto = 0x7FFF, kFontWeightBold = 700,
                   kFontWeightNormal = 400;
constexpr uint8_t kFontFamilySwiss = 2;
constexpr uint16_t kXfStyleLocked = 0xFFF5, kXfCellLocked = 0x0001;  // style XFs have no parent
constexpr uint8_t kXfUsedFont = 0x08, kXfUsedAlignment = 0x10, kXfUsedPattern = 0x40;
constexpr uint32_t kXfSolidPattern = uint32_t{1} << 26;
constexpr uint16_t kColourAutoForeground = 64, kColourAutoBackground = 65;
constexpr uint16_t kStyleBuiltIn = 0x8000;  // on XF 0
constexpr uint8_t kStyleNormal = 0, kStyleNoLevel = 0xFF;
constexpr uint16_t kSupbookSelf = 0x0401;  // this workbook
constexpr uint16_t kNameHiddenBuiltIn = 0x0021;
constexpr uint8_t kNameFilterDatabase = 0x0D, kPtgArea3d = 0x3B;
constexpr uint16_t kDefaultXf = 15;  // the first cell XF, after the 15 style XFs
constexpr uint16_t kColinfoBestFit = 0x0006, kDefaultColumnWidth = 8;
constexpr uint16_t kRowFlags = 0x0100;
constexpr uint16_t kWindow2Frozen = 0x07BE, kWindow2Plain = 0x06B6;
constexpr uint32_t kWindow2GridColour = 64;

// The file's default colours 8 to 63.
constexpr std::array<uint32_t, 56> kDefaultPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

class TBytes {
 public:
  void U8(uint8_t v) { data_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    U8(v & 0xFF);
    U8(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Raw(std::string_view s) { data_.append(s); }
  std::string& Data() { return data_; }
  size_t Size() const { return data_.size(); }

 private:
  std::string data_;
};

void Record(std::string& out, uint16_t type, const std::string& data) {
  out.push_back(static_cast<char>(type & 0xFF));
  out.push_back(static_cast<char>(type >> 8));
  out.push_back(static_cast<char>(data.size() & 0xFF));
  out.push_back(static_cast<char>(data.size() >> 8));
  out.append(data);
}

void Record(std::string& out, uint16_t type, TBytes& data) { Record(out, type, data.Data()); }

struct TEncoded {
  std::u16string Units;
  bool Wide = false;
};

TEncoded Encode(std::string_view utf8) {
  TEncoded e;
  e.Units = Utf8ToUtf16(utf8);
  if (e.Units.size() > kMaxStringUnits) {
    size_t cut = kMaxStringUnits;
    if (e.Units[cut - 1] >= 0xD800 && e.Units[cut - 1] <= 0xDBFF) --cut;
    e.Units.resize(cut);
  }
  e.Wide = std::any_of(e.Units.begin(), e.Units.end(), [](char16_t u) { return u > 0xFF; });
  return e;
}

void PutUnits(TBytes& b, std::u16string_view units, bool wide) {
  for (char16_t u : units) wide ? b.U16(u) : b.U8(static_cast<uint8_t>(u));
}

// ShortXLUnicodeString: 8-bit length.
void ShortString(TBytes& b, std::string_view utf8) {
  TEncoded e = Encode(utf8);
  if (e.Units.size() > 255) e.Units.resize(255);
  b.U8(static_cast<uint8_t>(e.Units.size()));
  b.U8(e.Wide ? 1 : 0);
  PutUnits(b, e.Units, e.Wide);
}

// Fonts and cell formats in the order the file numbers them.
struct TStyleTable {
  std::vector<TXlsCellFormat> Fonts;    // by font record; index 4 of the file is skipped
  std::vector<TXlsCellFormat> Formats;  // cell XFs from kDefaultXf on
  std::vector<int> FontOfFormat;

  static int FileFontIndex(size_t i) { return i < 4 ? static_cast<int>(i) : static_cast<int>(i) + 1; }

  int FontIndex(const TXlsCellFormat& f) {
    for (size_t i = 0; i < Fonts.size(); ++i)
      if (Fonts[i].Bold == f.Bold && Fonts[i].Italic == f.Italic && Fonts[i].SizeTwips == f.SizeTwips)
        return FileFontIndex(i);
    Fonts.push_back(f);
    return FileFontIndex(Fonts.size() - 1);
  }
  uint16_t XfIndex(const TXlsCellFormat& f) {
    for (size_t i = 0; i < Formats.size(); ++i)
      if (Formats[i] == f) return static_cast<uint16_t>(kDefaultXf + i);
    Formats.push_back(f);
    FontOfFormat.push_back(FontIndex(f));
    return static_cast<uint16_t>(kDefaultXf + Formats.size() - 1);
  }
};

void FontRecord(std::string& out, const TXlsCellFormat& f) {
  TBytes b;
  b.U16(static_cast<uint16_t>(f.SizeTwips));
  b.U16(static_cast<uint16_t>((f.Bold ? kFontBold : 0) | (f.Italic ? kFontItalic : 0)));  // readers take bit 0 as bold
  b.U16(kFontColourAuto);
  b.U16(f.Bold ? kFontWeightBold : kFontWeightNormal);
  b.U16(0);
  b.U8(0);
  b.U8(kFontFamilySwiss);
  b.U8(0);
  b.U8(0);
  ShortString(b, "Arial");
  Record(out, kFont, b);
}

void XfRecord(std::string& out, bool style, int font, const TXlsCellFormat& f) {
  TBytes b;
  b.U16(static_cast<uint16_t>(font));
  b.U16(0);                             // General
  b.U16(style ? kXfStyleLocked : kXfCellLocked);
  b.U8(static_cast<uint8_t>(static_cast<uint8_t>(f.VAlign) << 4));
  b.U8(0);
  b.U8(0);
  uint8_t used = 0;
  if (style) {
    used = 0;
  } else {
    if (font != 0) used |= kXfUsedFont;
    if (f.VAlign != TXlsVAlign::Bottom) used |= kXfUsedAlignment;
    if (f.FillColour != 0) used |= kXfUsedPattern;
  }
  b.U8(used);
  b.U32(0);  // no borders
  if (f.FillColour != 0) {
    b.U32(kXfSolidPattern);
    b.U16(static_cast<uint16_t>(f.FillColour | (kColourAutoForeground << 7)));
  } else {
    b.U32(0);
    b.U16(static_cast<uint16_t>(kColourAutoForeground | (kColourAutoBackground << 7)));
  }
  Record(out, kXf, b);
}

// The shared string table, split into SST and CONTINUE records.
struct TSharedStrings {
  std::vector<std::string_view> Texts;
  std::unordered_map<std::string_view, uint32_t> Index;
  uint32_t Total = 0;

  uint32_t Add(std::string_view text) {
    ++Total;
    auto [it, added] = Index.try_emplace(text, static_cast<uint32_t>(Texts.size()));
    if (added) Texts.push_back(text);
    return it->second;
  }
};

void WriteSst(std::string& out, const TSharedStrings& sst) {
  std::vector<std::string> payloads(1);
  payloads[0].reserve(kMaxRecordData);
  TBytes head;
  head.U32(sst.Total);
  head.U32(static_cast<uint32_t>(sst.Texts.size()));
  payloads[0] = head.Data();

  const size_t bucket = std::max<size_t>(8, sst.Texts.size() / 128 + 1);
  struct TMark { size_t Record, Offset; };
  std::vector<TMark> marks;

  for (size_t i = 0; i < sst.Texts.size(); ++i) {
    const TEncoded e = Encode(sst.Texts[i]);
    const size_t unit = e.Wide ? 2 : 1;
    // The length, flags and first character never straddle records.
    const size_t needed = 3 + (e.Units.empty() ? 0 : unit);
    if (kMaxRecordData - payloads.back().size() < needed) payloads.emplace_back();
    if (i % bucket == 0) marks.push_back({payloads.size() - 1, payloads.back().size()});
    TBytes b;
    b.U16(static_cast<uint16_t>(e.Units.size()));
    b.U8(e.Wide ? 1 : 0);
    payloads.back() += b.Data();
    std::u16string_view left = e.Units;
    while (!left.empty()) {
      const size_t room = (kMaxRecordData - payloads.back().size()) / unit;
      if (room == 0) {
        payloads.emplace_back(1, static_cast<char>(e.Wide ? 1 : 0));
        continue;
      }
      const size_t n = std::min(room, left.size());
      TBytes chunk;
      PutUnits(chunk, left.substr(0, n), e.Wide);
      payloads.back() += chunk.Data();
      left.remove_prefix(n);
    }
  }

  std::vector<size_t> starts;
  for (size_t r = 0; r < payloads.size(); ++r) {
    starts.push_back(out.size());
    Record(out, r == 0 ? kSst : kContinue, payloads[r]);
  }

  TBytes ext;
  ext.U16(static_cast<uint16_t>(bucket));
  for (const auto& m : marks) {
    ext.U32(static_cast<uint32_t>(starts[m.Record] + 4 + m.Offset));
    ext.U16(static_cast<uint16_t>(4 + m.Offset));
    ext.U16(0);
  }
  Record(out, kExtsst, ext);
}

void Bof(std::string& out, uint16_t kind) {
  TBytes b;
  b.U16(kBiff8Version);
  b.U16(kind);
  b.U16(kBofBuild);
  b.U16(kBofYear);
  b.U32(kBofFileHistory);
  b.U32(kBofLowestVersion);
  Record(out, kBof, b);
}

int RowOf(int32_t key) { return key / kXlsMaxColumns; }
int ColumnOf(int32_t key) { return key % kXlsMaxColumns; }

int RowHeightTwips(int maxFontTwips) {
  const int twips = (maxFontTwips * 255 + 199) / 200;
  return std::max(255, (twips + 14) / 15 * 15);
}

void WriteGlobals(std::string& out, const TXlsSheet& sheet, TStyleTable& styles,
                  size_t& boundsheetOffsetAt, const TSharedStrings& sst) {
  Bof(out, kBofGlobals);
  {
    TBytes b;
    b.U16(kCodepageUtf16);
    Record(out, kCodepage, b);
  }
  {
    TBytes b;
    b.U16(kWindow1Left);
    b.U16(kWindow1Top);
    b.U16(kWindow1Width);
    b.U16(kWindow1Height);
    b.U16(kWindow1Flags);
    b.U16(0);  // active sheet
    b.U16(0);  // first tab shown
    b.U16(1);  // sheets selected
    b.U16(kWindow1TabRatio);
    Record(out, kWindow1, b);
  }
  {
    TBytes b;
    b.U16(0);
    Record(out, kDatemode, b);
  }
  for (const auto& font : styles.Fonts) FontRecord(out, font);
  const TXlsCellFormat plain;
  for (int i = 0; i < kDefaultXf; ++i) XfRecord(out, true, 0, plain);
  for (size_t i = 0; i < styles.Formats.size(); ++i)
    XfRecord(out, false, styles.FontOfFormat[i], styles.Formats[i]);
  {
    TBytes b;
    b.U16(kStyleBuiltIn);
    b.U8(kStyleNormal);
    b.U8(kStyleNoLevel);
    Record(out, kStyle, b);
  }
  {
    TBytes b;
    b.U16(static_cast<uint16_t>(kDefaultPalette.size()));
    for (uint32_t rgb : kDefaultPalette) {
      b.U8(static_cast<uint8_t>(rgb >> 16));
      b.U8(static_cast<uint8_t>(rgb >> 8));
      b.U8(static_cast<uint8_t>(rgb));
      b.U8(0);
    }
    Record(out, kPalette, b);
  }
  {
    TBytes b;
    b.U32(0);  // patched when the sheet's offset is known
    b.U8(0);
    b.U8(0);
    ShortString(b, sheet.Name);
    boundsheetOffsetAt = out.size() + 4;
    Record(out, kBoundsheet, b);
  }
  {
    TBytes b;
    b.U16(1);
    b.U16(1);
    Record(out, kCountry, b);
  }
  if (sheet.AutoFilter) {
    {
      TBytes b;
      b.U16(1);
      b.U16(kSupbookSelf);
      Record(out, kSupbook, b);
    }
    {
      TBytes b;
      b.U16(1);
      b.U16(0);
      b.U16(0);
      b.U16(0);
      Record(out, kExternsheet, b);
    }
    // _FilterDatabase, hidden and local to the sheet.
    const TXlsRange& r = *sheet.AutoFilter;
    TBytes b;
    b.U16(kNameHiddenBuiltIn);
    b.U8(0);
    b.U8(1);
    b.U16(11);
    b.U16(0);
    b.U16(1);
    b.U32(0);
    b.U8(0);
    b.U8(kNameFilterDatabase);
    b.U8(kPtgArea3d);
    b.U16(0);
    b.U16(static_cast<uint16_t>(r.FirstRow));
    b.U16(static_cast<uint16_t>(r.LastRow));
    b.U16(static_cast<uint16_t>(r.FirstColumn));
    b.U16(static_cast<uint16_t>(r.LastColumn));
    Record(out, kName, b);
  }
  WriteSst(out, sst);
  Record(out, kEof, std::string());
}

void WriteSelection(std::string& out, uint8_t pane, const TXlsRange& r) {
  TBytes b;
  b.U8(pane);
  b.U16(static_cast<uint16_t>(r.FirstRow));
  b.U16(static_cast<uint16_t>(r.FirstColumn));
  b.U16(0);
  b.U16(1);
  b.U16(static_cast<uint16_t>(r.FirstRow));
  b.U16(static_cast<uint16_t>(r.LastRow));
  b.U8(static_cast<uint8_t>(r.FirstColumn));
  b.U8(static_cast<uint8_t>(r.LastColumn));
  Record(out, kSelection, b);
}

void WriteSheet(std::string& out, const TXlsSheet& sheet, const std::vector<uint16_t>& xfOfCell,
                const std::vector<uint32_t>& sstOfCell, const std::vector<int>& rowFontTwips) {
  Bof(out, kBofWorksheet);
  {
    TBytes b;
    b.U16(kDefaultColumnWidth);
    Record(out, kDefcolwidth, b);
  }
  for (const auto& [column, width] : sheet.ColumnWidths) {
    TBytes b;
    b.U16(static_cast<uint16_t>(column));
    b.U16(static_cast<uint16_t>(column));
    b.U16(static_cast<uint16_t>(width));
    b.U16(kDefaultXf);
    b.U16(kColinfoBestFit);
    b.U16(0);
    Record(out, kColinfo, b);
  }
  if (sheet.AutoFilter) {
    TBytes b;
    b.U16(static_cast<uint16_t>(sheet.AutoFilter->LastColumn - sheet.AutoFilter->FirstColumn + 1));
    Record(out, kAutofilterinfo, b);
  }
  {
    TBytes b;
    if (sheet.Cells.empty()) {
      b.U32(0), b.U32(0), b.U16(0), b.U16(0);
    } else {
      int firstRow = RowOf(sheet.Cells.begin()->first);
      int lastRow = RowOf(sheet.Cells.rbegin()->first);
      int firstCol = kXlsMaxColumns, lastCol = 0;
      for (const auto& [key, cell] : sheet.Cells) {
        firstCol = std::min(firstCol, ColumnOf(key));
        lastCol = std::max(lastCol, ColumnOf(key));
      }
      b.U32(static_cast<uint32_t>(firstRow));
      b.U32(static_cast<uint32_t>(lastRow + 1));
      b.U16(static_cast<uint16_t>(firstCol));
      b.U16(static_cast<uint16_t>(lastCol + 1));
    }
    b.U16(0);
    Record(out, kDimensions, b);
  }

  // Blocks of up to 32 rows: their ROW records, then their cells.
  std::vector<std::pair<int32_t, size_t>> cells;  // key, ordinal
  cells.reserve(sheet.Cells.size());
  size_t ordinal = 0;
  for (const auto& entry : sheet.Cells) cells.emplace_back(entry.first, ordinal++);
  size_t i = 0;
  while (i < cells.size()) {
    const int blockStart = RowOf(cells[i].first) / 32 * 32;
    size_t j = i;
    while (j < cells.size() && RowOf(cells[j].first) < blockStart + 32) ++j;
    for (size_t k = i; k < j;) {
      const int row = RowOf(cells[k].first);
      size_t m = k;
      while (m < j && RowOf(cells[m].first) == row) ++m;
      TBytes b;
      b.U16(static_cast<uint16_t>(row));
      b.U16(static_cast<uint16_t>(ColumnOf(cells[k].first)));
      b.U16(static_cast<uint16_t>(ColumnOf(cells[m - 1].first) + 1));
      b.U16(static_cast<uint16_t>(RowHeightTwips(rowFontTwips[k])));
      b.U16(0);
      b.U16(0);
      b.U16(kRowFlags);
      b.U16(kDefaultXf);
      Record(out, kRow, b);
      k = m;
    }
    for (size_t k = i; k < j; ++k) {
      const auto [key, n] = cells[k];
      TBytes b;
      b.U16(static_cast<uint16_t>(RowOf(key)));
      b.U16(static_cast<uint16_t>(ColumnOf(key)));
      b.U16(xfOfCell[n]);
      if (sstOfCell[n] != UINT32_MAX) {
        b.U32(sstOfCell[n]);
        Record(out, kLabelsst, b);
      } else {
        Record(out, kBlank, b);
      }
    }
    i = j;
  }

  const bool frozen = sheet.FrozenRows > 0 || sheet.FrozenColumns > 0;
  {
    TBytes b;
    b.U16(frozen ? kWindow2Frozen : kWindow2Plain);
    b.U16(0);
    b.U16(0);
    b.U32(kWindow2GridColour);
    b.U16(0);
    b.U16(0);
    b.U32(0);
    Record(out, kWindow2, b);
  }
  if (frozen) {
    const uint8_t active = sheet.FrozenRows > 0 && sheet.FrozenColumns > 0 ? 0
                           : sheet.FrozenRows > 0                          ? 2
                                                                           : 1;
    TBytes b;
    b.U16(static_cast<uint16_t>(sheet.FrozenColumns));
    b.U16(static_cast<uint16_t>(sheet.FrozenRows));
    b.U16(static_cast<uint16_t>(sheet.FrozenRows));
    b.U16(static_cast<uint16_t>(sheet.FrozenColumns));
    b.U8(active);
    b.U8(0);
    Record(out, kPane, b);
    WriteSelection(out, 3, TXlsRange{});
    WriteSelection(out, active, sheet.Selection);
  } else {
    WriteSelection(out, 3, sheet.Selection);
  }
  Record(out, kEof, std::string());
}

}  // namespace

std::string BuildBiff8Stream(const TXlsSheet& sheet) {
  TStyleTable styles;
  const TXlsCellFormat plain;
  for (int i = 0; i < 4; ++i) styles.Fonts.push_back(plain);
  styles.XfIndex(plain);  // kDefaultXf

  TSharedStrings sst;
  std::vector<uint16_t> xfOfCell;
  std::vector<uint32_t> sstOfCell;
  std::vector<int> rowFontTwips;  // per cell: the tallest font of its row
  xfOfCell.reserve(sheet.Cells.size());
  sstOfCell.reserve(sheet.Cells.size());
  std::unordered_map<int, int> tallest;
  for (const auto& [key, cell] : sheet.Cells) {
    xfOfCell.push_back(styles.XfIndex(cell.Format));
    sstOfCell.push_back(cell.Text.empty() ? UINT32_MAX : sst.Add(cell.Text));
    int& t = tallest[RowOf(key)];
    t = std::max(t, cell.Format.SizeTwips);
  }
  for (const auto& [key, cell] : sheet.Cells) rowFontTwips.push_back(tallest[RowOf(key)]);

  std::string out;
  size_t boundsheetOffsetAt = 0;
  WriteGlobals(out, sheet, styles, boundsheetOffsetAt, sst);
  const auto sheetStart = static_cast<uint32_t>(out.size());
  for (int i = 0; i < 4; ++i)
    out[boundsheetOffsetAt + i] = static_cast<char>((sheetStart >> (8 * i)) & 0xFF);
  WriteSheet(out, sheet, xfOfCell, sstOfCell, rowFontTwips);
  return out;
}

}  // namespace pelorin
