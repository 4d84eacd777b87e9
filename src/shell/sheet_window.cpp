#include "shell/sheet_window.h"

#include <exception>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "shell/workbook_readback.h"
#include "platform/user_locale.h"

namespace pelorin {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QTableWidgetItem* ReadOnlyItem(const std::string& text) {
  auto* item = new QTableWidgetItem(Q(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

QString ColumnLetters(int column) {
  QString letters;
  for (++column; column > 0; column = (column - 1) / 26)
    letters.prepend(QChar('A' + (column - 1) % 26));
  return letters;
}

void RestoreOrder(QHeaderView* header) {
  for (int logical = 0; logical < header->count(); ++logical)
    if (header->visualIndex(logical) != logical) header->moveSection(header->visualIndex(logical), logical);
}

class TBusyCursor {
 public:
  TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TForm_SpreadSheet::TForm_SpreadSheet(TAutomationFactory& factory, TMessageBox& messages,
                                     TDocumentOpener& opener, std::string startupDir,
                                     QWidget* parent)
    : QDialog(parent),
      factory_(factory),
      messages_(messages),
      opener_(opener),
      startupDir_(std::move(startupDir)) {
  setWindowTitle("Pelorin");
  setFont(QFont("Tahoma", 8));
  resize(kClientWidth, kClientHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  ToolBar1 = new QToolBar(this);
  ToolBar1->setFixedHeight(49);
  BitBtn1 = new QPushButton("&Exit", ToolBar1);
  BitBtn1->setFixedWidth(136);
  BitBtn_ExpExcel = new QPushButton("Export to Excel", ToolBar1);
  BitBtn_ExpExcel->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  BitBtn_ExpExcel->setFixedWidth(137);
  ToolBar1->addWidget(BitBtn1);
  ToolBar1->addWidget(BitBtn_ExpExcel);
  layout->addWidget(ToolBar1);

  area_ = new QStackedWidget(this);
  StringGrid_ShipList = new QTableWidget(0, kShipGridColumns, area_);
  StringGrid_ShipList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid_ShipList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  StringGrid_ShipList->setShowGrid(true);
  StringGrid_ShipList->verticalHeader()->setDefaultSectionSize(20);
  StringGrid_ShipList->verticalHeader()->setMinimumSectionSize(8);
  StringGrid_ShipList->verticalHeader()->setSectionsMovable(true);
  StringGrid_ShipList->horizontalHeader()->setSectionsMovable(true);
  StringGrid_ShipList->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  area_->addWidget(StringGrid_ShipList);

  OleContainer1 = new QWidget(area_);
  auto* workbookLayout = new QVBoxLayout(OleContainer1);
  auto* workbookBar = new QHBoxLayout;
  WorkbookPath = new QLabel(OleContainer1);
  WorkbookPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
  BitBtn_OpenWorkbook = new QPushButton("Open in spreadsheet application", OleContainer1);
  BitBtn_OpenWorkbook->setEnabled(false);
  workbookBar->addWidget(WorkbookPath, 1);
  workbookBar->addWidget(BitBtn_OpenWorkbook);
  workbookLayout->addLayout(workbookBar);
  WorkbookCells = new QTableWidget(OleContainer1);
  WorkbookCells->setEditTriggers(QAbstractItemView::NoEditTriggers);
  WorkbookCells->verticalHeader()->setDefaultSectionSize(20);
  workbookLayout->addWidget(WorkbookCells, 1);
  area_->addWidget(OleContainer1);
  layout->addWidget(area_, 1);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setFixedHeight(19);
  layout->addWidget(StatusBar1);

  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn_ExpExcel, &QPushButton::clicked, this, [this] {
    TBusyCursor busy;
    BitBtn_ExpExcelClick();
  });
  connect(BitBtn_OpenWorkbook, &QPushButton::clicked, this, [this] {
    if (!shownPath_.empty()) opener_.Open(shownPath_);
  });
}

TForm_SpreadSheet::~TForm_SpreadSheet() = default;

void TForm_SpreadSheet::ShowShipList(const TShipList& ships) {
  ships_ = &ships;
  exec();
  ships_ = nullptr;
}

void TForm_SpreadSheet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm_SpreadSheet::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TForm_SpreadSheet::FormShow() {
  area_->setCurrentWidget(StringGrid_ShipList);
  StringGrid_ShipList->clearContents();
  RestoreOrder(StringGrid_ShipList->horizontalHeader());
  RestoreOrder(StringGrid_ShipList->verticalHeader());
  // The header row is the grid's header; one empty row stays below the vessels.
  StringGrid_ShipList->setRowCount(1);
  for (int c = 0; c < kShipGridColumns; ++c) {
    const auto& column = ShipGridColumns[static_cast<size_t>(c)];
    StringGrid_ShipList->setColumnWidth(c, column.Width);
    StringGrid_ShipList->setHorizontalHeaderItem(c, new QTableWidgetItem(column.Header));
  }
  FillShipGrid();
  TBusyCursor busy;
  BitBtn_ExpExcelClick();
}

void TForm_SpreadSheet::FillShipGrid() {
  if (ships_ == nullptr) return;
  StringGrid_ShipList->setUpdatesEnabled(false);
  int row = 0;
  for (const TStatic& ship : *ships_) {
    StringGrid_ShipList->setRowCount(StringGrid_ShipList->rowCount() + 1);
    const TShipGridRow cells = ShipGridRow(ship);
    for (int c = 0; c < kShipGridColumns; ++c)
      StringGrid_ShipList->setItem(row, c, ReadOnlyItem(cells[static_cast<size_t>(c)]));
    ++row;
  }
  StringGrid_ShipList->setUpdatesEnabled(true);
}

void TForm_SpreadSheet::FormClose() {
  WorkbookCells->clear();
  WorkbookCells->setRowCount(0);
  WorkbookCells->setColumnCount(0);
  shownPath_.clear();
  BitBtn_OpenWorkbook->setEnabled(false);
}

TShipGrid TForm_SpreadSheet::GridCells() const {
  const QHeaderView* columns = StringGrid_ShipList->horizontalHeader();
  const QHeaderView* rows = StringGrid_ShipList->verticalHeader();
  TShipGrid grid;
  grid.reserve(static_cast<size_t>(StringGrid_ShipList->rowCount()) + 1);
  auto text = [](const QTableWidgetItem* item) {
    return item ? item->text().toStdString() : std::string();
  };
  TShipGridRow header;
  for (int v = 0; v < columns->count(); ++v)
    header.push_back(text(StringGrid_ShipList->horizontalHeaderItem(columns->logicalIndex(v))));
  grid.push_back(std::move(header));
  for (int vr = 0; vr < rows->count(); ++vr) {
    const int r = rows->logicalIndex(vr);
    TShipGridRow cells;
    for (int v = 0; v < columns->count(); ++v)
      cells.push_back(text(StringGrid_ShipList->item(r, columns->logicalIndex(v))));
    grid.push_back(std::move(cells));
  }
  return grid;
}

void TForm_SpreadSheet::BitBtn_ExpExcelClick() {
  const TShipListExportEnv env{factory_, *this, messages_, startupDir_, GetUserDefaultLCID()};
  // Runs from inside the window's event loop, which no exception may cross.
  try {
    lastExport_ = ::pelorin::BitBtn_ExpExcelClick(GridCells(), env);
  } catch (const std::exception& error) {
    lastExport_ = TExportOutcome::Failed;
    messages_.Show(TMessageKind::Error, "Error", error.what());
  }
}

void TForm_SpreadSheet::HideToolBar() { ToolBar1->hide(); }

void TForm_SpreadSheet::HideExportButton() {
  // A tool bar shows its widgets through actions.
  for (QAction* action : ToolBar1->actions())
    if (ToolBar1->widgetForAction(action) == BitBtn_ExpExcel) action->setVisible(false);
}

void TForm_SpreadSheet::ShowWorkbookArea() { area_->setCurrentWidget(OleContainer1); }

bool TForm_SpreadSheet::ShowSavedWorkbook(const std::string& path) {
  FormClose();
  WorkbookPath->setText(Q(path));
  const auto cells = ReadWorkbookCells(path);
  if (!cells) return false;
  int columns = 0;
  for (const auto& row : *cells) columns = std::max(columns, static_cast<int>(row.size()));
  WorkbookCells->setUpdatesEnabled(false);
  WorkbookCells->setRowCount(static_cast<int>(cells->size()));
  WorkbookCells->setColumnCount(columns);
  for (int c = 0; c < columns; ++c)
    WorkbookCells->setHorizontalHeaderItem(c, new QTableWidgetItem(ColumnLetters(c)));
  for (int r = 0; r < static_cast<int>(cells->size()); ++r) {
    const auto& row = (*cells)[static_cast<size_t>(r)];
    for (int c = 0; c < static_cast<int>(row.size()); ++c)
      if (!row[static_cast<size_t>(c)].empty())
        WorkbookCells->setItem(r, c, ReadOnlyItem(row[static_cast<size_t>(c)]));
  }
  WorkbookCells->resizeColumnsToContents();
  WorkbookCells->setUpdatesEnabled(true);
  shownPath_ = path;
  BitBtn_OpenWorkbook->setEnabled(true);
  return true;
}

}  // namespace pelorin
