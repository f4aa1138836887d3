// Any bytes through the XML service alone, many times faster than through the runs: loading,
// the service document's check and sections, and saving. A document that loaded must save, and
// what was saved must load again with the same sections: the results are written that way.

#include "ScratchFolder.h"

#include "formats/ServiceDocument.h"
#include "services/Error.h"
#include "services/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace velmora;

std::vector<std::string> sectionValues(const XmlDocument& document) {
    std::vector<std::string> values;
    for (const char* section : {"JORNADAS", "MATERIAS", "PROFESORES"}) {
        for (const SauceRecord& record : sectionRecords(document, section)) {
            for (std::size_t p = 0; p < record.valueCount(); ++p) {
                values.push_back(record.rawValue(p) + "|" + record.dato(p));
            }
        }
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string xml(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> before;
    try {
        XmlDocument document = XmlDocument::parse(xml, "fuzz.xml");
        requireServiceDocument(document, "fuzz.xml");
        before = sectionValues(document);
        document.root().text();
        document.save(fuzz::scratchFolder() / "saved.xml");
    } catch (const Error&) {
        return 0;
    }
    // Saved by the program itself: any error here is a finding.
    const XmlDocument again = XmlDocument::load(fuzz::scratchFolder() / "saved.xml");
    if (sectionValues(again) != before) {
        std::abort();
    }
    return 0;
}
