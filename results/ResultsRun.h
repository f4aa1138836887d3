#pragma once

#include "formats/RunNotes.h"

#include <filesystem>
#include <functional>
#include <utility>

namespace velmora {

// The result document's path: "ResultadoHoradia" followed by the document's file name, in the
// document's folder.
std::filesystem::path resultPathFor(const std::filesystem::path& document);

// Turns the timetable program's solution back into a Sauce service document: reads SOLUC and the
// exchange tables, rebuilds the document's SALIDAS and saves the result beside the document.
class ResultsRun {
public:
    ResultsRun(std::filesystem::path document, std::filesystem::path exchangeFolder);
    std::filesystem::path run(); // the result file written

    // After run(): how many lesson lists the result holds, and what the run could not use.
    std::size_t lessonCount() const { return lessonCount_; }
    const RunNotes& notes() const { return notes_; }
    // The notes taken from the run, which keeps none: a large run's notes are not copied.
    RunNotes takeNotes() { return std::move(notes_); }

    // Files written together with the result (the run's report): prepared once the result is
    // written beside its place and the run knows what it did (lessonCount, notes), so that a
    // failure there leaves the old result; put in place right after the result.
    struct AlongWithResult {
        std::function<void(const ResultsRun& run)> prepare;
        std::function<void()> putInPlace;
    };
    void alongWithResult(AlongWithResult along) { along_ = std::move(along); }

private:
    std::filesystem::path document_;
    std::filesystem::path folder_;
    std::size_t lessonCount_ = 0;
    RunNotes notes_;
    AlongWithResult along_;
};

} // namespace velmora
