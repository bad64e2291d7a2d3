// A PostgreSQL server of the test's own, from Debian's packages: initdb into a new folder in
// /tmp, the server listening on 127.0.0.1 on a free port with its socket in that folder, the
// database "pedalyx" with tools/central-schema.sql applied by psql as an administrator would.
// Run as root (as CI does), the server runs as the unprivileged "postgres" (or "nobody"), since
// initdb refuses root. The server is our child and dies with the test program even when that is
// killed; the destructor stops it and removes the folder.
#pragma once
#include <fcntl.h>
#include <glob.h>
#include <grp.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace central_test {

// The newest installed server's programs, "/usr/lib/postgresql/15/bin".
inline std::string serverPrograms() {
  glob_t found{};
  std::string newest;
  int newestVersion = 0;
  if (glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0) {
    for (size_t i = 0; i < found.gl_pathc; ++i) {
      const std::string path = found.gl_pathv[i];
      const int version = std::atoi(path.c_str() + std::string("/usr/lib/postgresql/").size());
      if (version > newestVersion) {
        newestVersion = version;
        newest = path.substr(0, path.size() - std::string("/initdb").size());
      }
    }
  }
  globfree(&found);
  return newest;
}

inline int freeLocalPort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  close(probe);
  return port;
}

class TestPostgres {
 public:
  // `durable` keeps the server's fsync on, for measuring; tests go without.
  explicit TestPostgres(bool durable = false) {
    sweepAbandonedFolders();
    for (const char* variable : {"PGHOST", "PGHOSTADDR", "PGPORT", "PGUSER", "PGDATABASE",
                                 "PGPASSWORD", "PGSERVICE", "PGOPTIONS", "PGCONNECT_TIMEOUT"})
      unsetenv(variable);
    programs_ = serverPrograms();
    if (programs_.empty()) throw std::runtime_error("no PostgreSQL server installed");
    char pattern[] = "/tmp/pedalyx-pg-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("no temporary folder");
    folder_ = pattern;
    if (geteuid() == 0) {
      const passwd* user = getpwnam("postgres");
      if (!user) user = getpwnam("nobody");
      if (!user) throw std::runtime_error("no unprivileged user to run the server");
      uid_ = user->pw_uid;
      gid_ = user->pw_gid;
      if (chown(folder_.c_str(), uid_, gid_) != 0) throw std::runtime_error("chown failed");
    }
    port_ = freeLocalPort();
    runAsServer({programs_ + "/initdb", "-D", folder_ + "/data", "-U", "postgres", "-E", "UTF8",
                 "--locale=C", "--auth-local=trust", "--auth-host=scram-sha-256", "--no-sync"},
                "initdb");
    std::ofstream(folder_ + "/data/postgresql.conf", std::ios::app)
        << "listen_addresses = '127.0.0.1'\nport = " << port_ << "\nunix_socket_directories = '"
        << folder_ << "'\nfsync = " << (durable ? "on" : "off") << "\n"
        << "max_connections = 30\nlog_min_messages = warning\n";
    start();
    admin("CREATE DATABASE pedalyx", "postgres");
    applySchema();
    // The shops' passwords, where libpq looks for them.
    passwordFile_ = folder_ + "/passwords";
    std::ofstream(passwordFile_) << "";
    chmod(passwordFile_.c_str(), 0600);
    setenv("PGPASSFILE", passwordFile_.c_str(), 1);
  }

  ~TestPostgres() {
    stop(false);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    unsetenv("PGPASSFILE");
  }
  TestPostgres(const TestPostgres&) = delete;
  TestPostgres& operator=(const TestPostgres&) = delete;

