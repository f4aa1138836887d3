#include "support/TestSupport.h"

#include "services/dbf/DbfReader.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace velmora::testing {

TempDir::TempDir(const std::filesystem::path& parent) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = parent / ("velmora-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + pathToUtf8(file));
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        throw std::runtime_error("cannot write " + pathToUtf8(file));
    }
}

namespace {

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string sauceXml(const std::vector<SauceSection>& sections) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO>\n<SALIDAS>\n";
    for (const auto& [name, records] : sections) {
        xml += "<listasal seq=\"" + escape(name) + "\">\n";
        for (const auto& record : records) {
            xml += "<listasal>";
            for (const auto& value : record) {
                if (value.rfind("dato=", 0) == 0 && value.find('|') != std::string::npos) {
                    const auto bar = value.find('|');
                    xml += "<salida dato=\"" + escape(value.substr(5, bar - 5)) + "\">" +
                           escape(value.substr(bar + 1)) + "</salida>";
                } else {
                    xml += "<salida>" + escape(value) + "</salida>";
                }
            }
            xml += "</listasal>\n";
        }
        xml += "</listasal>\n";
    }
    xml += "</SALIDAS>\n</SERVICIO>\n";
    return xml;
}

std::string smallSchoolXml(const std::vector<SauceRecordValues>& teachers,
                           const std::vector<SauceRecordValues>& rooms) {
    std::vector<SauceRecordValues> teacherRecords;
    for (const SauceRecordValues& t : teachers) {
        teacherRecords.push_back({t.at(0), "01/09/2020", t.at(1), t.at(2)});
    }
    return sauceXml({
        {"MATERIAS", {{"M1", "Matemáticas", "MATES", "C1", "120"}}},
        {"PROFESORES", teacherRecords},
        {"AULAS", rooms},
        {"CURSOS", {{"C1", "1º ESO", "", "ESO", "1"}}},
        {"GRUPOS", {{"G1", "1 ESO A", "C1"}}},
        {"JORNADAS", {{"M1", "Mañana", "01/09/2026"}}},
        {"INTERVALOS",
         {{"dato=CODIGO_SAUCE|T1", "dato=NOMBRE|Primera", "dato=INICIO|08:30", "dato=FIN|09:25",
           "dato=ORDEN|1", "dato=CLAVE_JORNADA|M1"}}},
    });
}

