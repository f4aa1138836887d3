#include "conversion/ConversionRun.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace velmora::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

class BothFrames : public FrameChooser {
public:
    std::string chooseFrames(const std::filesystem::path&, const FrameListing&) override {
        return "MANANA    TARDE     ";
    }
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

// The example school, converted, read back by another program than ours.
class ExampleConversion : public ::testing::Test {
protected:
    void SetUp() override {
        VELMORA_SKIP_WITHOUT_DBFREAD();
        BothFrames frames;
        ConversionRun(exampleDocument(), exchange.path(), frames).run();
    }

    std::vector<std::string> table(const std::string& name) {
        return lines(readWithDbfread(exchange / (name + ".DBF")));
    }

    TempDir exchange;
};

TEST_F(ExampleConversion, TeachersWithTheSameSurnameGetDistinctCodes) {
    const auto teachers = table("PROFT");
    ASSERT_EQ(teachers.size(), 20u);
    EXPECT_EQ(teachers[0], "'GARCÍA'|'García López, María del Carmen'|''|None|'100231'|"
                           "'01/09/2015'|''");
    EXPECT_EQ(teachers[1], "'GARCÍA1'|'García Ruiz, José Antonio'|''|None|'100232'|"
                           "'01/09/2012'|''");
}

TEST_F(ExampleConversion, TheCatalogueHoldsSubjectsThenTasks) {
    const auto catalogue = table("ASIGNOMT");
    ASSERT_FALSE(catalogue.empty());
    EXPECT_EQ(catalogue.front(), "'LCL'|'LCL'|'Lengua Castellana y Literatura'|''|''|False");
    EXPECT_THAT(catalogue, Contains("'LECTIVA'|'LECTIVA'|'Horario Lectivo'|''|'156'|True"));
    EXPECT_THAT(catalogue, Contains("'GUARDIA'|'GUARDIA'|'Servicio de Guardia'|''|'281'|True"));
}

TEST_F(ExampleConversion, AssignmentsCarryHoursSessionsAndTheirTask) {
    const auto assignments = table("ASIGT");
    // Lengua in 1º ESO (four hours) and the duty without minutes (one hour, the duty task).
    bool lengua = false;
    bool guardia = false;
    for (const auto& row : assignments) {
        lengua |= row.rfind("'LCL'|''|", 0) == 0 && row.find("|4.0|'1111'|") != std::string::npos &&
                  row.find("|'300101'|'6001'|'LECTIVA'") != std::string::npos;
        guardia |= row.rfind("'GUAR'|''|", 0) == 0 && row.find("|1.0|'1'|") != std::string::npos &&
                   row.find("|'GUARDIA'") != std::string::npos;
    }
    EXPECT_TRUE(lengua);
    EXPECT_TRUE(guardia);
}

TEST_F(ExampleConversion, BothFramesAreNumberedMorningFirst) {
    const auto slots = table("DIASHORAST");
    ASSERT_FALSE(slots.empty());
    for (const auto& row : slots) {
        const bool morning = row.find("|'MANANA'") != std::string::npos;
        EXPECT_THAT(row, HasSubstr(morning ? "|'0'|'MANANA'" : "|'1'|'TARDE'")) << row;
    }
    EXPECT_EQ(slots.front().substr(0, 13), "'11'|'101'|'1");
}

} // namespace
} // namespace velmora::testing