  // Starts the server and waits until it takes connections.
  void start() {
    const std::string log = folder_ + "/server.log";
    server_ = spawn({programs_ + "/postgres", "-D", folder_ + "/data"}, log, true, true);
    const std::string probe = "host=127.0.0.1 port=" + std::to_string(port_) + " dbname=postgres";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (PQping(probe.c_str()) != PQPING_OK) {
      int status = 0;
      if (waitpid(server_, &status, WNOHANG) == server_ ||
          std::chrono::steady_clock::now() > deadline) {
        server_ = -1;
        throw std::runtime_error("the server did not start:\n" + readFile(log));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  // Stops the server: `fast` rolls back open transactions and ends sessions cleanly; otherwise
  // every process quits at once and the next start recovers from the log, as after a crash.
  void stop(bool fast = true) {
    if (server_ <= 0) return;
    kill(server_, fast ? SIGINT : SIGQUIT);
    int status = 0;
    waitpid(server_, &status, 0);
    server_ = -1;
  }

  bool running() const { return server_ > 0; }
  pid_t serverProcess() const { return server_; }
  int port() const { return port_; }
  const std::string& folder() const { return folder_; }

  // A shop's login in the station role, its password in the password file.
  void addShopLogin(const std::string& login) {
    if (!logins_.insert(login).second) return;
    const std::string password = "pw-" + login;
    admin("CREATE ROLE " + login + " LOGIN PASSWORD '" + password + "' IN ROLE pedalyx_station");
    std::ofstream(passwordFile_, std::ios::app)
        << "127.0.0.1:" << port_ << ":pedalyx:" << login << ":" << password << "\n";
  }

  // What a station's central_database.txt holds for that login.
  std::string shopConnectionString(const std::string& login) const {
    return "host=127.0.0.1 port=" + std::to_string(port_) + " dbname=pedalyx user=" + login;
  }

  // Runs SQL as the administrator; the first value of the first row ("" without rows).
  std::string admin(const std::string& sql, const std::string& database = "pedalyx") const {
    const std::string conninfo =
        "host=" + folder_ + " port=" + std::to_string(port_) + " user=postgres dbname=" + database;
    std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(conninfo.c_str()),
                                                            PQfinish);
    if (PQstatus(connection.get()) != CONNECTION_OK)
      throw std::runtime_error(PQerrorMessage(connection.get()));
    std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection.get(), sql.c_str()),
                                                         PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
      throw std::runtime_error(sql + ": " + PQresultErrorMessage(result.get()));
    return PQntuples(result.get()) > 0 ? PQgetvalue(result.get(), 0, 0) : "";
  }

  // Applies the schema script with psql, as the README tells an administrator to.
  void applySchema() const {
    const std::string log = folder_ + "/psql.log";
    const pid_t psql =
        spawn({programs_ + "/psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", folder_, "-p",
               std::to_string(port_), "-U", "postgres", "-d", "pedalyx", "-f",
               std::string(SOURCE_DIR) + "/tools/central-schema.sql"},
              log, false, false);
    int status = 0;
    waitpid(psql, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      throw std::runtime_error("the schema failed:\n" + readFile(log));
  }

 private:
  static std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Folders of test programs that were killed, once their server is gone with them (a folder
  // being set up has no server yet, hence the age).
  static void sweepAbandonedFolders() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp", ignored)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("pedalyx-pg-", 0) != 0) continue;
      const auto age = std::filesystem::file_time_type::clock::now() -
                       std::filesystem::last_write_time(entry.path(), ignored);
      if (age > std::chrono::minutes(10) &&
          !std::filesystem::exists(entry.path() / "data" / "postmaster.pid", ignored))
        std::filesystem::remove_all(entry.path(), ignored);
    }
  }

  // Starts a program, as the server's user when `asServerUser`, with its output in `log`;
  // `tied` makes it die with this process.
  pid_t spawn(const std::vector<std::string>& arguments, const std::string& log, bool tied,
              bool asServerUser) const {
    const uid_t uid = asServerUser ? uid_ : 0;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int output = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output < 0 || (uid && fchown(output, uid_, gid_) != 0))
      throw std::runtime_error("cannot write " + log);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
      const int input = open("/dev/null", O_RDONLY);
      dup2(input, 0);
      dup2(output, 1);
      dup2(output, 2);
      if (uid && (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid) != 0)) _exit(126);
      // After the change of user, which clears the parent-death signal.
      if (tied && (prctl(PR_SET_PDEATHSIG, SIGQUIT) != 0 || getppid() != parent)) _exit(126);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(output);
    if (child < 0) throw std::runtime_error("fork failed");
    return child;
  }

  void runAsServer(const std::vector<std::string>& arguments, const std::string& what) const {
    const std::string log = folder_ + "/" + what + ".log";
    int status = 0;
    waitpid(spawn(arguments, log, false, true), &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      throw std::runtime_error(what + " failed:\n" + readFile(log));
  }

  std::string programs_, folder_, passwordFile_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  int port_ = 0;
  pid_t server_ = -1;
  std::set<std::string> logins_;
};

// One server for all tests of a program, started on first use (whose `durable` holds), stopped
// at its exit.
inline TestPostgres& sharedTestPostgres(bool durable = false) {
  static TestPostgres server(durable);
  return server;
}

}  // namespace central_test
