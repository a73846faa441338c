// BTextView, the part alerts use: the text, wrapping at word boundaries to the text
// rectangle, and the line measurements.
#include <TextView.h>

#include <gtest/gtest.h>

#include <string>

TEST(TextViewTest, TextWrapsAtWordsToTheTextRectangle)
{
	BTextView view(BRect(0, 0, 199, 99), "text", BRect(0, 0, 199, 99), B_FOLLOW_NONE, 0);
	view.SetText("short");
	EXPECT_STREQ("short", view.Text());
	EXPECT_EQ(5, view.TextLength());
	EXPECT_EQ(1, view.CountLines());

	std::string text;
	for (int32 i = 0; i < 30; i++)
		text += "word ";
	view.SetText(text.c_str());
	int32 lines = view.CountLines();
	EXPECT_GT(lines, 2);
	EXPECT_FLOAT_EQ(view.LineHeight() * lines, view.TextHeight(0, lines - 1));

	// A narrower rectangle takes more lines; without wrapping there is one.
	view.SetTextRect(BRect(0, 0, 99, 99));
	EXPECT_GT(view.CountLines(), lines);
	view.SetWordWrap(false);
	EXPECT_EQ(1, view.CountLines());

	// Line breaks in the text always break.
	view.SetText("one\ntwo\n\nfour");
	EXPECT_EQ(4, view.CountLines());
	view.SetText("abc", 2);
	EXPECT_STREQ("ab", view.Text());
}

TEST(TextViewTest, EditingFlagsAndFontAreKept)
{
	BTextView view(BRect(0, 0, 99, 99), "text", BRect(0, 0, 99, 99), B_FOLLOW_NONE, 0);
	EXPECT_TRUE(view.IsEditable());
	view.MakeEditable(false);
	view.MakeSelectable(false);
	EXPECT_FALSE(view.IsEditable());
	EXPECT_FALSE(view.IsSelectable());
	EXPECT_NE(0u, view.Flags() & B_FRAME_EVENTS);

	BFont font(be_bold_font);
	font.SetSize(10);
	rgb_color red = make_color(255, 0, 0);
	view.SetFontAndColor(&font, B_FONT_ALL, &red);
	BFont current;
	rgb_color color;
	view.GetFontAndColor(&current, NULL, &color);
	EXPECT_EQ(font, current);
	EXPECT_EQ(red, color);
}
