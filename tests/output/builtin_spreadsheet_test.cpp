#include "output/builtin_spreadsheet.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace pelorin {
namespace {

using TArgs = TAutomationArgs;

struct TBuiltIn : ::testing::Test {
  std::unique_ptr<TAutomationObject> app = CreateBuiltInSpreadsheet();
  test::TTempDir dir;
  void Open() { app->Get("Workbooks")->Call("Add"); }
  void SaveAs(TArgs args) { app->Get("ActiveWorkbook")->Call("SaveAs", args); }
};

TEST(BuiltInFactory, OnlyTheSpreadsheetId) {
  TBuiltInSpreadsheetFactory factory;
  EXPECT_NE(factory.CreateOleObject("Excel.Application"), nullptr);
  EXPECT_NE(factory.CreateOleObject("excel.application"), nullptr);  // ids ignore case
  EXPECT_EQ(factory.CreateOleObject("Word.Application"), nullptr);
  EXPECT_EQ(factory.CreateOleObject(""), nullptr);
  EXPECT_EQ(factory.CreateOleObject("Excel.Application.8"), nullptr);
}

TEST_F(TBuiltIn, NothingWithoutAWorkbook) {
  EXPECT_THROW(app->Get("Cells", {1, 1}), TAutomationError);
  EXPECT_THROW(app->Get("ActiveWorkbook"), TAutomationError);
  Open();
  EXPECT_THROW(app->Get("Workbooks")->Call("Add"), TAutomationError);  // one at a time
  app->Get("Workbooks")->Call("Close");
  EXPECT_THROW(app->Get("Selection"), TAutomationError);
}

TEST_F(TBuiltIn, CellsOutsideTheSheet) {
  Open();
  for (auto [r, c] : {std::pair{0, 1}, {1, 0}, {65537, 1}, {1, 257}, {-1, -1}})
    EXPECT_THROW(app->Get("Cells", {r, c}), TAutomationError) << r << "," << c;
  EXPECT_NO_THROW(app->Get("Cells", {65536, 256}));
  EXPECT_NO_THROW(app->Get("Cells", {int16_t{1}, int16_t{1}}));
  EXPECT_THROW(app->Get("Cells", {1}), TAutomationError);
  EXPECT_THROW(app->Get("Cells", {std::string("1"), 1}), TAutomationError);
}

TEST_F(TBuiltIn, RangeReferences) {
  Open();
  for (const char* good : {"A2:N2", "a3:n3", "$A$2:$N$2", "IV65536", "N2:A2", "A1"})
    EXPECT_NO_THROW(app->Get("Range", {std::string(good)})) << good;
  for (const char* bad : {"", "A0", "A65537", "IW1", "AAAA1", "1A", "A1:", ":A1", "A1:B", "A 1",
                          "A1:B2:C3", "A-1"})
    EXPECT_THROW(app->Get("Range", {std::string(bad)}), TAutomationError) << bad;
  EXPECT_THROW(app->Get("Range", {1}), TAutomationError);
}

TEST_F(TBuiltIn, RefusedValues) {
  Open();
  auto cell = [&] { return app->Get("Cells", {1, 1}); };
  EXPECT_THROW(cell()->Put("Value", 5), TAutomationError);
  EXPECT_THROW(cell()->Get("Font")->Put("FontStyle", std::string("Heavy")), TAutomationError);
  EXPECT_THROW(cell()->Get("Font")->Put("Size", 0), TAutomationError);
  EXPECT_THROW(cell()->Get("Font")->Put("Size", 410), TAutomationError);
  EXPECT_THROW(cell()->Get("Interior")->Put("ColorIndex", 57), TAutomationError);
  EXPECT_THROW(cell()->Get("Interior")->Put("ColorIndex", 0), TAutomationError);
  EXPECT_NO_THROW(cell()->Get("Interior")->Put("ColorIndex", -4142));
  EXPECT_THROW(cell()->Put("VerticalAlignment", int16_t{1}), TAutomationError);
  EXPECT_THROW(cell()->Put("NoSuchMember", true), TAutomationError);
  EXPECT_THROW(cell()->Call("AutoFilter", {1, std::string("=A")}), TAutomationError);
  // Expanding a whole sheet cell by cell is refused, not attempted.
  EXPECT_THROW(app->Get("Cells")->Put("Value", std::string("x")), TAutomationError);
}

TEST_F(TBuiltIn, SaveAsArguments) {
  Open();
  const std::string path = (dir.Path() / "w.xls").string();
  EXPECT_THROW(SaveAs({}), TAutomationError);
  EXPECT_THROW(SaveAs({NotGiven, 56}), TAutomationError);
  EXPECT_THROW(SaveAs({std::string(), 56}), TAutomationError);
  EXPECT_THROW(SaveAs({path}), TAutomationError);  // the default format is not this one
  EXPECT_THROW(SaveAs({path, 51}), TAutomationError);
  EXPECT_THROW(SaveAs({path, 56, std::string("secret")}), TAutomationError);
  EXPECT_THROW(SaveAs(TArgs(13, NotGiven)), TAutomationError);
  EXPECT_FALSE(std::filesystem::exists(path));
  SaveAs({path, int16_t{56}, std::string(), NotGiven, NotGiven, NotGiven, false, NotGiven,
          NotGiven, 1031});
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace pelorin
