#include "services/Table.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmora;
using namespace velmora::testing;

TEST(TableInterop, AnIndependentReaderSeesWhatTheTableServiceWrote) {
    VELMORA_SKIP_WITHOUT_DBFREAD();
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
