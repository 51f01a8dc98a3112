#include "ListFigure.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

#include "db/TmySQLDatabase.h"
#include "db/TmySQLQuery.h"
#include "platform/ui/QueryTableModel.h"
#include "register/Statements.h"

namespace brevanto::bench {

namespace {

constexpr const char* kDatabase = "benchlist";
constexpr const char* kSearch = "a";
// Rows a grid shows before anyone scrolls.
constexpr int kFirstScreen = 40;

std::string testDb() { return BREVANTO_SOURCE_DIR "/scripts/test-db"; }

// A private server under the data folder with the office tables, loaded with the documents.
class ListServer {
  public:
    explicit ListServer(const std::filesystem::path& folder) : folder_(folder) {
        run("start");
        socket_ = (folder_ / "mysqld.sock").string();
        client(
            "insert into cadprocessos (CodProcesso, cliente) select 3000000 + seq, "
            "concat(elt(1 + seq % 8, 'Ana', 'Bruno', 'Carla', 'Davi', 'Elisa', 'Fabio', 'Gil', "
            "'Helena'), ' ', elt(1 + seq % 5, 'Souza', 'Lima', 'Costa', 'Pereira', 'Rocha'), ' ', "
            "seq) from seq_1_to_20000;\n"
            "insert into cadprocessospdf (codprocesso, caminho, tipo) select 3000001 + seq % "
            "20000, concat('/srv/brevanto/pdf//', lpad(seq, 14, '0'), '.pdf'), "
            "elt(1 + seq % 8, 'CO', 'BO', 'PR', 'CT', 'RG', 'CE', 'DU', 'OU') from "
            "seq_1_to_100000;");
    }
    ~ListServer() { run("stop"); }
    ListServer(const ListServer&) = delete;
    ListServer& operator=(const ListServer&) = delete;

    const std::string& socket() const { return socket_; }

    // The command-line client printing a statement's rows, as a script would read them.
    double timeClient(const std::string& statement) const {
        const int devnull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        const double seconds =
            timeProgram({"mariadb", "--no-defaults", "--protocol=socket", "--socket=" + socket_,
                         "-uroot", "-p4061385", "--batch", kDatabase, "-e", statement},
                        devnull);
        ::close(devnull);
        return seconds;
    }

  private:
    void run(const char* verb) const {
        const std::string command = "BREVANTO_DB_DIR='" + folder_.string() +
                                    "' BREVANTO_DB_NAME=" + kDatabase + " '" + testDb() + "' " +
                                    verb + " >/dev/null";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("cannot " + std::string(verb) + " the benchmark's server");
    }

    void client(const std::string& sql) const {
        const std::string command = "mariadb --no-defaults --protocol=socket --socket='" + socket_ +
                                    "' -uroot -p4061385 " + kDatabase + " -e \"" + sql + "\"";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("cannot load the benchmark's documents");
    }

    std::filesystem::path folder_;
    std::string socket_;
};

}  // namespace

int runListChild(const std::string& socket, const std::string& database, const std::string& what) {
    ::setenv("MYSQL_UNIX_PORT", socket.c_str(), 1);
    const double start = nowSeconds();
    TmySQLDatabase connection;
    connection.SetDatabaseName(database);
    connection.Open();
    // The main window's list: its declared fields, then what the grid reads for its first screen.
    TmySQLQuery qryPDF(connection, "qryPDF");
    qryPDF.DeclareField({"codpdf", ftAutoInc, 0, {}});
    qryPDF.DeclareField({"codprocesso", ftInteger, 0, {}});
    qryPDF.DeclareField({"caminho", ftString, 200, {}});
    qryPDF.DeclareField({"cliente", ftString, 80, {}});
    TQueryTableModel dsPDF(qryPDF);
    qryPDF.SQL().Add(what == "search" ? Statements(connection).FiledDocumentsByClient(kSearch)
                                      : Statements::AllFiledDocuments());
    qryPDF.Open();
    std::size_t characters = 0;
    for (int row = 0; row < kFirstScreen && row < dsPDF.rowCount(); ++row)
        for (int column = 0; column < dsPDF.columnCount(); ++column)
            characters += dsPDF.data(dsPDF.index(row, column)).toString().size();
    const double seconds = nowSeconds() - start;
    if (qryPDF.RecordCount() < 50000 || characters == 0)
        throw std::runtime_error("the list came back short");
    std::printf("%.6f\n", seconds);
    return 0;
}

void runListFigure(const BenchSettings& settings) {
    const ListServer server(settings.dataFolder / "list100k-db");
    const std::string search =
        "select cadprocessospdf.*, cadprocessos.cliente as cliente from cadprocessospdf left "
        "join cadprocessos on cadprocessos.CodProcesso=cadprocessospdf.codprocesso where "
        "cadprocessos.cliente like '%" +
        std::string(kSearch) + "%'";
    const struct {
        const char* figure;
        const char* what;
        std::string statement;
    } figures[] = {
        {"list100k", "open", Statements::AllFiledDocuments()},
        {"list100k-search", "search", search},
    };
    for (const auto& f : figures) {
        std::vector<double> ours, floor;
        for (int round = 0; round <= settings.rounds; ++round) {
            const double seconds =
                std::stod(runSelf({"--child", "list100k", server.socket(), kDatabase, f.what}));
            const double floorSeconds = server.timeClient(f.statement);
            if (round == 0) continue;  // warms the server's caches
            ours.push_back(seconds);
            floor.push_back(floorSeconds);
        }
        printFigure(f.figure, median(ours), median(floor));
    }
}

}  // namespace brevanto::bench
