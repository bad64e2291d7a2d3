// Fills a central database (tools/central-schema.sql applied) with generated examinations, for
// measuring the history's look-up and the sending at a realistic size:
//   central_fill "host=… dbname=pedalyx user=…" [COUNT=100000] [CUSTOMERS=20000] [SHOPS=12]
// A login that may insert is enough. Then times one customer's look-up as the station does it.
#include "tools/central_fill.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "pedalyx/report/central_database.h"
#include "pedalyx/report/central_history.h"

namespace {

long argumentOr(int argc, char** argv, int index, long fallback) {
  if (argc <= index) return fallback;
  const long value = std::strtol(argv[index], nullptr, 10);
  return value > 0 ? value : fallback;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CONNECTION-STRING [COUNT] [CUSTOMERS] [SHOPS]\n", argv[0]);
    return 2;
  }
  const long count = argumentOr(argc, argv, 2, 100000);
  const long customers = argumentOr(argc, argv, 3, 20000);
  const long shops = argumentOr(argc, argv, 4, 12);
  std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(argv[1]), PQfinish);
  if (PQstatus(connection.get()) != CONNECTION_OK) {
    std::fprintf(stderr, "%s", PQerrorMessage(connection.get()));
    return 1;
  }
  auto start = std::chrono::steady_clock::now();
  const std::string problem = central_fill::fill(connection.get(), 0, count, customers, shops);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s", problem.c_str());
    return 1;
  }
  PQclear(PQexec(connection.get(), "ANALYZE examinations, examination_files"));
  std::printf("%ld examinations of %ld customers in %ld shops: %.1f s\n", count, customers, shops,
              millisecondsSince(start) / 1000);

  // The look-up as the history asks it, connection included, for a few customers.
  const CentralConfig config = parseCentralConnectionString(argv[1], nullptr);
  for (long customer : {customers / 3, customers / 2, customers - 1}) {
    start = std::chrono::steady_clock::now();
    const CentralVisits visits = lookUpCentralVisits(config, central_fill::customerPhone(customer),
                                                     central_fill::customerId(customer));
    std::printf("customer %s: %zu visits in %.1f ms%s%s\n",
                central_fill::customerPhone(customer).c_str(), visits.visits.size(),
                millisecondsSince(start), visits.problem.empty() ? "" : ", ",
                visits.problem.c_str());
  }
  return 0;
}
