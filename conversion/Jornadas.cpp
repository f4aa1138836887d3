#include "conversion/Builders.h"
#include "conversion/FrameSelection.h"
#include "services/Error.h"
#include "services/text/Text.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

namespace {

using tables::DIASHORAST;

constexpr int kDays = 7;
constexpr int kMostOrders = 40;
constexpr std::size_t kKeyLength = 10;
constexpr std::size_t kChoiceLength = 20;
constexpr int kMinutesPerDay = 1440;
constexpr std::size_t kTimeLength = 5; // HH:MM

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

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Minutes since midnight of a time written as two-digit hours, one separator and two-digit
// minutes; nothing when it is not a time of the day (0:00 to 23:59).
std::optional<int> minutesOf(const std::string& time) {
    if (time.size() != kTimeLength || !isDigits(time.substr(0, 2)) || !isDigits(time.substr(3))) {
        return std::nullopt;
    }
    const int hours = std::stoi(time.substr(0, 2));
    const int minutes = std::stoi(time.substr(3));
    if (hours > 23 || minutes > 59) {
        return std::nullopt;
    }
    return hours * 60 + minutes;
}

// A time of fewer than five characters (8:00) gets a leading zero.
std::string padded(const std::string& time) {
    return text::length(time) < kTimeLength ? "0" + time : time;
}

std::string chooseResultado(ConversionContext& context) {
    const auto& frames = context.sections.records("JORNADAS");
    if (frames.size() >= 2) {
        const FrameListing listing =
            FrameListing::fromRecords(frames, context.sections.records("INTERVALOS"));
        return text::left(context.frames.chooseFrames(context.documentPath, listing),
                          kChoiceLength);
    }
    if (frames.empty()) {
        throw Error(ErrorKind::NoTimeFrame, {.file = context.documentPath});
    }
    // A single frame needs no key to be told apart: its slots name it the same way.
    return text::left(frames.front().value(0), kChoiceLength);
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
Slot readSlot(const SauceRecord& record, std::string& orden, RunNotes& notes) {
    Slot slot;
    for (std::size_t p = 0; p < record.valueCount(); ++p) {
        if (!record.hasDato(p)) {
            notes.add({.kind = NoteKind::ValueIgnored,
                       .section = "INTERVALOS",
                       .record = record.position(),
                       .field = std::to_string(p + 1),
                       .value = record.value(p),
                       .reason = "no-dato"});
            continue;
        }
        const std::string name = record.dato(p);
        const std::string value(record.value(p));
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

// The slot's length in minutes. Times outside the day, an end before the start and an order
// that is not a whole number would give Horadia a slot that cannot exist: they stop the run. A
// slot that ends when it starts lasts 0 minutes, which a school may mean.
int slotMinutes(const Slot& slot, const std::string& orden, std::size_t position) {
    const std::string item = slot.codigoSauce + " (" + slot.nombre + ")";
    const auto badTime = [&](const char* field, const std::string& value) {
        return Error(ErrorKind::BadTime, {.section = "INTERVALOS",
                                          .record = position,
                                          .field = field,
                                          .item = item,
                                          .value = value});
    };
    const auto start = minutesOf(padded(slot.inicio));
    if (!start) {
        throw badTime("INICIO", slot.inicio);
    }
    const auto end = minutesOf(padded(slot.fin));
    if (!end) {
        throw badTime("FIN", slot.fin);
    }
    if (*end < *start) {
        throw Error(ErrorKind::EndBeforeStart, {.section = "INTERVALOS",
                                                .record = position,
                                                .item = item,
                                                .value = slot.inicio,
                                                .expected = slot.fin});
    }
    if (!isDigits(orden)) {
        throw Error(ErrorKind::BadOrder, {.section = "INTERVALOS",
                                          .record = position,
                                          .field = "ORDEN",
                                          .item = item,
                                          .value = orden});
    }
    return *end - *start;
}

// Seven rows, one per day.
void writeSlotRows(NewTable<DIASHORAST>& table, const Slot& slot, const std::string& orden,
                   int minutes) {
    for (int day = 1; day <= kDays; ++day) {
        const std::string dayText = std::to_string(day);
        auto row = table.append();
        row.setText(DIASHORAST::DIHO, dayText + orden);
        row.setText(DIASHORAST::CODDIHO, slot.codigoSauce);
        row.setText(DIASHORAST::DIA, dayText);
        row.setText(DIASHORAST::HORA, orden);
        row.setText(DIASHORAST::TEXTOHOR, slot.nombre);
        row.setText(DIASHORAST::HORADESDE, padded(slot.inicio));
        row.setText(DIASHORAST::HORAHASTA, padded(slot.fin));
        row.setText(DIASHORAST::MINUTOS, std::to_string(minutes));
        row.setText(DIASHORAST::MARCOXML, slot.claveJornada);
    }
}

void writeSlots(NewTable<DIASHORAST>& table, const std::vector<SauceRecord>& records,
                RunNotes& notes) {
    std::string orden;
    for (const SauceRecord& record : records) {
        const Slot slot = readSlot(record, orden, notes);
        writeSlotRows(table, slot, orden, slotMinutes(slot, orden, record.position()));
    }
}

// The rows by their DIHO and MARCOXML as the table gives them back, each set in stored order,
// kept up to date as DIHO is renumbered: finding "the first row with this day-hour code in this
// frame" is then one look-up instead of a scan of the table.
class SlotIndex {
public:
    explicit SlotIndex(const NewTable<DIASHORAST>& table) {
        for (std::size_t row = 0; row < table.size(); ++row) {
            rows_[{table.text(row, DIASHORAST::DIHO), table.text(row, DIASHORAST::MARCOXML)}]
                .insert(row);
        }
    }

    std::optional<std::size_t> first(const std::string& diho, const std::string& frame) const {
        const auto found = rows_.find({diho, frame});
        if (found == rows_.end() || found->second.empty()) {
            return std::nullopt;
        }
        return *found->second.begin();
    }

    void moved(std::size_t row, const std::string& frame, const std::string& from,
               const std::string& to) {
        rows_[{from, frame}].erase(row);
        rows_[{to, frame}].insert(row);
    }

private:
    std::map<std::pair<std::string, std::string>, std::set<std::size_t>> rows_;
};

// Within each day, the frame's slots of orders 1 to 40 become 1, 2, 3... in order; a slot
// whose order is not one of those numbers, or repeats one already met, keeps its number.
void renumberSlots(NewTable<DIASHORAST>& table, SlotIndex& index, const std::string& frame) {
    for (int day = 1; day <= kDays; ++day) {
        const std::string dayText = std::to_string(day);
        int next = 1;
        for (int order = 1; order <= kMostOrders; ++order) {
            const std::string diho = dayText + std::to_string(order);
            const auto row = index.first(diho, frame);
            if (!row) {
                continue;
            }
            const std::string renumbered = dayText + std::to_string(next);
            auto slot = table.row(*row);
            slot.setText(DIASHORAST::DIHO, renumbered);
            slot.setText(DIASHORAST::HORA, std::to_string(next));
            index.moved(*row, frame, diho, slot.text(DIASHORAST::DIHO));
            ++next;
        }
    }
}

// Minutes since midnight at which the frame's first slot of day 1 starts.
int frameStart(const NewTable<DIASHORAST>& table, const SlotIndex& index, const std::string& frame,
               int whenMissing) {
    const auto row = index.first("11", frame);
    if (!row) {
        return whenMissing;
    }
    return minutesOf(table.text(*row, DIASHORAST::HORADESDE)).value_or(whenMissing);
}

// The frame that starts earlier is frame 0, the other frame 1. With one frame the second key is
// empty, and rows without a frame key take the second number.
void numberFrames(NewTable<DIASHORAST>& table, const SlotIndex& index, const ChosenFrames& frames) {
    const int start1 = frameStart(table, index, frames.first, 0);
    const int start2 = frameStart(table, index, frames.second, kMinutesPerDay);
    const std::string firstNumber = start1 <= start2 ? "0" : "1";
    const std::string secondNumber = start1 <= start2 ? "1" : "0";
    for (std::size_t row = 0; row < table.size(); ++row) {
        const std::string frame = table.text(row, DIASHORAST::MARCOXML);
        if (frame == frames.first) {
            table.row(row).setText(DIASHORAST::MARCO, firstNumber);
        } else if (frame == frames.second) {
            table.row(row).setText(DIASHORAST::MARCO, secondNumber);
        }
    }
}

} // namespace

void CargarJornadas(ConversionContext& context) {
    auto& table = context.tables.diashorast;
    table.clear();
    const ChosenFrames chosen = splitChoice(chooseResultado(context));
    // The keys as MARCOXML holds them, so that a key with a character Windows-1252 lacks still
    // finds its slots.
    const ChosenFrames frames{context.asStored(chosen.first), context.asStored(chosen.second)};

    writeSlots(table, context.sections.records("INTERVALOS"), context.notes);
    SlotIndex index(table);
    renumberSlots(table, index, frames.first);
    if (!frames.second.empty()) {
        renumberSlots(table, index, frames.second);
    }
    numberFrames(table, index, frames);
}

} // namespace velmora
