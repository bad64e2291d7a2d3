// One examination as the examination store keeps it: who was examined where and when, every
// figure the station computed or the operator typed, the files of the visit with their
// checksums, and the rows of the CSV tables the visit wrote. Texts are UTF-8 exactly as typed;
// nothing is converted to Big5 or cut.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {

constexpr const char* kExaminationStoreFile = "examinations.sqlite";

// The customer's data; an empty text or number is "not given".
struct CustomerData {
  std::string phone, email, birthYear, birthMonth, gender, id;
  std::optional<double> age, height, weight;  // years, cm, kg
};

// One figure. Groups name what the figure belongs to ("size", "arch", "zones", "sway_eyes_open",
// ...); new groups and names need no change of the store.
struct ExaminationFigure {
  std::string group, name;
  std::string side;  // "left", "right", "both" or "" for the examination as a whole
  std::optional<double> value;
  std::string text;    // a word the station showed (foot type) or a typed text
  std::string unit;    // "mm", "%", "deg", "mm2", "mm/s", "s", "cm", "kg" or ""
  std::string origin;  // how it was obtained: "measured", "typed", "balance", "computed", ...
};

enum class FileState { kUnchecked, kIntact, kMissing, kChanged };

struct ExaminationFile {
  std::string path;    // relative to the working directory, e.g. "FOOT_PRESSURE/0987_….png"
  std::string role;    // "report_pdf", "pressure_png", "balance_low", "insole_left_bmp", ...
  std::string sha256;  // when the record took the file
  int64_t bytes = 0;
  FileState state = FileState::kUnchecked;  // set by a reader that checked the file
};

// A file of the visit whose checksum the store will take.
inline ExaminationFile fileToKeep(const std::string& path, const std::string& role) {
  ExaminationFile file;
  file.path = path;
  file.role = role;
  return file;
}

// A row of one of the station's CSV tables, known by the checksum of its bytes (without the
// line feed that leads or ends it), so it can be found again even among rows that read alike.
struct TableRowLink {
  std::string table;  // "Database_2080.csv" or "Sway.csv"
  std::string sha256;
  std::string key;  // the row's stamp or record name, for a person reading the store
};

enum class OutboxState { kPending, kSent, kRefused };

// What one step of the examination adds: the export, a "Save", a sway or a walking recording.
struct ExaminationPart {
  CustomerData customer;   // given fields replace the stored ones
  std::string reportName;  // "<phone>_YYYYMMDDhhmm" of the export, when this part has one
  // The groups these figures belong to replace the record's figures of the same groups whole,
  // so a recording made again leaves no figure of the first one behind.
  std::vector<ExaminationFigure> figures;
  std::vector<ExaminationFile> files;  // path and role; the store takes their checksums
  std::vector<TableRowLink> rows;
  // Not empty for a recording whose rows were rewritten in place (a walking recording after a
  // correction): the record's links to rows of the same tables whose key begins with it go
  // first, since those rows are no longer in the table.
  std::string replacedRowKeyPrefix;
};

struct ExaminationRecord {
  std::string recordId;   // random UUID
  int64_t takenAt = 0;    // calendar seconds of the first part
  std::string localTime;  // "YYYY-MM-DD hh:mm:ss" on the station's clock at that moment
  std::string shop, station;
  std::string origin = "station";  // "import" for a record made from the files of old
  std::string reportName;
  CustomerData customer;
  std::vector<ExaminationFigure> figures;
  std::vector<ExaminationFile> files;
  std::vector<TableRowLink> rows;
  // Read back: advances with every completion; the central sender sends a revision once.
  int64_t revision = 1;
  // Open while the examination may still add parts; a closed record never changes again, and
  // only closed records go to the central database. Records that parts do not make (the
  // import, generators) are closed when written.
  bool open = false;
  OutboxState outbox = OutboxState::kPending;
  std::string outboxReason;  // the server's words when it refused the record
};

// A row of the old tables that the import could not read: imported as nothing, kept with its
// line and why, so that the history can list it.
struct ImportProblem {
  std::string source;  // "Database_2080.csv" or "Sway.csv"
  int line = 0;
  std::string reason;  // in English, for the console
  // For a database row, its RowProblem (as a number) and detail (a field count, a column).
  int problem = 0;
  int detail = 0;
};

// The record as its first part makes it.
ExaminationRecord recordOfPart(const ExaminationPart& part);

// The figure of that group, name and side, or null.
const ExaminationFigure* findFigure(const ExaminationRecord& record, const std::string& group,
                                    const std::string& name, const std::string& side = "");

const char* outboxStateName(OutboxState state);
const char* fileStateName(FileState state);

}  // namespace report
