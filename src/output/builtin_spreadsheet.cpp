#include "output/builtin_spreadsheet.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

#include "output/xls_text_width.h"
#include "output/xls_workbook.h"

namespace pelorin {

namespace {

constexpr int kPaletteOffset = 7;  // automation colour index k is the file's entry k + 7
constexpr int32_t kXlColorIndexNone = -4142;
constexpr int32_t kXlColorIndexAutomatic = -4105;
// Ranges larger than this are refused rather than expanded cell by cell.
constexpr int64_t kMaxRangeCells = 1'000'000;

bool Is(std::string_view member, std::string_view name) {
  return member.size() == name.size() &&
         std::equal(member.begin(), member.end(), name.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

[[noreturn]] void Fail(const std::string& reason) { throw TAutomationError(reason); }

[[noreturn]] void Unknown(std::string_view object, std::string_view member) {
  Fail("The built-in spreadsheet's " + std::string(object) + " has no member \"" +
       std::string(member) + "\".");
}

int32_t AsInt(const TAutomationValue& v, std::string_view what) {
  if (auto* i = std::get_if<int32_t>(&v)) return *i;
  if (auto* s = std::get_if<int16_t>(&v)) return *s;
  Fail(std::string(what) + ": an integer is required.");
}

bool AsBool(const TAutomationValue& v, std::string_view what) {
  if (auto* b = std::get_if<bool>(&v)) return *b;
  Fail(std::string(what) + ": a Boolean is required.");
}

const std::string& AsText(const TAutomationValue& v, std::string_view what) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  Fail(std::string(what) + ": a text is required.");
}

bool Given(const TAutomationArgs& args, size_t i) {
  return i < args.size() && !std::holds_alternative<TNotGiven>(args[i]);
}

void NoArgs(const TAutomationArgs& args, std::string_view member) {
  if (!args.empty()) Fail(std::string(member) + " takes no arguments here.");
}

// "A2", "$A$2:$N$2" -> zero-based range.
std::optional<TXlsRange> ParseA1(std::string_view text) {
  auto cell = [](std::string_view s, int& row, int& column) {
    size_t i = 0;
    if (i < s.size() && s[i] == '$') ++i;
    column = 0;
    size_t letters = 0;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) && letters < 3) {
      column = column * 26 + (std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 1);
      ++i, ++letters;
    }
    if (letters == 0) return false;
    if (i < s.size() && s[i] == '$') ++i;
    row = 0;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && digits < 6) {
      row = row * 10 + (s[i] - '0');
      ++i, ++digits;
    }
    if (digits == 0 || i != s.size()) return false;
    if (row < 1 || row > kXlsMaxRows || column < 1 || column > kXlsMaxColumns) return false;
    --row, --column;
    return true;
  };
  const auto colon = text.find(':');
  TXlsRange r;
  if (!cell(text.substr(0, colon), r.FirstRow, r.FirstColumn)) return std::nullopt;
  if (colon == std::string_view::npos) {
    r.LastRow = r.FirstRow, r.LastColumn = r.FirstColumn;
  } else if (!cell(text.substr(colon + 1), r.LastRow, r.LastColumn)) {
    return std::nullopt;
  }
  if (r.LastRow < r.FirstRow) std::swap(r.FirstRow, r.LastRow);
  if (r.LastColumn < r.FirstColumn) std::swap(r.FirstColumn, r.LastColumn);
  return r;
}

constexpr TXlsRange kWholeSheet{0, kXlsMaxRows - 1, 0, kXlsMaxColumns - 1};

int32_t Key(int row, int column) { return row * kXlsMaxColumns + column; }

struct TAppState {
  std::optional<TXlsSheet> Sheet;  // the one open workbook's one sheet
  bool Saved = false;

  TXlsSheet& Open() {
    if (!Sheet) Fail("No workbook is open in the built-in spreadsheet.");
    return *Sheet;
  }
};

using TState = std::shared_ptr<TAppState>;

