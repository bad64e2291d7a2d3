// The central database at a chain's size: a server of its own (fsync on) filled with 100 000
// generated examinations of 20 000 customers, then
// - one customer's history look-up with a connection and login of its own, and on a
//   CentralReader's kept connection against the floor of one round trip ("SELECT 1");
// - a backlog of 1 000 records (two files, 180 KB a record) sent by the sender, against the
//   same records sent plainly, one blocking statement at a time in one transaction each.
// The program ends with both ratios. PEDALYX_CENTRAL_RECORDS changes the 100 000.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <map>

#include "pedalyx/report/central_connection.h"
#include "pedalyx/report/central_history.h"
#include "pedalyx/report/central_sender.h"
#include "tests/report/central/memory_outbox.h"
#include "tools/central_fill.h"

using namespace central_test;

namespace {

constexpr long kCustomers = 20000;
constexpr int kBacklog = 1000;
CentralConfig station;
long customerCursor = 0;

std::vector<unsigned char> noise(size_t size, uint32_t seed) {
  std::vector<unsigned char> bytes(size);
  for (unsigned char& byte : bytes) {
    seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
    byte = static_cast<unsigned char>(seed);
  }
  return bytes;
}

// A backlog of new records: a 60 KB pressure picture and a 120 KB report each.
std::vector<OutgoingExamination> backlog() {
  static const OutgoingFile picture = fileOf("pressure.png", noise(60000, 1));
  static const OutgoingFile report = fileOf("report.pdf", noise(120000, 2));
  static std::atomic<int> round{0};
  const int shop = 100 + round++;
  std::vector<OutgoingExamination> records;
  for (int n = 0; n < kBacklog; ++n) {
    OutgoingExamination record = examinationOf(recordIdOf(shop, n), "bench", std::to_string(n));
    record.figuresJson = "{\"left_length_mm\": 251.5, \"right_length_mm\": 250.0}";
    record.files = {picture, report};
    records.push_back(std::move(record));
  }
  return records;
}

void BM_LookUpWithConnection(benchmark::State& state) {
  for (auto _ : state) {
    const long customer = customerCursor++ % kCustomers;
    const CentralVisits visits = lookUpCentralVisits(station, central_fill::customerPhone(customer),
                                                     central_fill::customerId(customer));
    if (visits.visits.empty()) state.SkipWithError(("no visits: " + visits.problem).c_str());
  }
}

void BM_LookUpOnOpenConnection(benchmark::State& state) {
  CentralReader reader(station);
  for (auto _ : state) {
    const long customer = customerCursor++ % kCustomers;
    const CentralVisits visits =
        reader.visits(central_fill::customerPhone(customer), central_fill::customerId(customer));
    if (visits.visits.empty()) state.SkipWithError(("no visits: " + visits.problem).c_str());
  }
}

void BM_RoundTripFloor(benchmark::State& state) {
  std::string problem;
  auto connection = CentralConnection::open(station, {}, nullptr, &problem);
  if (!connection) return state.SkipWithError(problem.c_str());
  for (auto _ : state) benchmark::DoNotOptimize(connection->execute({"SELECT 1", {}}));
}

void BM_Backlog1000(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    MemoryOutbox outbox;
    for (OutgoingExamination& record : backlog()) outbox.add(std::move(record));
    state.ResumeTiming();
    CentralSenderOptions options;
    options.idleCheckMs = 5;
    CentralSender sender(station, outbox, options);
    if (!waitUntil([&] { return sender.state().pending == 0; }, 600))
      state.SkipWithError(sender.state().lastError.c_str());
  }
}

// The same records through plain blocking libpq: BEGIN, each INSERT, COMMIT, one at a time.
void BM_Backlog1000Plain(benchmark::State& state) {
  std::string conninfo;
  for (const auto& [keyword, value] : station.parameters) conninfo += keyword + "=" + value + " ";
  std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(conninfo.c_str()), PQfinish);
  auto run = [&](const char* sql, std::vector<CentralParameter> parameters) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const CentralParameter& parameter : parameters) {
      values.push_back(parameter.data);
      lengths.push_back(parameter.size);
      formats.push_back(parameter.binary);
    }
    PQclear(PQexecParams(connection.get(), sql, static_cast<int>(values.size()), nullptr,
                         values.data(), lengths.data(), formats.data(), 0));
  };
  for (auto _ : state) {
    state.PauseTiming();
    const std::vector<OutgoingExamination> records = backlog();
    state.ResumeTiming();
    for (const OutgoingExamination& r : records) {
      run("BEGIN", {});
      run("INSERT INTO examinations (record_id, shop, station, taken_at, customer_phone, "
          "customer_id, figures) VALUES ($1::uuid, $2, $3, $4::timestamptz, $5, $6, $7::jsonb) "
          "ON CONFLICT (record_id) DO NOTHING",
          {CentralParameter::text(r.recordId), CentralParameter::text(r.shop),
           CentralParameter::text(r.station), CentralParameter::text(r.takenAtUtc),
           CentralParameter::text(r.customerPhone), CentralParameter::text(r.customerId),
           CentralParameter::text(r.figuresJson)});
      for (const OutgoingFile& f : r.files)
        run("INSERT INTO examination_files (record_id, name, sha256, bytes) VALUES ($1::uuid, "
            "$2, $3, $4::bytea) ON CONFLICT (record_id, name) DO NOTHING",
            {CentralParameter::text(r.recordId), CentralParameter::text(f.name),
             CentralParameter::text(f.sha256), CentralParameter::bytes(f.bytes)});
      run("COMMIT", {});
    }
  }
}

BENCHMARK(BM_LookUpWithConnection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookUpOnOpenConnection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTripFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Backlog1000)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_Backlog1000Plain)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
        times_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    ratio("BM_LookUpOnOpenConnection", "BM_RoundTripFloor");
    ratio("BM_Backlog1000", "BM_Backlog1000Plain");
  }

 private:
  void ratio(const std::string& ours, const std::string& floor) {
    if (times_.count(ours) && times_.count(floor) && times_[floor] > 0)
      std::printf("%s / %s: %.2f\n", ours.c_str(), floor.c_str(), times_[ours] / times_[floor]);
  }
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const char* records = std::getenv("PEDALYX_CENTRAL_RECORDS");
  const long count = records ? std::max(1L, std::atol(records)) : 100000;
  TestPostgres& server = sharedTestPostgres(true);
  station = configFor("shop_bench");
  const std::string admin = "host=" + server.folder() + " port=" + std::to_string(server.port()) +
                            " user=postgres dbname=pedalyx";
  std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(admin.c_str()), PQfinish);
  const auto start = std::chrono::steady_clock::now();
  const std::string problem = central_fill::fill(connection.get(), 0, count, kCustomers, 12);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s", problem.c_str());
    return 1;
  }
  PQclear(PQexec(connection.get(), "VACUUM ANALYZE examinations, examination_files"));
  std::printf("%ld examinations generated in %.1f s\n", count,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
