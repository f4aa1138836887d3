#pragma once

#include "formats/SauceRecord.h"
#include "services/xml/XmlDocument.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velmora {

// The sections a conversion reads (MATERIAS, TAREAS, PROFESORES, AULAS, CURSOS, GRUPOS,
// JORNADAS and INTERVALOS): the records /SERVICIO/SALIDAS/listasal[@seq="NAME"]/listasal, in
// document order, several sections of one name giving their records in turn. They are taken
// from the document in one pass as the parser reads it, with no tree built.
class ServiceSections {
public:
    // Throws what XmlDocument::load throws, and NotAServiceDocument unless the root is SERVICIO
    // with a SALIDAS element under it: any other XML picked by mistake would give empty tables.
    static ServiceSections load(const std::filesystem::path& document);
    // The same for a text; file: the name the errors give it.
    static ServiceSections parse(const std::string& xml, const std::filesystem::path& file);

    // The records of a section, in document order; none for a section the document lacks.
    const std::vector<SauceRecord>& records(const std::string& section) const;

private:
    ServiceSections();

    std::map<std::string, std::vector<SauceRecord>, std::less<>> sections_;
};

// How both runs read a service document: its SALIDAS hold the bulk (the sections the conversion
// reads, the results the results run replaces), and outside them a document holds a few
// parameters; a hundred thousand elements, attributes and texts there are far more than any
// export, and keep what the results run holds as a tree to a few MB.
XmlOutline serviceDocumentOutline();

} // namespace velmora
