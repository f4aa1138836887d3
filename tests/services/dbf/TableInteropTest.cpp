#include "formats/TableRows.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmora;
using namespace velmora::testing;

TEST(TableInterop, AnIndependentReaderSeesWhatWasWritten) {
    VELMORA_SKIP_WITHOUT_DBFREAD();
    TempDir dir;
    const std::array<FieldDef, 4> fields{{{"NOMBRE", FieldType::Text, 12},
                                          {"ESTAREA", FieldType::Boolean, 0},
                                          {"DNI", FieldType::Integer, 0},
                                          {"HORAS", FieldType::Float, 0}}};
    TableRows rows(TableLayout{"ASIGNOMT", fields});
    std::size_t row = rows.append();
    rows.setText(row, 0, "Ñandú á é ü");
    rows.setBoolean(row, 1, true);
    rows.setFloat(row, 3, 2.5);
    row = rows.append();
    rows.setText(row, 0, "Precio 5 € y mucho más texto");
    rows.setBoolean(row, 1, false);
    rows.setFloat(row, 3, -0.125);
    row = rows.append();
    rows.setText(row, 0, "Ștefan Łukasz");
    rows.writeTo(dir.path());

    const auto file = dir / "ASIGNOMT.DBF";
    EXPECT_EQ(static_cast<unsigned char>(readFile(file).at(29)), 0x03);
    EXPECT_EQ(readWithDbfread(file), "'Ñandú á é ü'|True|None|2.5\n"
                                     "'Precio 5 € y'|False|None|-0.125\n"
                                     "'Stefan Lukas'|None|None|None\n");
}