template <typename Change>
void ForEachCell(TAppState& app, const TXlsRange& r, Change change) {
  TXlsSheet& sheet = app.Open();
  const int64_t count = int64_t{r.LastRow - r.FirstRow + 1} * (r.LastColumn - r.FirstColumn + 1);
  if (count > kMaxRangeCells) Fail("The range is too large for the built-in spreadsheet.");
  for (int row = r.FirstRow; row <= r.LastRow; ++row)
    for (int column = r.FirstColumn; column <= r.LastColumn; ++column) {
      const int32_t key = Key(row, column);
      TXlsCell& cell = sheet.Cells[key];
      change(cell);
      if (cell.Text.empty() && cell.Format == TXlsCellFormat{}) sheet.Cells.erase(key);
    }
  app.Saved = false;
}

class TFont : public TAutomationObject {
 public:
  TFont(TState app, TXlsRange range) : app_(std::move(app)), range_(range) {}
  std::unique_ptr<TAutomationObject> Get(std::string_view member, const TAutomationArgs&) override {
    Unknown("Font", member);
  }
  void Put(std::string_view member, const TAutomationValue& value) override {
    if (Is(member, "FontStyle")) {
      const std::string& style = AsText(value, "FontStyle");
      bool bold = false, italic = false;
      if (Is(style, "Regular")) {
      } else if (Is(style, "Bold")) {
        bold = true;
      } else if (Is(style, "Italic")) {
        italic = true;
      } else if (Is(style, "Bold Italic")) {
        bold = italic = true;
      } else {
        Fail("FontStyle \"" + style + "\" is not known to the built-in spreadsheet.");
      }
      ForEachCell(*app_, range_, [&](TXlsCell& c) { c.Format.Bold = bold, c.Format.Italic = italic; });
    } else if (Is(member, "Bold")) {
      const bool bold = AsBool(value, "Bold");
      ForEachCell(*app_, range_, [&](TXlsCell& c) { c.Format.Bold = bold; });
    } else if (Is(member, "Size")) {
      const int32_t size = AsInt(value, "Size");
      if (size < 1 || size > 409) Fail("Size must lie between 1 and 409 points.");
      ForEachCell(*app_, range_, [&](TXlsCell& c) { c.Format.SizeTwips = size * 20; });
    } else {
      Unknown("Font", member);
    }
  }
  void Call(std::string_view member, const TAutomationArgs&) override { Unknown("Font", member); }

 private:
  TState app_;
  TXlsRange range_;
};

class TInterior : public TAutomationObject {
 public:
  TInterior(TState app, TXlsRange range) : app_(std::move(app)), range_(range) {}
  std::unique_ptr<TAutomationObject> Get(std::string_view member, const TAutomationArgs&) override {
    Unknown("Interior", member);
  }
  void Put(std::string_view member, const TAutomationValue& value) override {
    if (!Is(member, "ColorIndex")) Unknown("Interior", member);
    const int32_t index = AsInt(value, "ColorIndex");
    int fill = 0;
    if (index >= 1 && index <= 56) fill = index + kPaletteOffset;
    else if (index != kXlColorIndexNone && index != kXlColorIndexAutomatic)
      Fail("ColorIndex " + std::to_string(index) + " is outside the palette.");
    ForEachCell(*app_, range_, [&](TXlsCell& c) { c.Format.FillColour = fill; });
  }
  void Call(std::string_view member, const TAutomationArgs&) override { Unknown("Interior", member); }

 private:
  TState app_;
  TXlsRange range_;
};

class TRange : public TAutomationObject {
 public:
  TRange(TState app, TXlsRange range) : app_(std::move(app)), range_(range) {}

  std::unique_ptr<TAutomationObject> Get(std::string_view member, const TAutomationArgs& args) override {
    NoArgs(args, member);
    app_->Open();
    if (Is(member, "Font")) return std::make_unique<TFont>(app_, range_);
    if (Is(member, "Interior")) return std::make_unique<TInterior>(app_, range_);
    if (Is(member, "Columns")) return std::make_unique<TRange>(app_, range_);
    Unknown("Range", member);
  }

