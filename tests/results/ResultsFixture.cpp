#include "results/ResultsFixture.h"

#include "services/xml/XmlDocument.h"
#include "support/XmlTree.h"

#include <algorithm>
#include <stdexcept>

namespace velmora::testing {

namespace {

FixtureLayout layoutOf(const std::string& name) {
    for (const TableLayout& layout : convertedTables()) {
        if (layout.name == name) {
            return layout;
        }
    }
    if (name == tables::SOLUC::layout.name) {
        return tables::SOLUC::layout;
    }
    throw std::invalid_argument("no table " + name);
}

std::string label(const XmlNode& element) {
    return element.name() == "listasal" ? attributeOf(element, "seq") : element.name();
}

void outline(const XmlNode& element, const std::string& path, std::vector<std::string>& lines) {
    std::string line = path + ":";
    std::vector<std::pair<XmlNode, std::string>> containers;
    const char* separator = " ";
    for (const XmlNode& child : selectNodes(element, "*")) {
        if (child.name() == "salida") {
            line += separator + attributeOf(child, "dato") + "=" + textOf(child);
        } else if (child.name() == "listasal") {
            line += separator + ("[" + label(child) + "]");
            containers.emplace_back(child, label(child));
        } else {
            line += separator + ("<" + child.name() + ">");
            containers.emplace_back(child, child.name());
        }
        separator = ", ";
    }
    lines.push_back(line);
    for (const auto& [child, name] : containers) {
        outline(child, path == "SALIDAS" ? name : path + "/" + name, lines);
    }
}

} // namespace

RunFolders::RunFolders() {
    std::filesystem::create_directory(sauce);
    std::filesystem::create_directory(exchange);
    writeFile(document, sauceXml({{"MATERIAS", {{"M1", "Matemáticas", "MAT", "C1", "90"}}},
                                  {"PROFESORES", {{"E1", "01/09/2020", "Ana Ruiz", "ARUIZ"}}}}));
}

void writeExchange(const std::filesystem::path& folder, const ExchangeRecords& records) {
    for (const std::string& name : resultTableNames()) {
        const auto found = records.find(name);
        writeTable(folder, layoutOf(name),
                   found == records.end() ? std::vector<Record>{} : found->second);
    }
    for (const auto& [name, ignored] : records) {
        layoutOf(name); // a misspelt table name in a fixture must not pass unnoticed
    }
}

const std::vector<std::string>& resultTableNames() {
    static const std::vector<std::string> names{"SOLUC",     "GRUPOST",    "CURSOST",
                                                "PROFT",     "AULAT",      "ASIGNOMT",
                                                "ASIGNOMT2", "DIASHORAST", "ASIGT"};
    return names;
}

std::vector<std::string> salidasOutline(const std::filesystem::path& resultDocument) {
    const XmlDocument document = XmlDocument::load(resultDocument);
    const auto salidas = selectNodes(document.root(), "SALIDAS");
    if (salidas.size() != 1) {
        throw std::runtime_error("the result has " + std::to_string(salidas.size()) +
                                 " SALIDAS elements");
    }
    std::vector<std::string> lines;
    outline(salidas.front(), "SALIDAS", lines);
    return lines;
}

std::string lessonLine(const std::string& path, const std::vector<std::string>& sixValues) {
    static const char* const datos[] = {"X_ACTIVIDAD", "N_DIASEMANA",  "X_TRAMO",
                                        "X_DEPCENTRO", "X_MATERIAOMC", "X_UNIDAD"};
    std::string line = path + ":";
    for (std::size_t i = 0; i < 6; ++i) {
        line += std::string(i == 0 ? " " : ", ") + datos[i] + "=" + sixValues.at(i);
    }
    return line;
}

std::vector<std::string> fileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace velmora::testing
