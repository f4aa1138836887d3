#include "support/ExchangeSets.h"

#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"

#include <stdexcept>

namespace velmora::testing {

namespace {

std::string school(const std::string& teacher) {
    return sauceXml({{"PROFESORES", {{"E1", "01/09/2020", teacher, teacher}}},
                     {"AULAS", {{"A1", "Aula", "A1"}}},
                     {"JORNADAS", {{"M1", "Mañana", "-"}}},
                     {"INTERVALOS",
                      {{"dato=CODIGO_SAUCE|T1", "dato=NOMBRE|Primera", "dato=INICIO|08:00",
                        "dato=FIN|08:55", "dato=ORDEN|1", "dato=CLAVE_JORNADA|M1"}}}});
}

std::string described(const std::filesystem::directory_entry& entry) {
    const auto status = entry.symlink_status();
    if (std::filesystem::is_symlink(status)) {
        return "(link to " + pathToUtf8(std::filesystem::read_symlink(entry.path())) + ")";
    }
    if (std::filesystem::is_directory(status)) {
        return "(folder)";
    }
    if (std::filesystem::is_regular_file(status)) {
        return readFile(entry.path());
    }
    return "(other)";
}

} // namespace

std::map<std::string, std::string> treeSnapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> entries;
    const std::filesystem::path base = folder.parent_path();
    entries[pathToUtf8(folder.filename())] = described(std::filesystem::directory_entry(folder));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        entries[pathToUtf8(std::filesystem::relative(entry.path(), base))] = described(entry);
    }
    return entries;
}

std::map<std::string, std::string> folderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[pathToUtf8(entry.path().filename())] =
            entry.is_regular_file() ? readFile(entry.path()) : "(folder)";
    }
    return files;
}

ExchangeSets::ExchangeSets() {
    writeFile(oldDocument, school("ANTIGUO"));
    writeFile(newDocument, school("NUEVO"));
    for (const auto& [document, set] : {std::pair{oldDocument, oldSet}, {newDocument, newSet}}) {
        std::filesystem::create_directory(set);
        const CliOutcome made =
            runCli(root, {"convert", pathToUtf8(document), "--exchange", pathToUtf8(set)});
        if (made.status != 0) {
            throw std::runtime_error("cannot convert " + pathToUtf8(document) + ": " + made.err);
        }
    }
    std::filesystem::rename(oldSet / "PROFT.DBF", oldSet / "proft.dbf");
    writeFile(oldSet / "ASIGNOMT.MDX", "index");
    addSoluc(newSet);
}

std::filesystem::path ExchangeSets::freshExchange(const std::string& name) const {
    const std::filesystem::path exchange = root / name;
    std::filesystem::copy(oldSet, exchange);
    return exchange;
}

void ExchangeSets::addSoluc(const std::filesystem::path& exchange) const {
    using tables::SOLUC;
    // Lessons of the new school's one teacher, on days and slots its tables hold.
    writeTable(exchange, SOLUC::layout,
               {{{"PROF", "NUEVO"}, {"ASIG", "X"}, {"DIA", "1"}, {"HORA", "1"}, {"MARCO", "1"}},
                {{"PROF", "NUEVO"}, {"ASIG", "Y"}, {"DIA", "2"}, {"HORA", "1"}, {"MARCO", "1"}}});
}

} // namespace velmora::testing
