// A service document as the user might pick it, through both runs: the conversion into a fresh
// exchange folder, then the results from that folder with a small timetable added. Errors the
// program reports (velmora::Error) are expected outcomes; anything else is a finding.

#include "ScratchFolder.h"
#include "TableAccess.h"

#include "conversion/ConversionRun.h"
#include "conversion/FrameSelection.h"
#include "results/ResultsRun.h"
#include "services/Error.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>

namespace {

using namespace velmora;

// Answers with the first one or two frames the document lists, as a user clicking the top
// lines of the dialog would.
class FirstFrames : public FrameChooser {
public:
    explicit FirstFrames(std::size_t count) : count_(count) {}

    std::string chooseFrames(const std::filesystem::path& document,
                             const FrameListing& listing) override {
        const auto& keys = listing.listedKeys();
        const std::vector<std::string> chosen(
            keys.begin(), keys.begin() + static_cast<long>(std::min(count_, keys.size())));
        const FrameSelection selection = closeSelection(chosen);
        if (selection.problem != SelectionProblem::None) {
            throw Error(ErrorKind::FramesNotChosen, {.file = document, .choices = keys});
        }
        return selection.resultado;
    }

private:
    std::size_t count_;
};

void writeBytes(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path sauce = fuzz::freshFolder("sauce");
    const std::filesystem::path exchange = fuzz::freshFolder("HTEMP");
    const std::filesystem::path document = sauce / "servicio.xml";
    writeBytes(document, data, size);

    FirstFrames frames(1 + size % 2);
    try {
        ConversionRun(document, exchange, frames).run();
    } catch (const Error&) {
    }
    try {
        fuzz::writeSmallSolution(exchange);
        ResultsRun(document, exchange).run();
    } catch (const Error&) {
    }
    return 0;
}
