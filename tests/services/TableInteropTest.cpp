#include "services/Table.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace velmora;
using namespace velmora::testing;

namespace {

std::string runAndCapture(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "(cannot run)";
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = ::pclose(pipe);
    return status == 0 ? output : output + "(exit status " + std::to_string(status) + ")";
}

// Every record as dbfread gives it: one line per record, its values separated by '|'.
std::string readWithDbfread(const std::filesystem::path& file) {
    const std::string script =
        "import sys, dbfread\n"
        "out = sys.stdout.buffer\n"
        "for record in dbfread.DBF(sys.argv[1]):\n"
        "    out.write(('|'.join(repr(v) for v in record.values()) + '\\n').encode('utf-8'))\n";
    return runAndCapture("/usr/bin/python3 -c \"" + script + "\" '" + file.string() + "'");
}

} // namespace

TEST(TableInterop, AnIndependentReaderSeesWhatTheTableServiceWrote) {
    TempDir dir;
    const auto file = dir / "ASIGNOMT.DBF";
    Table::create(file, {{"NOMBRE", FieldType::Text, 12},
                         {"ESTAREA", FieldType::Boolean, 0},
                         {"DNI", FieldType::Integer, 0},
                         {"HORAS", FieldType::Float, 0}});
    {
        Table table = Table::open(file, OpenMode::Exclusive);
        table.append();
        table.writeText("NOMBRE", "Ñandú á é ü");
        table.writeBoolean("ESTAREA", true);
        table.writeInteger("DNI", -2147483647);
        table.writeFloat("HORAS", 2.5);
        table.post();
        table.append();
        table.writeText("NOMBRE", "Precio 5 € y mucho más texto");
        table.writeBoolean("ESTAREA", false);
        table.writeInteger("DNI", 12345678);
        table.writeFloat("HORAS", -0.125);
        table.post();
    }
    EXPECT_EQ(static_cast<unsigned char>(readFile(file).at(29)), 0x03);
    EXPECT_EQ(readWithDbfread(file), "'Ñandú á é ü'|True|-2147483647|2.5\n"
                                     "'Precio 5 € y'|False|12345678|-0.125\n");
}
