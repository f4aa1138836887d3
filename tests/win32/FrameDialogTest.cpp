// The time-frame dialog as a conversion opens it: what it shows, how the shown frame follows
// the line last clicked, the keys it hands back in list order, the question asked again until
// one or two frames are chosen, its keys and its help.
#include "WindowTesting.h"

#include "app/win32/WideText.h"

#include "app/win32/Resources.h"
#include "conversion/FrameSelection.h"
#include "messages/WindowTexts.h"

#include <gtest/gtest.h>

namespace velmora::testing::win32 {
namespace {

constexpr const char* kCaption = "Planillas, Marcos o Jornadas Horarias";

std::string threeFramesDocument() {
    return sauceXml({
        {"JORNADAS",
         {{"M1", "Mañana", "01/09/2026"},
          {"TARDE", "Tarde", "02/09/2026"},
          {"NOCHE", "Noche", "03/09/2026"}}},
        {"INTERVALOS",
         {{"101", "Primera", "08:00", "08:55", "1", "M1"},
          {"102", "Segunda", "08:55", "09:50", "2", "M1"},
          {"201", "Tarde uno", "16:00", "16:55", "1", "TARDE"}}},
    });
}

std::vector<std::string> listLines(HWND list) {
    std::vector<std::string> lines;
    const auto count = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line(std::size_t(SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(line.data()));
        line.resize(line.size() - 1);
        lines.push_back(app::win32::utf8(line));
    }
    return lines;
}

std::vector<int> selectedRows(HWND list) {
    std::vector<int> rows(16);
    rows.resize(std::size_t(
        SendMessageW(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()))));
    return rows;
}

// A click on a line of a list, with Ctrl held when adding to the selection.
void clickLine(HWND list, int row, bool control) {
    RECT line;
    SendMessageW(list, LB_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&line));
    const LPARAM where = MAKELPARAM(line.left + 5, (line.top + line.bottom) / 2);
    const WPARAM keys = control ? MK_CONTROL : 0;
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, where);
    SendMessageW(list, WM_LBUTTONUP, keys, where);
}

// A conversion that asks for the frames of its document and keeps the answer.
struct FrameQuestion {
    WindowUnderTest subject;
    std::string answer;
    HWND main = nullptr;

    FrameQuestion() {
        subject.documentAnswer = subject.folder / "horario.xml";
        writeFile(*subject.documentAnswer, threeFramesDocument());
        subject.setup.runs.convert = [this](const std::filesystem::path& document,
                                            FrameChooser& frames) {
            answer = frames.chooseFrames(document, FrameListing::load(document));
            return RunNotes{};
        };
    }
    void ask(ModalScript& script) {
        main = subject.open().handle();
        script.ignore(main);
        pumpPending();
        SendMessageW(GetDlgItem(main, IDC_CONVERT), BM_CLICK, 0, 0);
    }
};

struct Shown {
    int id;
    const char* text;
    RECT place;
};

TEST(FrameDialog, showsTheFramesAndTheFirstOnesDetailsWithNoLineSelected) {
    FrameQuestion question;
    ModalScript script;
    std::vector<std::string> frames, slots, problems;
    script
        .then(kCaption,
              [&](HWND dialog) {
                  const auto check = [&](bool ok, const std::string& what) {
                      if (!ok) {
                          problems.push_back(what);
                      }
                  };
                  const Shown shown[] = {
                      {IDC_FRAMES_INSTRUCTION,
                       "Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en "
                       "Horadia.",
                       {16, 2, 337, 35}},
                      {IDC_FRAMES_HINT,
                       "Para seleccionar mas de un Marco Horario, mantenga (Ctrl) pulsado y "
                       "seleccione cada marco con 1 click del botón izquierdo del ratón.",
                       {16, 36, 337, 86}},
                      {IDC_FRAMES_HEADING, "MARCOS", {40, 86, 114, 102}},
                      {IDC_SLOTS_HEADING, "HORAS", {215, 86, 282, 104}},
                      {IDC_FRAME_LIST, "", {16, 103, 143, 148}},
                      {IDC_SLOT_LIST, "", {152, 103, 345, 249}},
                      {IDC_FRAME_NAME, "Mañana", {9, 151, 129, 192}},
                      {IDC_FRAME_DATE, "01/09/2026", {9, 196, 129, 219}},
                      {IDC_FRAME_SECOND_DATE, "-", {9, 226, 129, 249}},
                      {IDOK, "Continuar", {255, 253, 344, 278}},
                  };
                  for (const Shown& control : shown) {
                      const RECT place = itemRect(dialog, control.id);
                      check(itemText(dialog, control.id) == control.text,
                            "text of " + std::to_string(control.id) + ": " +
                                itemText(dialog, control.id));
                      check(EqualRect(&place, &control.place),
                            "place of " + std::to_string(control.id));
                  }
                  const RECT client = clientRect(dialog);
                  check(client.right == 370 && client.bottom == 282, "client area");
                  check(GetWindowLongW(dialog, GWL_STYLE) & WS_THICKFRAME, "sizeable border");
                  check(GetWindowLongW(GetDlgItem(dialog, IDC_FRAME_LIST), GWL_STYLE) &
                            LBS_EXTENDEDSEL,
                        "extended selection");
                  check(fontOf(GetDlgItem(dialog, IDC_FRAME_NAME)).lfUnderline, "underlined name");
                  check(fontOf(GetDlgItem(dialog, IDOK)).lfWeight == FW_BOLD, "bold Continuar");
                  frames = listLines(GetDlgItem(dialog, IDC_FRAME_LIST));
                  slots = listLines(GetDlgItem(dialog, IDC_SLOT_LIST));
                  check(selectedRows(GetDlgItem(dialog, IDC_FRAME_LIST)).empty(), "no selection");
                  clickLine(GetDlgItem(dialog, IDC_FRAME_LIST), 0, false);
                  pressOk()(dialog);
              })
        .then("Velmora", pressOk());
    question.ask(script);

    EXPECT_EQ(problems, std::vector<std::string>{});
    EXPECT_EQ(frames, (std::vector<std::string>{"M1", "TARDE", "NOCHE"}));
    EXPECT_EQ(slots, (std::vector<std::string>{"1-Primera-08:00-08:5", "2-Segunda-08:55-09:5"}));
    EXPECT_EQ(question.answer, "M1        ");
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
}

