#include "support/TestSupport.h"

#include "services/DbfReader.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::testing {

TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate =
            std::filesystem::temp_directory_path() / ("velmora-test-" + std::to_string(random()));
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
        throw std::runtime_error("cannot read " + file.string());
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
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

ForeignLock::ForeignLock(const std::filesystem::path& file) {
    fd_ = ::open(file.c_str(), O_RDONLY);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        throw std::runtime_error("cannot lock " + file.string());
    }
}

ForeignLock::~ForeignLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string shellQuoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}

CliOutcome runCli(const TempDir& folder, const std::vector<std::string>& arguments,
                  const std::string& environment) {
    std::string command = environment + " " + shellQuoted(VELMORA_CLI_PATH);
    for (const std::string& argument : arguments) {
        command += " " + shellQuoted(argument);
    }
    const auto out = folder / "cli.out";
    const auto err = folder / "cli.err";
    command += " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
}

namespace {

std::string runAndCapture(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "(cannot run)";
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = ::pclose(pipe);
    return status == 0 ? output : output + "(exit status " + std::to_string(status) + ")";
}

} // namespace

std::string readWithDbfread(const std::filesystem::path& file) {
    const std::string script =
        "import sys, dbfread\n"
        "out = sys.stdout.buffer\n"
        "for record in dbfread.DBF(sys.argv[1]):\n"
        "    out.write(('|'.join(repr(v) for v in record.values()) + '\\n').encode('utf-8'))\n";
    return runAndCapture("/usr/bin/python3 -c \"" + script + "\" " + shellQuoted(file.string()));
}

std::filesystem::path exampleDocument() {
    return std::filesystem::path(VELMORA_SOURCE_DIR) / "examples" / "instituto.xml";
}

} // namespace velmora::testing