std::vector<Row> readRows(const std::filesystem::path& tableFile) {
    DbfReader table =
        DbfReader::open(tableFile, LockedFile::Lock::Shared, tableFile.stem().string());
    std::vector<Row> rows;
    while (const auto record = table.next()) {
        Row row;
        for (std::size_t column = 0; column < table.header().columns.size(); ++column) {
            row[table.header().columns[column].name] = record->text(column);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

// The programs built beside the tests, as absolute paths: a child process may start in another
// folder (on Windows, on another drive) than this one.
std::filesystem::path builtProgram(const char* path) {
    return std::filesystem::absolute(pathFromUtf8(path));
}

std::string lockHolderName(ForeignLockKind kind) {
    switch (kind) {
    case ForeignLockKind::FlockShared:
        return "flock-shared";
    case ForeignLockKind::FlockExclusive:
        return "flock-exclusive";
    case ForeignLockKind::Record:
        return "record";
    case ForeignLockKind::RecordShared:
        return "record-shared";
    case ForeignLockKind::ShareNone:
        return "share-none";
    case ForeignLockKind::ShareRead:
        return "share-read";
    case ForeignLockKind::LockFileShared:
        return "lockfile-shared";
    case ForeignLockKind::LockFileExclusive:
        return "lockfile-exclusive";
    }
    return "";
}

} // namespace

ForeignLockKind heldByAnotherProgram() {
#ifdef _WIN32
    return ForeignLockKind::ShareNone;
#else
    return ForeignLockKind::FlockExclusive;
#endif
}

ForeignLockKind tableServiceLock(bool exclusive) {
#ifdef _WIN32
    return exclusive ? ForeignLockKind::ShareNone : ForeignLockKind::ShareRead;
#else
    return exclusive ? ForeignLockKind::FlockExclusive : ForeignLockKind::FlockShared;
#endif
}

ForeignLock::ForeignLock(const std::filesystem::path& file, ForeignLockKind kind) {
    ChildOptions options;
    options.pipeInput = true;
    options.pipeOutput = true;
    holder_ = std::make_unique<ChildProcess>(
        builtProgram(VELMORA_LOCK_HOLDER_PATH),
        std::vector<std::string>{lockHolderName(kind), pathToUtf8(file)}, options);
    if (holder_->readLine() != "held") {
        throw std::runtime_error("cannot lock " + pathToUtf8(file) + " (" + lockHolderName(kind) +
                                 "): the lock holder ended with status " +
                                 std::to_string(holder_->wait()));
    }
}

// The holder lets the lock go when its input closes; waiting for it means the lock is gone
// when the object is.
ForeignLock::~ForeignLock() = default;

bool anotherProcessCanLock(const std::filesystem::path& file, ForeignLockKind kind) {
    ChildProcess holder(builtProgram(VELMORA_LOCK_HOLDER_PATH),
                        {"--try", lockHolderName(kind), pathToUtf8(file)});
    return holder.wait() == 0;
}

namespace {

CliOutcome runProgram(const std::filesystem::path& program, const std::filesystem::path& folder,
                      const std::vector<std::string>& arguments, const Environment& environment) {
    ChildOptions options;
    options.environment = environment;
    options.workingFolder = folder;
    options.outputFile = folder / "cli.out";
    options.errorFile = folder / "cli.err";
    const int status = ChildProcess(program, arguments, options).wait();
    return {status, readFile(options.outputFile), readFile(options.errorFile)};
}

} // namespace

CliOutcome runCli(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                  const Environment& environment) {
    return runProgram(builtProgram(VELMORA_CLI_PATH), folder, arguments, environment);
}

CliOutcome runStoppingCli(const std::filesystem::path& folder,
                          const std::vector<std::string>& arguments,
                          const Environment& environment) {
    return runProgram(builtProgram(VELMORA_STOPPING_CLI_PATH), folder, arguments, environment);
}

#ifndef _WIN32
Environment withFaultLibrary(Environment environment) {
    environment.emplace_back("LD_PRELOAD", VELMORA_FAULT_SHIM_PATH);
    // Under the sanitizers the library comes before their own runtime, which they accept only
    // when told to.
    environment.emplace_back("ASAN_OPTIONS", "verify_asan_link_order=0");
    return environment;
}
#endif

CliOutcome runCli(const TempDir& folder, const std::vector<std::string>& arguments,
                  const Environment& environment) {
    return runCli(folder.path(), arguments, environment);
}

std::string readWithDbfread(const std::filesystem::path& file) {
    const std::string script =
        "import sys, dbfread\n"
        "out = sys.stdout.buffer\n"
        "for record in dbfread.DBF(sys.argv[1]):\n"
        "    out.write(('|'.join(repr(v) for v in record.values()) + '\\n').encode('utf-8'))\n";
    const TempDir output;
    ChildOptions options;
    options.outputFile = output / "records.txt";
    options.errorFile = output / "errors.txt";
    // Debian's own python3: python3-dbfread is installed for it, not for another one on PATH.
    const int status =
        ChildProcess("/usr/bin/python3", {"-c", script, pathToUtf8(file)}, options).wait();
    const std::string records = readFile(options.outputFile);
    return status == 0 ? records
                       : records + "(exit status " + std::to_string(status) + ") " +
                             readFile(options.errorFile);
}

std::filesystem::path exampleDocument() {
    return std::filesystem::path(VELMORA_SOURCE_DIR) / "examples" / "instituto.xml";
}

} // namespace velmora::testing
