#include "conversion/Builders.h"
#include "formats/ExchangeTables.h"
#include "formats/ServiceDocument.h"
#include "services/Error.h"
#include "services/Text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

namespace {

constexpr int kDays = 7;
constexpr int kMostOrders = 40;
constexpr std::size_t kKeyLength = 10;
constexpr std::size_t kChoiceLength = 20;
constexpr int kMinutesPerDay = 1440;

struct ChosenFrames {
    std::string first;
    std::string second; // empty when one frame applies
};

// The values of one INTERVALOS record, found by their dato names.
struct Slot {
    std::string codigoSauce;
    std::string nombre;
    std::string inicio;
    std::string fin;
    std::string claveJornada;
};

std::optional<int> digitsToInteger(const std::string& digits) {
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(digits);
}

// Minutes since midnight of a time written as hours in characters 1-2 and minutes from
// character 4 on (at most minuteChars of them); nothing when either is not a whole number.
std::optional<int> minutesOf(const std::string& time, std::size_t minuteChars) {
    const auto hours = digitsToInteger(text::left(time, 2));
    const auto minutes = digitsToInteger(text::mid(time, 3, minuteChars));
    if (!hours || !minutes) {
        return std::nullopt;
    }
    return *hours * 60 + *minutes;
}

std::string chooseResultado(ConversionContext& context) {
    const auto frames = sectionRecords(context.document, "JORNADAS");
    if (frames.size() >= 2) {
        return text::left(context.frames.chooseFrames(context.documentPath), kChoiceLength);
    }
    if (frames.empty()) {
        throw Error("The document " + context.documentPath.string() +
                    " has no time frame (section JORNADAS is empty); Horadia needs at least one.");
    }
    const std::string key = frames.front().value(0);
    if (key.empty()) {
        throw Error("The document " + context.documentPath.string() +
                    " has no time frame (the record of section JORNADAS has no key); Horadia "
                    "needs at least one.");
    }
    return text::left(key, kChoiceLength);
}

// A choice of exactly 20 characters holds two keys of 10; anything else holds one.
ChosenFrames splitChoice(const std::string& resultado) {
    if (text::length(resultado) == kChoiceLength) {
        return {text::trim(text::left(resultado, kKeyLength)),
                text::trim(text::mid(resultado, kKeyLength, kKeyLength))};
    }
    return {text::trim(text::left(resultado, kKeyLength)), ""};
}

// ORDEN is not reset between records: a record without one keeps the order of the one before.
Slot readSlot(const SauceRecord& record, std::string& orden) {
    Slot slot;
    for (std::size_t p = 0; p < record.valueCount(); ++p) {
        if (!record.hasDato(p)) {
            continue;
        }
        const std::string name = record.dato(p);
        const std::string value = record.value(p);
        if (name == "CODIGO_SAUCE") {
            slot.codigoSauce = value;
        } else if (name == "NOMBRE") {
            slot.nombre = value;
        } else if (name == "INICIO") {
            slot.inicio = value;
        } else if (name == "FIN") {
            slot.fin = value;
        } else if (name == "ORDEN") {
            orden = value;
        } else if (name == "CLAVE_JORNADA") {
            slot.claveJornada = text::left(value, kKeyLength);
        }
    }
    return slot;
}

[[noreturn]] void throwBadTime(const Slot& slot, int recordNumber, const std::string& field,
                               const std::string& value) {
    throw Error("Time slot " + std::to_string(recordNumber) +
                " of section INTERVALOS (CODIGO_SAUCE \"" + slot.codigoSauce + "\", NOMBRE \"" +
                slot.nombre + "\") has " + field + " \"" + value +
                "\", which does not read as hours and minutes such as 08:00.");
}

int slotMinutes(const Slot& slot, int recordNumber, const std::string& inicio,
                const std::string& fin) {
    const auto start = minutesOf(inicio, 5);
    if (!start) {
        throwBadTime(slot, recordNumber, "the start time INICIO", slot.inicio);
    }
    const auto end = minutesOf(fin, 5);
    if (!end) {
        throwBadTime(slot, recordNumber, "the end time FIN", slot.fin);
    }
    return *end - *start;
}

// Seven rows, one per day. A time shorter than 5 characters gets a leading "0", and keeps it
// for the days that follow.
void writeSlotRows(Table& table, const Slot& slot, const std::string& orden, int recordNumber) {
    std::string inicio = slot.inicio;
    std::string fin = slot.fin;
    for (int day = 1; day <= kDays; ++day) {
        const std::string dayText = std::to_string(day);
        table.append();
        table.writeText("DIHO", dayText + orden);
        table.writeText("CODDIHO", slot.codigoSauce);
        table.writeText("DIA", dayText);
        table.writeText("HORA", orden);
        table.writeText("TEXTOHOR", slot.nombre);
        if (text::length(inicio) < 5) {
            inicio = "0" + inicio;
        }
        table.writeText("HORADESDE", inicio);
        if (text::length(fin) < 5) {
            fin = "0" + fin;
        }
        table.writeText("HORAHASTA", fin);
        table.writeText("MINUTOS", std::to_string(slotMinutes(slot, recordNumber, inicio, fin)));
        table.writeText("MARCOXML", slot.claveJornada);
        table.post();
    }
}

void writeSlots(Table& table, const std::vector<SauceRecord>& records) {
    std::string orden;
    int recordNumber = 0;
    for (const SauceRecord& record : records) {
        ++recordNumber;
        const Slot slot = readSlot(record, orden);
        writeSlotRows(table, slot, orden, recordNumber);
    }
}

// Within each day, the frame's slots of orders 1 to 40 become 1, 2, 3... in order; a slot
// whose order is not one of those numbers, or repeats one already met, keeps its number.
void renumberSlots(Table& table, const std::string& frameKey) {
    for (int day = 1; day <= kDays; ++day) {
        const std::string dayText = std::to_string(day);
        int next = 1;
        for (int order = 1; order <= kMostOrders; ++order) {
            if (!table.locate("DIHO;MARCOXML", {dayText + std::to_string(order), frameKey})) {
                continue;
            }
            table.edit();
            table.writeText("DIHO", dayText + std::to_string(next));
            table.writeText("HORA", std::to_string(next));
            table.post();
            ++next;
        }
    }
}

// Minutes since midnight at which the frame's first slot of day 1 starts.
int frameStart(Table& table, const std::string& frameKey, int whenMissing) {
    if (!table.locate("DIHO;MARCOXML", {"11", frameKey})) {
        return whenMissing;
    }
    const std::string start = table.readText("HORADESDE");
    const auto minutes = minutesOf(start, 2);
    if (!minutes) {
        throw Error("Table DIASHORAST: the first slot of time frame \"" + frameKey +
                    "\" on day 1 starts at \"" + start +
                    "\", which does not read as hours and minutes such as 08:00.");
    }
    return *minutes;
}

// The frame that starts earlier is frame 0, the other frame 1. With one frame the second key is
// empty, and rows without a frame key take the second number.
void numberFrames(Table& table, const ChosenFrames& frames) {
    const int start1 = frameStart(table, frames.first, 0);
    const int start2 = frameStart(table, frames.second, kMinutesPerDay);
    const std::string firstNumber = start1 <= start2 ? "0" : "1";
    const std::string secondNumber = start1 <= start2 ? "1" : "0";
    for (table.first(); !table.eof(); table.next()) {
        const std::string frameKey = table.readText("MARCOXML");
        const std::string* number = frameKey == frames.first    ? &firstNumber
                                    : frameKey == frames.second ? &secondNumber
                                                                : nullptr;
        if (number != nullptr) {
            table.edit();
            table.writeText("MARCO", *number);
            table.post();
        }
    }
}

} // namespace

void CargarJornadas(ConversionContext& context) {
    createTable(context.folder, tables::DIASHORAST);
    const ChosenFrames frames = splitChoice(chooseResultado(context));

    const auto slots = sectionRecords(context.document, "INTERVALOS");
    Table table = openTable(context.folder, tables::DIASHORAST.name, OpenMode::Shared);
    writeSlots(table, slots);
    renumberSlots(table, frames.first);
    if (!frames.second.empty()) {
        renumberSlots(table, frames.second);
    }
    numberFrames(table, frames);
    table.close();
}

} // namespace velmora
