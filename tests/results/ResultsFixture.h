#pragma once

#include "formats/ExchangeTables.h"
#include "support/TableFixtures.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velmora::testing {

// Records of the nine tables a results run reads, by table name; a table without records is
// written empty.
using ExchangeRecords = std::map<std::string, std::vector<Record>>;

// A fresh temporary folder with a document folder holding a Sauce service document, and an
// empty exchange folder.
struct RunFolders {
    RunFolders();
    TempDir temp;
    std::filesystem::path sauce = temp / "sauce";
    std::filesystem::path exchange = temp / "HTEMP";
    std::filesystem::path document = sauce / "export.xml";
    std::filesystem::path result = sauce / "ResultadoHoradiaexport.xml";
};

// Writes all nine tables into folder.
void writeExchange(const std::filesystem::path& folder, const ExchangeRecords& records);

// The nine tables in the order a results run opens them.
const std::vector<std::string>& resultTableNames();

// The new SALIDAS of a result document as lines, one per element holding others, its child
// elements in order: a salida as DATO=text, a listasal as [seq], anything else as <name>.
//   SALIDAS: <ERROR>, [EMP_1]
//   ERROR: CN_ERROR=0, TE_ERROR=Servicio finalizado Correctamente, REGISTROS RECUPERADOS=1
//   EMP_1: X_EMPLEADO=E1, F_TOMAPOS=F1, [TRAMO_1]
//   EMP_1/TRAMO_1: X_ACTIVIDAD=..., N_DIASEMANA=..., ...
std::vector<std::string> salidasOutline(const std::filesystem::path& resultDocument);

// The outline line of a lesson list with its six values in salida order.
std::string lessonLine(const std::string& path, const std::vector<std::string>& sixValues);

// The names of the files in a folder, to show that a failed run wrote nothing.
std::vector<std::string> fileNames(const std::filesystem::path& folder);

} // namespace velmora::testing
