#pragma once
// The spreadsheet application built into the program, standing in for an outside one that
// this platform lacks: it answers the automation calls of the ship-list export, keeps the
// workbook in memory and saves it as an Excel 97-2003 file.
#include <memory>
#include <string_view>

#include "platform/spreadsheet_automation.h"

namespace pelorin {

// The application object ("Excel.Application").
std::unique_ptr<TAutomationObject> CreateBuiltInSpreadsheet();

// Creates the built-in application for "Excel.Application" (any letter case), nothing else.
class TBuiltInSpreadsheetFactory : public TAutomationFactory {
 public:
  std::unique_ptr<TAutomationObject> CreateOleObject(std::string_view progId) override;
};

}  // namespace pelorin
