#include "services/dbf/TableCodePage.h"

#include "services/Error.h"
#include "services/files/ExchangeFolder.h"
#include "services/files/FileSystem.h"
#include "services/text/Text.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <utility>

namespace velmora {

namespace {

constexpr int kWindows1252 = 1252;
constexpr int kLatin1 = 28591;

// The language drivers of dBASE, FoxPro and the GIS programs, by the code page they mean.
constexpr std::pair<std::uint8_t, int> kLanguageDrivers[] = {
    {0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x08, 865},  {0x09, 437}, {0x0A, 850}, {0x0B, 437},
    {0x0D, 437},  {0x0E, 850},  {0x0F, 437},  {0x10, 850},  {0x11, 437}, {0x12, 850}, {0x14, 850},
    {0x15, 437},  {0x16, 850},  {0x17, 865},  {0x18, 437},  {0x19, 437}, {0x1A, 850}, {0x1B, 437},
    {0x1C, 863},  {0x1D, 850},  {0x1F, 852},  {0x22, 852},  {0x23, 852}, {0x24, 860}, {0x25, 850},
    {0x26, 866},  {0x37, 850},  {0x40, 852},  {0x4D, 936},  {0x4E, 949}, {0x4F, 950}, {0x50, 874},
    {0x57, 1252}, {0x58, 1252}, {0x59, 1252}, {0x64, 852},  {0x65, 866}, {0x66, 865}, {0x67, 861},
    {0x6A, 737},  {0x6B, 857},  {0x6C, 863},  {0x78, 950},  {0x79, 949}, {0x7A, 936}, {0x7B, 932},
    {0x7C, 874},  {0x7D, 1255}, {0x7E, 1256}, {0x86, 737},  {0x87, 852}, {0x88, 857}, {0xC8, 1250},
    {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253}, {0xCC, 1257},
};

std::string readSmallFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (!in && !in.eof()) {
        throw Error(ErrorKind::FileUnreadable, {.file = file, .system = lastSystemError()});
    }
    return content.str();
}

std::string hexByte(std::uint8_t byte) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[byte >> 4] + digits[byte & 0x0F];
}

} // namespace

int codePageOfCpgText(std::string text) {
    text = text::asciiUpper(text::trim(text));
    text.erase(std::remove(text.begin(), text.end(), '-'), text.end());
    if (text == "UTF8") {
        return CodePage::kUtf8;
    }
    if (text == "88591" || text == "ISO88591" || text == "LATIN1") {
        return kLatin1;
    }
    for (const char* prefix : {"ANSI ", "OEM ", "CP", "WINDOWS", "IBM", "MS"}) {
        const std::string_view p(prefix);
        if (text.compare(0, p.size(), p) == 0) {
            text = text::trim(text.substr(p.size()));
            break;
        }
    }
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoi(text);
}

int codePageOfLanguageDriver(std::uint8_t languageDriver) {
    if (languageDriver == 0) {
        return 0;
    }
    for (const auto& [mark, codePage] : kLanguageDrivers) {
        if (mark == languageDriver) {
            return codePage;
        }
    }
    return -1;
}

CodePage tableCodePage(std::uint8_t languageDriver, const std::filesystem::path& file,
                       const std::string& table) {
    std::filesystem::path cpg = file;
    cpg.replace_extension(".cpg");
    const auto cpgFiles = findFilesIgnoringCase(file.parent_path(), pathToUtf8(cpg.filename()));
    int number = 0;
    std::string mark;
    ErrorReason where = ErrorReason::None;
    if (!cpgFiles.empty()) {
        mark = text::trim(readSmallFile(cpgFiles.front()));
        where = ErrorReason::CpgFile;
        number = codePageOfCpgText(mark);
    } else {
        mark = hexByte(languageDriver);
        where = ErrorReason::LanguageDriver;
        number = codePageOfLanguageDriver(languageDriver);
        if (number == 0) {
            number = kWindows1252;
        }
    }
    const auto page = number > 0 ? CodePage::byNumber(number) : std::nullopt;
    if (!page) {
        throw Error(ErrorKind::UnknownCodePage,
                    {.file = file, .table = table, .value = mark, .reason = where});
    }
    return *page;
}

} // namespace velmora