TEST(FrameDialog, showsTheLineLastClickedAndHandsBackTheKeysInListOrder) {
    FrameQuestion question;
    ModalScript script;
    std::string nameAfterClicks;
    std::vector<std::string> slotsAfterClicks;
    script
        .then(kCaption,
              [&](HWND dialog) {
                  HWND frames = GetDlgItem(dialog, IDC_FRAME_LIST);
                  clickLine(frames, 1, false);
                  clickLine(frames, 0, true);
                  clickLine(frames, 1, true); // taken out again
                  clickLine(frames, 2, true);
                  nameAfterClicks = itemText(dialog, IDC_FRAME_NAME);
                  slotsAfterClicks = listLines(GetDlgItem(dialog, IDC_SLOT_LIST));
                  pressOk()(dialog);
              })
        .then("Velmora", pressOk());
    question.ask(script);

    EXPECT_EQ(nameAfterClicks, "Noche");
    // No slot of NOCHE: the list is emptied, the document having two slots or more.
    EXPECT_EQ(slotsAfterClicks, std::vector<std::string>{});
    EXPECT_EQ(question.answer, "M1        NOCHE     ");
    EXPECT_TRUE(script.finished());
}

TEST(FrameDialog, asksAgainWithNothingSelectedUntilOneOrTwoFramesAreChosen) {
    FrameQuestion question;
    ModalScript script;
    MessageBoxContent none, tooMany;
    std::vector<int> selectionOfSecondDialog{-1};
    script.then(kCaption, pressOk())
        .then("Velmora", readInto(none))
        .then(kCaption,
              [&](HWND dialog) {
                  HWND frames = GetDlgItem(dialog, IDC_FRAME_LIST);
                  selectionOfSecondDialog = selectedRows(frames);
                  for (int row : {0, 1, 2}) {
                      clickLine(frames, row, true);
                  }
                  // Closed with the close box: checked all the same.
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              })
        .then("Velmora", readInto(tooMany))
        .then(kCaption,
              [](HWND dialog) {
                  clickLine(GetDlgItem(dialog, IDC_FRAME_LIST), 1, false);
                  pressOk()(dialog);
              })
        .then("Velmora", pressOk());
    question.ask(script);

    EXPECT_EQ(none.text, messages::kNoFrameSelected);
    EXPECT_EQ(tooMany.text, messages::kTooManyFrames);
    EXPECT_EQ(selectionOfSecondDialog, std::vector<int>{});
    EXPECT_EQ(question.answer, "TARDE     ");
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
}

TEST(FrameDialog, takesReturnForContinuarAndEscapeForTheCloseBox) {
    FrameQuestion question;
    ModalScript script;
    MessageBoxContent afterEscape;
    script
        .then(kCaption,
              [](HWND dialog) {
                  SetForegroundWindow(dialog);
                  SetFocus(GetDlgItem(dialog, IDC_FRAME_LIST));
                  pressKey(VK_ESCAPE);
              })
        .then("Velmora", readInto(afterEscape))
        .then(kCaption,
              [](HWND dialog) {
                  SetForegroundWindow(dialog);
                  clickLine(GetDlgItem(dialog, IDC_FRAME_LIST), 2, false);
                  SetFocus(GetDlgItem(dialog, IDC_FRAME_LIST));
                  pressKey(VK_RETURN);
              })
        .then("Velmora", pressOk());
    question.ask(script);

    EXPECT_EQ(afterEscape.text, messages::kNoFrameSelected);
    EXPECT_EQ(question.answer, "NOCHE     ");
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.failures(), std::vector<std::string>{});
}

TEST(FrameDialog, opensTheGuideAtItsOwnPageOnF1) {
    FrameQuestion question;
    ModalScript script;
    std::string pageShown;
    HWND guideOwner = nullptr, dialogShown = nullptr;
    script
        .then(kCaption,
              [&](HWND dialog) {
                  dialogShown = dialog;
                  SetForegroundWindow(dialog);
                  SetFocus(GetDlgItem(dialog, IDC_FRAME_LIST));
                  pressKey(VK_F1);
                  pumpUntil([&] { return question.subject.window->guideWindow() != nullptr; }, 5s);
                  if (const auto* guide = question.subject.window->guideWindow()) {
                      pageShown = guide->page().name;
                      guideOwner = guide->owner();
                  }
                  clickLine(GetDlgItem(dialog, IDC_FRAME_LIST), 0, false);
                  pressOk()(dialog);
              })
        .then("Velmora", pressOk());
    question.ask(script);

    EXPECT_EQ(pageShown, "marcos.html");
    EXPECT_EQ(guideOwner, dialogShown);
    EXPECT_TRUE(script.finished());
}

} // namespace
} // namespace velmora::testing::win32