  void Put(std::string_view member, const TAutomationValue& value) override {
    if (Is(member, "Value")) {
      const std::string& text = AsText(value, "Value");
      ForEachCell(*app_, range_, [&](TXlsCell& c) { c.Text = text; });
    } else if (Is(member, "VerticalAlignment")) {
      TXlsVAlign align;
      switch (AsInt(value, "VerticalAlignment")) {
        case -4160: align = TXlsVAlign::Top; break;
        case -4108: align = TXlsVAlign::Center; break;
        case -4107: align = TXlsVAlign::Bottom; break;
        case -4130: align = TXlsVAlign::Justify; break;
        case -4117: align = TXlsVAlign::Distributed; break;
        default: Fail("VerticalAlignment: unknown alignment code.");
      }
      ForEachCell(*app_, range_, [&](TXlsCell& c) { c.Format.VAlign = align; });
    } else {
      Unknown("Range", member);
    }
  }

  void Call(std::string_view member, const TAutomationArgs& args) override {
    TXlsSheet& sheet = app_->Open();
    NoArgs(args, member);
    if (Is(member, "Select")) {
      sheet.Selection = range_;
    } else if (Is(member, "AutoFit")) {
      AutoFit(sheet);
    } else if (Is(member, "AutoFilter")) {
      // Without arguments the call switches the filter on or off.
      if (sheet.AutoFilter) sheet.AutoFilter.reset();
      else sheet.AutoFilter = range_;
    } else {
      Unknown("Range", member);
    }
    app_->Saved = false;
  }

 private:
  void AutoFit(TXlsSheet& sheet) {
    std::vector<double> widest(kXlsMaxColumns, -1);
    for (const auto& [key, cell] : sheet.Cells) {
      const int row = key / kXlsMaxColumns, column = key % kXlsMaxColumns;
      if (row < range_.FirstRow || row > range_.LastRow || column < range_.FirstColumn ||
          column > range_.LastColumn || cell.Text.empty())
        continue;
      widest[column] = std::max(widest[column], TextWidthInDigits(cell.Text, cell.Format));
    }
    for (int column = range_.FirstColumn; column <= range_.LastColumn; ++column) {
      if (widest[column] < 0) sheet.ColumnWidths.erase(column);
      else sheet.ColumnWidths[column] = ColumnWidthForDigits(widest[column]);
    }
  }

  TState app_;
  TXlsRange range_;
};

class TWindow : public TAutomationObject {
 public:
  explicit TWindow(TState app) : app_(std::move(app)) {}
  std::unique_ptr<TAutomationObject> Get(std::string_view member, const TAutomationArgs&) override {
    Unknown("Window", member);
  }
  void Put(std::string_view member, const TAutomationValue& value) override {
    if (!Is(member, "FreezePanes")) Unknown("Window", member);
    TXlsSheet& sheet = app_->Open();
    // Freezes above and left of the active cell.
    const bool freeze = AsBool(value, "FreezePanes");
    sheet.FrozenRows = freeze ? sheet.Selection.FirstRow : 0;
    sheet.FrozenColumns = freeze ? sheet.Selection.FirstColumn : 0;
    app_->Saved = false;
  }
  void Call(std::string_view member, const TAutomationArgs&) override { Unknown("Window", member); }

 private:
  TState app_;
};

class TWorkbook : public TAutomationObject {
 public:
  explicit TWorkbook(TState app) : app_(std::move(app)) {}
  std::unique_ptr<TAutomationObject> Get(std::string_view member, const TAutomationArgs&) override {
    Unknown("Workbook", member);
  }
  void Put(std::string_view member, const TAutomationValue& value) override {
    if (!Is(member, "Saved")) Unknown("Workbook", member);
    app_->Open();
    app_->Saved = AsBool(value, "Saved");
  }
  void Call(std::string_view member, const TAutomationArgs& args) override {
    if (!Is(member, "SaveAs")) Unknown("Workbook", member);
    const TXlsSheet& sheet = app_->Open();
    if (args.size() > 12) Fail("SaveAs takes at most twelve arguments.");
    if (!Given(args, 0)) Fail("SaveAs: the file name is missing.");
    const std::string& path = AsText(args[0], "SaveAs file name");
    if (path.empty()) Fail("SaveAs: the file name is empty.");
    if (!Given(args, 1) || AsInt(args[1], "SaveAs file format") != kXlExcel8)
      Fail("The built-in spreadsheet saves only Excel 97-2003 workbooks (file format 56).");
    for (size_t i : {2, 3})
      if (Given(args, i) && !AsText(args[i], "SaveAs password").empty())
        Fail("The built-in spreadsheet cannot protect a workbook with a password.");
    try {
      WriteXlsFile(path, sheet);
    } catch (const TXlsWriteError& error) {
      Fail(error.what());
    }
    app_->Saved = true;
  }

