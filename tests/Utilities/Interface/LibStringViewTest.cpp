// LibStringView: texts shortened to the view's width in each truncation mode, never inside a
// UTF-8 character, and Show()/Hide() that never nest.
#include "LibStringView.h"

#include <Application.h>
#include <Font.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace gui_test;

namespace {

const char* const kEllipsis = "\xE2\x80\xA6";
const char* const kPath = "/boot/home/Desktop/Some Vendor/A Long Product Name 2.1/Demo Player";

bool
starts_with(const std::string& text, const std::string& start)
{
	return text.compare(0, start.size(), start) == 0;
}

bool
ends_with(const std::string& text, const std::string& end)
{
	return text.size() >= end.size()
		&& text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool
valid_utf8(const std::string& text)
{
	for (size_t i = 0; i < text.size();) {
		unsigned char lead = text[i];
		size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 4;
		if ((lead & 0xC0) == 0x80 || i + length > text.size())
			return false;
		for (size_t j = 1; j < length; j++) {
			if (((unsigned char)text[i + j] & 0xC0) != 0x80)
				return false;
		}
		i += length;
	}
	return true;
}

} // namespace

TEST(LibStringViewTest, EachModeKeepsItsPartOfALongPath)
{
	LibStringView view(BRect(0, 0, 199, 15), "to_path", "");
	view.SetTruncatedText("/boot/home", B_TRUNCATE_BEGINNING);
	EXPECT_STREQ("/boot/home", view.Text());

	struct Row {
		uint32 mode;
		std::string start;
		std::string end;
	};

	const Row rows[] = {
		{ B_TRUNCATE_END, "/boot/home/", kEllipsis },
		{ B_TRUNCATE_BEGINNING, kEllipsis, "/Demo Player" },
		{ B_TRUNCATE_MIDDLE, "/boot/", "Player" },
		{ B_TRUNCATE_SMART, "/boot/", std::string(kEllipsis) + "/Demo Player" },
	};
	for (const Row& row : rows) {
		view.SetTruncatedText(kPath, row.mode);
		std::string shown = view.Text();
		EXPECT_LT(shown.size(), strlen(kPath)) << row.mode;
		EXPECT_TRUE(starts_with(shown, row.start)) << row.mode << " " << shown;
		EXPECT_TRUE(ends_with(shown, row.end)) << row.mode << " " << shown;
		EXPECT_NE(std::string::npos, shown.find(kEllipsis)) << row.mode;
		EXPECT_LE(view.StringWidth(shown.c_str()), 199) << row.mode;
	}
}

TEST(LibStringViewTest, ShorteningNeverSplitsACharacter)
{
	const char* text = "/boot/home/R\xC3\xA9sum\xC3\xA9s/\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC/"
					   "\xF0\x9F\x93\x81 Dossier \xC3\xA9t\xC3\xA9";
	const float full = be_plain_font->StringWidth(text);
	const uint32 modes[] = { B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE,
		B_TRUNCATE_SMART };
	for (uint32 mode : modes) {
		for (float width = 4; width < full; width += 3) {
			LibStringView view(BRect(0, 0, width, 15), "label", "");
			view.SetTruncatedText(text, mode);
			EXPECT_TRUE(valid_utf8(view.Text())) << mode << " " << width << " " << view.Text();
		}
	}
	// Too narrow even for the ellipsis: nothing, rather than part of a character.
	LibStringView narrow(BRect(0, 0, 0, 15), "label", "");
	narrow.SetTruncatedText(text, B_TRUNCATE_END);
	EXPECT_TRUE(valid_utf8(narrow.Text()));
	narrow.SetTruncatedText(NULL, B_TRUNCATE_END);
	EXPECT_STREQ("", narrow.Text());
}

TEST(LibStringViewTest, ShowAndHideNeverNest)
{
	BApplication application("application/x-vnd.test-lib-string-view");
	BWindow* window = new BWindow(BRect(50, 50, 249, 99), "Labels", B_TITLED_WINDOW, 0);
	LibStringView* view = new LibStringView(BRect(10, 10, 150, 25), "label", "Text");
	window->AddChild(view);

	// In a hidden window the view is not hidden itself, so Show() changes nothing.
	view->Show();
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	window->Lock();
	EXPECT_FALSE(view->IsHidden());

	view->Hide();
	view->Hide();
	EXPECT_TRUE(view->IsHidden());
	view->Show();
	EXPECT_FALSE(view->IsHidden());

	view->Show();
	view->Show();
	view->Hide();
	EXPECT_TRUE(view->IsHidden());
	view->Show();
	EXPECT_FALSE(view->IsHidden());
	window->Quit();
}
