// Any bytes through the XML service alone, many times faster than through the runs: loading,
// the sections as the tree gives them and as the conversion streams them, and saving. A document
// that loaded must save, and what was saved must load again with the same sections: the results are
// written that way.

#include "ScratchFolder.h"

#include "formats/ServiceDocument.h"
#include "formats/ServiceSections.h"
#include "services/Error.h"
#include "services/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace velmora;

const char* const kSections[] = {"JORNADAS", "INTERVALOS", "MATERIAS", "PROFESORES"};

void addValues(const SauceRecord& record, std::vector<std::string>& values) {
    values.push_back("#" + std::to_string(record.position()));
    for (std::size_t p = 0; p < record.valueCount(); ++p) {
        values.push_back(record.rawValue(p) + (record.hasDato(p) ? "|" + record.dato(p) : ""));
    }
}

std::vector<std::string> sectionValues(const XmlDocument& document) {
    std::vector<std::string> values;
    for (const char* section : kSections) {
        for (const SauceRecord& record : sectionRecords(document, section)) {
            addValues(record, values);
        }
    }
    return values;
}

std::vector<std::string> sectionValues(const ServiceSections& sections) {
    std::vector<std::string> values;
    for (const char* section : kSections) {
        for (const SauceRecord& record : sections.records(section)) {
            addValues(record, values);
        }
    }
    return values;
}

// The streamed sections of a document that loaded must be the ones its tree gives.
void requireStreamedAlike(const std::string& xml, const XmlDocument& document) {
    std::vector<std::string> streamed;
    try {
        streamed = sectionValues(ServiceSections::parse(xml, "fuzz.xml"));
    } catch (const Error& error) {
        if (error.kind() == ErrorKind::NotAServiceDocument) {
            return;
        }
        std::abort(); // the tree loaded, so the stream must too
    }
    if (streamed != sectionValues(document)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string xml(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> before;
    try {
        XmlDocument document = XmlDocument::parse(xml, "fuzz.xml");
        requireStreamedAlike(xml, document);
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
