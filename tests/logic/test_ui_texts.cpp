#include <gtest/gtest.h>

#include "assets/ui_texts.h"
#include "test_support.h"

namespace {

std::string numbered_lines(int count, const char* ending = "\n", bool last_ending = true) {
    std::string text;
    for (int i = 0; i < count; i++) {
        text += "line " + std::to_string(i + 1);
        if (i + 1 < count || last_ending) text += ending;
    }
    return text;
}

void fill_slots(const std::string& value) {
    for (std::string& slot : ui_texts.slot) slot = value;
}

}  // namespace

TEST(UiTexts, FileOfFiftyLinesWithoutAFinalLineEnd) {
    TempFolder folder;
    folder.write("media/tekstyOrvo.txt", numbered_lines(50, "\n", false));
    fill_slots("old");
    load_ui_texts();
    EXPECT_EQ(ui_texts.slot[0], "line 1");
    EXPECT_EQ(ui_texts.slot[49], "line 50");
    EXPECT_EQ(ui_texts.slot[50], "old");  // slots past 49 are never filled
}

TEST(UiTexts, ShortFileEmptiesOneSlotAndKeepsTheRest) {
    TempFolder folder;
    folder.write("media/tekstyOrvo.txt", numbered_lines(40));
    fill_slots("old");
    load_ui_texts();
    EXPECT_EQ(ui_texts.slot[39], "line 40");
    EXPECT_EQ(ui_texts.slot[40], "");
    EXPECT_EQ(ui_texts.slot[41], "old");
    EXPECT_EQ(ui_texts.slot[49], "old");
}

TEST(UiTexts, LongFileAndCarriageReturns) {
    TempFolder folder;
    folder.write("media/tekstyOrvo.txt", numbered_lines(60, "\r\n"));
    load_ui_texts();
    EXPECT_EQ(ui_texts.slot[0], "line 1");
    EXPECT_EQ(ui_texts.slot[49], "line 50");
}

TEST(UiTexts, MissingFileKeepsEarlierTexts) {
    TempFolder folder;
    fill_slots("earlier");
    load_ui_texts();
    EXPECT_EQ(ui_texts.slot[7], "earlier");
}

TEST(UiTexts, BrokenUtf8IsRepairedValidKeptAsIs) {
    TempFolder folder;
    folder.write("media/tekstyOrvo.txt", "Poziom \xc5\x82\xc3\xb3 ok\nbad \xc5 \xff \xed\xa0\x80 end\n");
    load_ui_texts();
    EXPECT_EQ(ui_texts.slot[0], "Poziom \xc5\x82\xc3\xb3 ok");
    EXPECT_EQ(ui_texts.slot[1], "bad ? ? ??? end");
}

TEST(UiTexts, TemplatesNeverReachPrintfUnchecked) {
    struct Case {
        const char* text;
        bool takes_number;
        const char* expected;
    } cases[] = {
        {"Level %d", true, "Level 42"},
        {"%3d pushes", true, " 42 pushes"},
        {"%-4d|", true, "42  |"},
        {"100%% done", false, "100% done"},
        {"%d and %d", true, "42 and %d"},
        {"no number %d", false, "no number %d"},
        {"%s %n %x", true, "%s %n %x"},
        {"%999999999d", true, "%999999999d"},
        {"%.5d", true, "%.5d"},
        {"ends with %", true, "ends with %"},
        {"%", false, "%"},
        {"%i levels", true, "42 levels"},
        {"%--------------------5d|", true, "42   |"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(format_template(c.text, c.takes_number, 42), c.expected);
    }
}

TEST(UiTexts, SlotsFormatWithTheirArgument) {
    ui_texts.slot[15] = "%d levels";
    ui_texts.slot[14] = "Help 100%%";
    EXPECT_EQ(format_slot(15, 40), "40 levels");
    EXPECT_EQ(format_slot(14), "Help 100%");
}
