// The completion file is written the way the platform's private-profile write does it: only the
// one key changes, every other byte of the file stays.
#include "app/IniFile.h"
#include "services/Error.h"
#include "support/TestSupport.h"

#include <QTest>

#include <string>

using velmora::app::withProfileString;
using velmora::app::writeProfileString;
using velmora::testing::readFile;
using velmora::testing::TempDir;
using velmora::testing::writeFile;

Q_DECLARE_METATYPE(std::string)

namespace {

#ifdef _WIN32
const std::string nl = "\r\n";
#else
const std::string nl = "\n";
#endif

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void setsTheKey_data() {
        QTest::addColumn<std::string>("before");
        QTest::addColumn<std::string>("after");

        QTest::newRow("empty file gets section and key")
            << std::string() << "[Transformadores]" + nl + "Transformado=1" + nl;
        QTest::newRow("missing section is added at the end, in the file's line ends")
            << std::string("; escrito por Horadia\r\n[Otra]\r\nclave=x\r\n")
            << std::string("; escrito por Horadia\r\n[Otra]\r\nclave=x\r\n"
                           "[Transformadores]\r\nTransformado=1\r\n");
        QTest::newRow("last line without line end")
            << std::string("[Otra]\nclave=x")
            << std::string("[Otra]\nclave=x\n"
                           "[Transformadores]\nTransformado=1\n");
        QTest::newRow("a last line ending in a bare CR, its header without ']'")
            << std::string("[Transformadores\r")
            << std::string("[Transformadores\r\nTransformado=1\r\n");
        QTest::newRow("existing value replaced, the rest kept")
            << std::string("; comentario\r\n[Transformadores]\r\nOtro = 7 \r\nTransformado=0\r\n"
                           "Mas=2\r\n\r\n[Final]\r\nTransformado=9\r\n")
            << std::string("; comentario\r\n[Transformadores]\r\nOtro = 7 \r\nTransformado=1\r\n"
                           "Mas=2\r\n\r\n[Final]\r\nTransformado=9\r\n");
        QTest::newRow("section and key match whatever their letter case")
            << std::string("[TRANSFORMADORES]\ntransformado = -1\n")
            << std::string("[TRANSFORMADORES]\nTransformado=1\n");
        QTest::newRow("header and key with blanks around them")
            << std::string("  [ Transformadores ]  \n\tTransformado\t=5\n")
            << std::string("  [ Transformadores ]  \nTransformado=1\n");
        QTest::newRow("missing key goes after the section's last line, before the blank lines")
            << std::string("[Transformadores]\nOtro=7\n\n[Final]\nx=1\n")
            << std::string("[Transformadores]\nOtro=7\nTransformado=1\n\n[Final]\nx=1\n");
        QTest::newRow("missing key in the last section without a line end")
            << std::string("[Transformadores]\r\nOtro=7")
            << std::string("[Transformadores]\r\nOtro=7\r\nTransformado=1\r\n");
        QTest::newRow("the key of another section is not touched")
            << std::string("[Final]\nTransformado=9\n")
            << std::string("[Final]\nTransformado=9\n[Transformadores]\nTransformado=1\n");
        QTest::newRow("keys that only begin alike are other keys")
            << std::string("[Transformadores]\nTransformados=3\nTransformado2=4\n")
            << std::string("[Transformadores]\nTransformados=3\nTransformado2=4\n"
                           "Transformado=1\n");
        QTest::newRow("of two equal sections the first one is used")
            << std::string("[Transformadores]\nA=1\n[Transformadores]\nTransformado=0\n")
            << std::string("[Transformadores]\nA=1\nTransformado=1\n[Transformadores]\n"
                           "Transformado=0\n");
        QTest::newRow("a line without '=' is no key")
            << std::string("[Transformadores]\nTransformado\n")
            << std::string("[Transformadores]\nTransformado\nTransformado=1\n");
        QTest::newRow("the UTF-8 mark at the start stays and does not hide the section")
            << std::string("\xEF\xBB\xBF[Transformadores]\nTransformado=0\n")
            << std::string("\xEF\xBB\xBF[Transformadores]\nTransformado=1\n");
    }

    void setsTheKey() {
        QFETCH(std::string, before);
        QFETCH(std::string, after);
        QCOMPARE(withProfileString(before, "Transformadores", "Transformado", "1"), after);
        // Written again, nothing changes.
        QCOMPARE(withProfileString(after, "Transformadores", "Transformado", "1"), after);
    }

    void createsAMissingFile() {
        TempDir folder;
        writeProfileString(folder / "Horadia.ini", "Transformadores", "Transformado", "-1");
        QCOMPARE(readFile(folder / "Horadia.ini"),
                 "[Transformadores]" + nl + "Transformado=-1" + nl);
    }

    void rewritesAnExistingFileLeavingNothingBehind() {
        TempDir folder;
        const auto ini = folder / "Horadia.ini";
        writeFile(ini, "[Horadia]\r\nRuta=C:\\HTEMP\r\n[Transformadores]\r\nTransformado=0\r\n");
        std::filesystem::permissions(ini, std::filesystem::perms::owner_read |
                                              std::filesystem::perms::owner_write |
                                              std::filesystem::perms::group_read);

        writeProfileString(ini, "Transformadores", "Transformado", "1");

        QCOMPARE(
            readFile(ini),
            std::string("[Horadia]\r\nRuta=C:\\HTEMP\r\n[Transformadores]\r\nTransformado=1\r\n"));
        QVERIFY(std::filesystem::status(ini).permissions() ==
                (std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                 std::filesystem::perms::group_read));
        int files = 0;
        for ([[maybe_unused]] const auto& entry :
             std::filesystem::directory_iterator(folder.path())) {
            ++files;
        }
        QCOMPARE(files, 1);
    }

    void failsWhereNoFileCanBeWritten_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("folder that does not exist") << QStringLiteral("missing/Horadia.ini");
        QTest::newRow("a folder in the file's place") << QStringLiteral("Horadia.ini");
    }

    void failsWhereNoFileCanBeWritten() {
        QFETCH(QString, where);
        TempDir folder;
        std::filesystem::create_directory(folder / "Horadia.ini");
        const auto ini = folder.path() / where.toStdString();
        try {
            writeProfileString(ini, "Transformadores", "Transformado", "1");
            QFAIL("no error for an unwritable ini file");
        } catch (const velmora::Error& error) {
            QVERIFY2(std::string(error.what()).find(ini.string()) != std::string::npos,
                     error.what());
        }
        QVERIFY(std::filesystem::is_directory(folder / "Horadia.ini"));
    }
};

QTEST_MAIN(TestIniFile)
#include "tst_inifile.moc"
