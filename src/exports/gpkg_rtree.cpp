#include "exports/gpkg_rtree.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>

#include "exports/export_file.h"

namespace pelorin {

namespace {

// SQLite's R-tree holds at most 51 cells a node; a cell is a 64-bit id and four floats.
constexpr size_t kCells = 51;
constexpr size_t kCellBytes = 24;
constexpr size_t kNodeBytes = 4 + kCells * kCellBytes;

using TCell = TRtreeCell;

// One level of the tree: its cells in node order, and where each node's cells begin.
struct TLevel {
  std::vector<TCell> Cells;
  std::vector<size_t> Starts;
  size_t Nodes() const { return Starts.size(); }
  std::span<const TCell> Node(size_t n) const {
    const size_t end = n + 1 < Starts.size() ? Starts[n + 1] : Cells.size();
    return {Cells.data() + Starts[n], end - Starts[n]};
  }
};

// As SQLite stores a point's bounds: floats that never shrink the box.
float Down(double v) {
  float f = static_cast<float>(v);
  return f > v ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}
float Up(double v) {
  float f = static_cast<float>(v);
  return f < v ? std::nextafter(f, std::numeric_limits<float>::infinity()) : f;
}

TCell Union(int64_t id, std::span<const TCell> cells) {
  TCell b = cells.front();
  b.Id = id;
  for (const TCell& c : cells) {
    b.MinX = std::min(b.MinX, c.MinX);
    b.MaxX = std::max(b.MaxX, c.MaxX);
    b.MinY = std::min(b.MinY, c.MinY);
    b.MaxY = std::max(b.MaxY, c.MaxY);
  }
  return b;
}

// Sort-tile-recursive, in place: slices by x, within each by y, then nodes of kCells.
TLevel Pack(std::vector<TCell>&& cells) {
  const auto cx = [](const TCell& c) { return c.MinX + c.MaxX; };
  const auto cy = [](const TCell& c) { return c.MinY + c.MaxY; };
  std::sort(cells.begin(), cells.end(), [&](const TCell& a, const TCell& b) { return cx(a) < cx(b); });
  const size_t nodes = (cells.size() + kCells - 1) / kCells;
  const size_t slices = static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(nodes))));
  const size_t perSlice = ((nodes + slices - 1) / slices) * kCells;
  TLevel level;
  for (size_t s = 0; s < cells.size(); s += perSlice) {
    const size_t end = std::min(cells.size(), s + perSlice);
    std::sort(cells.begin() + static_cast<std::ptrdiff_t>(s), cells.begin() + static_cast<std::ptrdiff_t>(end),
              [&](const TCell& a, const TCell& b) { return cy(a) < cy(b); });
    for (size_t n = s; n < end; n += kCells) level.Starts.push_back(n);
  }
  level.Cells = std::move(cells);
  return level;
}

void PutBigEndian(unsigned char* at, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, value >>= 8) at[i] = static_cast<unsigned char>(value);
}

void NodeBlob(std::span<const TCell> cells, int depth, std::vector<unsigned char>& blob) {
  blob.assign(kNodeBytes, 0);
  PutBigEndian(blob.data(), static_cast<uint64_t>(depth), 2);  // read in the root only
  PutBigEndian(blob.data() + 2, cells.size(), 2);
  unsigned char* at = blob.data() + 4;
  for (const TCell& c : cells) {
    PutBigEndian(at, static_cast<uint64_t>(c.Id), 8);
    const float values[] = {c.MinX, c.MaxX, c.MinY, c.MaxY};
    for (int k = 0; k < 4; ++k) PutBigEndian(at + 8 + 4 * k, std::bit_cast<uint32_t>(values[k]), 4);
    at += kCellBytes;
  }
}

