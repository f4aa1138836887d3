#pragma once

#include "conversion/CodeList.h"
#include "formats/ExchangeTables.h"
#include "formats/TableRows.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

// The subject and task catalogue as its two builders make it: the rows of ASIGNOMT, with the
// two code lists that keep them apart, listCODLARGO (the Sauce codes that have made a row) and
// listCOD (the short codes given out). The subjects' builder starts it afresh and the tasks'
// builder continues it, so that a task never takes a subject's Sauce code or short code; the
// lists go whenever the rows do.
class CatalogueRows : public NewTable<tables::ASIGNOMT> {
public:
    // Where a Sauce code first made a row: the code as written there, and the name it came with.
    struct FirstRow {
        std::string sauceCode;
        std::string name;
    };

    // The first row made for this Sauce code, letter case aside; nothing when none was.
    const FirstRow* firstRowFor(std::string_view sauceCode) const;
    // Records that the row about to be appended is the first for this Sauce code.
    void takeSauceCode(std::string_view sauceCode, std::string_view name);

    CodeList& listCOD() { return listCOD_; }

    // No rows, and no codes taken or given out.
    void clear();

private:
    std::unordered_map<std::string, FirstRow> listCODLARGO_; // by folded Sauce code
    CodeList listCOD_;
};

} // namespace velmora