 private:
  TState app_;
};

class TWorkbooks : public TAutomationObject {
 public:
  explicit TWorkbooks(TState app) : app_(std::move(app)) {}
  std::unique_ptr<TAutomationObject> Get(std::string_view member, const TAutomationArgs&) override {
    Unknown("Workbooks", member);
  }
  void Put(std::string_view member, const TAutomationValue&) override { Unknown("Workbooks", member); }
  void Call(std::string_view member, const TAutomationArgs& args) override {
    NoArgs(args, member);
    if (Is(member, "Add")) {
      if (app_->Sheet) Fail("The built-in spreadsheet holds one workbook at a time.");
      app_->Sheet.emplace();
      app_->Saved = false;
    } else if (Is(member, "Close")) {
      app_->Sheet.reset();
    } else {
      Unknown("Workbooks", member);
    }
  }

 private:
  TState app_;
};

class TApplication : public TAutomationObject {
 public:
  TApplication() : app_(std::make_shared<TAppState>()) {}

  std::unique_ptr<TAutomationObject> Get(std::string_view member, const TAutomationArgs& args) override {
    if (Is(member, "Workbooks")) {
      NoArgs(args, member);
      return std::make_unique<TWorkbooks>(app_);
    }
    TXlsSheet& sheet = app_->Open();
    if (Is(member, "Cells")) {
      if (args.empty()) return std::make_unique<TRange>(app_, kWholeSheet);
      if (args.size() != 2) Fail("Cells takes a row and a column.");
      const int32_t row = AsInt(args[0], "Cells row"), column = AsInt(args[1], "Cells column");
      if (row < 1 || row > kXlsMaxRows || column < 1 || column > kXlsMaxColumns)
        Fail("Cells(" + std::to_string(row) + ", " + std::to_string(column) +
             ") lies outside an Excel 97-2003 sheet.");
      return std::make_unique<TRange>(app_, TXlsRange{row - 1, row - 1, column - 1, column - 1});
    }
    if (Is(member, "Range")) {
      if (args.size() != 1) Fail("Range takes one reference text.");
      const std::string& reference = AsText(args[0], "Range");
      const auto range = ParseA1(reference);
      if (!range) Fail("Range \"" + reference + "\" is not a cell reference.");
      return std::make_unique<TRange>(app_, *range);
    }
    NoArgs(args, member);
    if (Is(member, "Selection")) return std::make_unique<TRange>(app_, sheet.Selection);
    if (Is(member, "ActiveWindow")) return std::make_unique<TWindow>(app_);
    if (Is(member, "ActiveWorkbook")) return std::make_unique<TWorkbook>(app_);
    Unknown("Application", member);
  }

  void Put(std::string_view member, const TAutomationValue& value) override {
    // The window is never shown and no dialogue is ever asked: accept and ignore both.
    if (Is(member, "Visible") || Is(member, "DisplayAlerts")) {
      AsBool(value, member);
      return;
    }
    Unknown("Application", member);
  }

  void Call(std::string_view member, const TAutomationArgs&) override { Unknown("Application", member); }

 private:
  TState app_;
};

}  // namespace

std::unique_ptr<TAutomationObject> CreateBuiltInSpreadsheet() {
  return std::make_unique<TApplication>();
}

std::unique_ptr<TAutomationObject> TBuiltInSpreadsheetFactory::CreateOleObject(std::string_view progId) {
  if (!Is(progId, "Excel.Application")) return nullptr;
  return CreateBuiltInSpreadsheet();
}

}  // namespace pelorin
