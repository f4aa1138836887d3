// Any bytes through the XML service alone, many times faster than through the runs: loading,
// the sections as the tree gives them and as the conversion streams them, and saving. A document
// that loaded must save, and what was saved must load again with the same sections: the results are
// written that way. A streamed save, as the results run makes, must write what a whole save of
// the same tree writes, whatever the document's encoding.

#include "ScratchFolder.h"

#include "formats/ServiceSections.h"
#include "services/Error.h"
#include "services/xml/XmlDocument.h"
#include "support/XmlTree.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace velmora;
using velmora::testing::textOf;
using velmora::testing::treeSectionRecords;

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
        for (const SauceRecord& record : treeSectionRecords(document, section)) {
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

// The content a results run would stream into a new element at the end of the root, made of the
// document's own text so that its characters and encoding are the fuzzer's.
void buildContent(XmlDocument& document, const std::string& text,
                  const std::function<void(const std::string&)>& writeText,
                  const std::function<void(XmlNode)>& writeElement) {
    writeText("\n\t");
    XmlNode salida = document.createElement("salida");
    salida.setAttribute("dato", text);
    salida.setText(text);
    writeElement(salida);
    writeText("\n");
}

void requireStreamedSaveAlike(const std::string& xml) {
    XmlDocument whole = XmlDocument::parse(xml, "fuzz.xml");
    const std::string text = textOf(whole.root());
    XmlNode target = whole.root().appendChild(whole.createElement("SALIDAS"));
    buildContent(
        whole, text, [&](const std::string& blank) { target.appendText(blank); },
        [&](XmlNode element) { target.appendChild(element); });
    try {
        whole.save(fuzz::scratchFolder() / "whole.xml");
    } catch (const Error&) {
        return;
    }

    XmlDocument streamed = XmlDocument::parse(xml, "fuzz.xml");
    XmlNode empty = streamed.root().appendChild(streamed.createElement("SALIDAS"));
    try {
        streamed.saveStreaming(
            fuzz::scratchFolder() / "streamed.xml", empty, [&](XmlContentStream& stream) {
                buildContent(
                    streamed, text, [&](const std::string& blank) { stream.writeText(blank); },
                    [&](XmlNode element) { stream.writeElement(element); });
            });
    } catch (const Error&) {
        std::abort(); // the whole save worked, so the streamed one must
    }
    if (fuzz::readScratch("streamed.xml") != fuzz::readScratch("whole.xml")) {
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
        textOf(document.root());
        document.save(fuzz::scratchFolder() / "saved.xml");
        requireStreamedSaveAlike(xml);
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