struct TDatabase {
  sqlite3* Db = nullptr;
  std::string Target;
  ~TDatabase() {
    if (Db != nullptr) sqlite3_close(Db);
  }
  [[noreturn]] void Fail() const {
    throw TExportError("cannot write " + Target + ": spatial index: " + (Db ? sqlite3_errmsg(Db) : "no database"));
  }
  void Exec(const std::string& sql) const {
    if (sqlite3_exec(Db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
  }
};

struct TStatement {
  sqlite3_stmt* S = nullptr;
  TStatement(const TDatabase& db, const std::string& sql) {
    if (sqlite3_prepare_v2(db.Db, sql.c_str(), -1, &S, nullptr) != SQLITE_OK) db.Fail();
  }
  ~TStatement() { sqlite3_finalize(S); }
  void Step(const TDatabase& db) {
    if (sqlite3_step(S) != SQLITE_DONE) db.Fail();
    sqlite3_reset(S);
  }
};

// The extension's DDL, as GDAL writes it for the layers it indexes itself.
std::string RtreeSchema(const std::string& t, const std::string& c) {
  const std::string r = "\"rtree_" + t + "_" + c + "\"";
  const std::string T = "\"" + t + "\"", G = "\"" + c + "\"";
  const std::string values = " VALUES (NEW.\"fid\",ST_MinX(NEW." + G + "), ST_MaxX(NEW." + G + "),ST_MinY(NEW." + G +
                             "), ST_MaxY(NEW." + G + "))";
  const std::string trigger = "CREATE TRIGGER \"rtree_" + t + "_" + c;
  return "CREATE VIRTUAL TABLE " + r + " USING rtree(id, minx, maxx, miny, maxy);" +
         "INSERT INTO gpkg_extensions (table_name, column_name, extension_name, definition, scope) VALUES ('" + t +
         "', '" + c + "', 'gpkg_rtree_index', 'http://www.geopackage.org/spec120/#extension_rtree', 'write-only');" +
         trigger + "_insert\" AFTER INSERT ON " + T + " WHEN (new." + G + " NOT NULL AND NOT ST_IsEmpty(NEW." + G +
         ")) BEGIN INSERT OR REPLACE INTO " + r + values + "; END;" +
         trigger + "_update1\" AFTER UPDATE OF " + G + " ON " + T + " WHEN OLD.\"fid\" = NEW.\"fid\" AND (NEW." + G +
         " NOTNULL AND NOT ST_IsEmpty(NEW." + G + ")) BEGIN INSERT OR REPLACE INTO " + r + values + "; END;" +
         trigger + "_update2\" AFTER UPDATE OF " + G + " ON " + T + " WHEN OLD.\"fid\" = NEW.\"fid\" AND (NEW." + G +
         " ISNULL OR ST_IsEmpty(NEW." + G + ")) BEGIN DELETE FROM " + r + " WHERE id = OLD.\"fid\"; END;" +
         trigger + "_update3\" AFTER UPDATE ON " + T + " WHEN OLD.\"fid\" != NEW.\"fid\" AND (NEW." + G +
         " NOTNULL AND NOT ST_IsEmpty(NEW." + G + ")) BEGIN DELETE FROM " + r + " WHERE id = OLD.\"fid\"; INSERT OR REPLACE INTO " +
         r + values + "; END;" +
         trigger + "_update4\" AFTER UPDATE ON " + T + " WHEN OLD.\"fid\" != NEW.\"fid\" AND (NEW." + G + " ISNULL OR ST_IsEmpty(NEW." +
         G + ")) BEGIN DELETE FROM " + r + " WHERE id IN (OLD.\"fid\", NEW.\"fid\"); END;" +
         trigger + "_delete\" AFTER DELETE ON " + T + " WHEN old." + G + " NOT NULL BEGIN DELETE FROM " + r +
         " WHERE id = OLD.\"fid\"; END;";
}

}  // namespace

TRtreeCell PointCell(int64_t id, double x, double y) { return {id, Down(x), Up(x), Down(y), Up(y)}; }

void WritePointRtree(const std::string& path, const std::string& target, const std::string& table,
                     const std::string& column, std::vector<TRtreeCell>& cells, TExportProgress& progress) {
  TDatabase db;
  db.Target = target;
  if (sqlite3_open_v2(path.c_str(), &db.Db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) db.Fail();
  // The file is a staged copy that is thrown away on any failure: no need to sync.
  db.Exec("PRAGMA synchronous=OFF");
  db.Exec("BEGIN");
  db.Exec(RtreeSchema(table, column));
  const std::string r = "\"rtree_" + table + "_" + column;
  if (!cells.empty()) {
    int64_t maxId = 0;
    for (const TCell& c : cells) maxId = std::max(maxId, c.Id);
    std::vector<TLevel> levels;
    levels.push_back(Pack(std::move(cells)));
    while (levels.back().Nodes() > 1) {
      std::vector<TCell> boxes;
      for (size_t n = 0; n < levels.back().Nodes(); ++n)
        boxes.push_back(Union(static_cast<int64_t>(n), levels.back().Node(n)));  // numbered below
      levels.push_back(Pack(std::move(boxes)));
    }
    // Node numbers: the root is 1, the rest follow level by level from the top.
    std::vector<int64_t> firstNumber(levels.size());
    int64_t next = 1;
    for (size_t l = levels.size(); l-- > 0;) {
      firstNumber[l] = next;
      next += static_cast<int64_t>(levels[l].Nodes());
    }
    for (size_t l = 1; l < levels.size(); ++l)
      for (TCell& c : levels[l].Cells) c.Id += firstNumber[l - 1];

    db.Exec("DELETE FROM " + r + "_node\"");
    TStatement node(db, "INSERT INTO " + r + "_node\" (nodeno, data) VALUES (?, ?)");
    TStatement parent(db, "INSERT INTO " + r + "_parent\" (nodeno, parentnode) VALUES (?, ?)");
    const int depth = static_cast<int>(levels.size()) - 1;
    std::vector<unsigned char> blob;
    std::vector<int32_t> leafOf(static_cast<size_t>(maxId) + 1, 0);
    for (size_t l = 0; l < levels.size(); ++l)
      for (size_t n = 0; n < levels[l].Nodes(); ++n) {
        const int64_t number = firstNumber[l] + static_cast<int64_t>(n);
        NodeBlob(levels[l].Node(n), l + 1 == levels.size() ? depth : 0, blob);
        sqlite3_bind_int64(node.S, 1, number);
        sqlite3_bind_blob(node.S, 2, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
        node.Step(db);
        if ((number & 1023) == 0) Advance(progress, 0);
        for (const TCell& c : levels[l].Node(n)) {
          if (l == 0) {
            leafOf[static_cast<size_t>(c.Id)] = static_cast<int32_t>(number);
            continue;
          }
          sqlite3_bind_int64(parent.S, 1, c.Id);
          sqlite3_bind_int64(parent.S, 2, number);
          parent.Step(db);
        }
      }
    levels.clear();
    // In fid order, so that the table only grows at its end.
    TStatement rowid(db, "INSERT INTO " + r + "_rowid\" (rowid, nodeno) VALUES (?, ?)");
    for (size_t id = 0; id < leafOf.size(); ++id) {
      if (leafOf[id] == 0) continue;
      sqlite3_bind_int64(rowid.S, 1, static_cast<int64_t>(id));
      sqlite3_bind_int64(rowid.S, 2, leafOf[id]);
      rowid.Step(db);
      if ((id & 65535) == 0) Advance(progress, 0);
    }
  }
  db.Exec("COMMIT");
}

}  // namespace pelorin
