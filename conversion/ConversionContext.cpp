#include "conversion/ConversionContext.h"

#include "conversion/ShortCode.h"

#include <utility>

namespace velmora {

namespace {

// A record needs a key and something to go with it; shorter ones are passed over.
constexpr std::size_t kFewestValues = 2;

} // namespace

ConversionContext::ConversionContext(const ServiceSections& sections,
                                     std::filesystem::path documentPath, FrameChooser& frames)
    : sections(sections), documentPath(std::move(documentPath)), frames(frames),
      storedCodePage_(CodePage::windows1252()) {}

const ConversionContext::Records& ConversionContext::usableRecords(const std::string& section) {
    const auto [cached, added] = usableRecords_.try_emplace(section);
    if (added) {
        for (const SauceRecord& record : sections.records(section)) {
            if (record.valueCount() >= kFewestValues) {
                cached->second.push_back(record);
            } else {
                notes.add({.kind = NoteKind::RecordSkipped,
                           .section = section,
                           .record = record.position(),
                           .reason = "few-values"});
            }
        }
    }
    return cached->second;
}

std::string ConversionContext::shortCode(std::string_view source, CodeList& issued,
                                         const TableLayout& table, std::size_t record,
                                         std::string_view field) {
    const std::string stored = asStored(source);
    if (stored != source) {
        notes.add({.kind = NoteKind::CharactersReplaced,
                   .table = table.name,
                   .record = record,
                   .field = field,
                   .value = source,
                   .stored = stored});
    }
    IssuedCode issuedCode = makeShortCode(stored, issued);
    if (issuedCode.numbered) {
        notes.add({.kind = NoteKind::CodeNumbered,
                   .table = table.name,
                   .record = record,
                   .field = field,
                   .value = source,
                   .code = issuedCode.code});
    }
    return std::move(issuedCode.code);
}

void ConversionContext::noteWhatTheTablesChange() {
    tables.observeFits([this](const TableLayout& table, std::size_t row, std::size_t field,
                              std::string_view value, const TableRows::Fitted& fitted) {
        // The same value in the same field is one note however many rows store it.
        const auto note = [&](NoteKind kind) {
            notes.addOrRepeat({.kind = kind,
                               .table = table.name,
                               .record = row + 1,
                               .field = table.fields[field].name,
                               .value = value,
                               .stored = fitted.stored});
        };
        if (fitted.replaced) {
            note(NoteKind::CharactersReplaced);
        }
        if (fitted.cut) {
            note(NoteKind::TextCut);
        }
    });
}

std::string ConversionContext::asStored(std::string_view text) const {
    return storedCodePage_.decode(storedCodePage_.encode(text).bytes);
}

} // namespace velmora
