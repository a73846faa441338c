// LibStringView: each truncation mode keeps its part of a long path, no mode splits a UTF-8
// character, and Show()/Hide() never nest.
#include "LibStringView.h"

#include <Font.h>

#include "WidgetTestHelpers.h"

#include <QString>

#include <string>

namespace {

const std::string kEllipsis = "\xE2\x80\xA6";

// Invalid UTF-8 does not survive a round trip through Qt's decoder.
bool
valid_utf8(const std::string& text)
{
	return QString::fromUtf8(text.c_str()).toUtf8().toStdString() == text;
}

} // namespace

TEST(LibStringViewTest, EachModeKeepsItsPartOfALongPath)
{
	const std::string path = "/boot/home/Desktop/Some Vendor/A Long Product Name 2.1/Demo Player";
	LibStringView view(BRect(0, 0, 199, 15), "to_path", "");
	view.SetTruncatedText("/boot/home", B_TRUNCATE_BEGINNING);
	EXPECT_STREQ("/boot/home", view.Text());

	const struct {
		uint32 mode;
		std::string start;
		std::string end;
	} rows[] = {
		{ B_TRUNCATE_END, "/boot/home/", kEllipsis },
		{ B_TRUNCATE_BEGINNING, kEllipsis, "/Demo Player" },
		{ B_TRUNCATE_MIDDLE, "/boot/", "Player" },
		{ B_TRUNCATE_SMART, "/boot/", kEllipsis + "/Demo Player" },
	};

	for (const auto& row : rows) {
		view.SetTruncatedText(path.c_str(), row.mode);
		const std::string shown = view.Text();
		EXPECT_EQ(0u, shown.find(row.start)) << row.mode << " " << shown;
		EXPECT_EQ(shown.size() - row.end.size(), shown.rfind(row.end)) << row.mode << " " << shown;
		EXPECT_LE(view.StringWidth(shown.c_str()), 199) << row.mode;
	}
}

TEST(LibStringViewTest, ShorteningNeverSplitsACharacter)
{
	const char* text =
		"/boot/R\xC3\xA9sum\xC3\xA9s/\xE2\x82\xAC\xE2\x82\xAC/\xF0\x9F\x93\x81 \xC3\xA9t\xC3\xA9";
	const float full = be_plain_font->StringWidth(text);
	for (uint32 mode :
		{ B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE, B_TRUNCATE_SMART }) {
		for (float width = 0; width < full; width += 3) {
			LibStringView view(BRect(0, 0, width, 15), "label", "");
			view.SetTruncatedText(text, mode);
			EXPECT_TRUE(valid_utf8(view.Text())) << mode << " " << width << " " << view.Text();
		}
	}
}

class LibStringViewWindowTest : public widget_test::WindowTest { };

TEST_F(LibStringViewWindowTest, ShowAndHideNeverNest)
{
	Open({});
	LibStringView* view = new LibStringView(BRect(10, 10, 150, 25), "label", "Text");
	fWindow->AddChild(view);
	// In a hidden window the view is not hidden itself: Show() leaves it alone.
	view->Show();
	ShowWindow();
	fWindow->Lock();
	EXPECT_FALSE(view->IsHidden());
	view->Hide();
	view->Hide();
	view->Show();
	EXPECT_FALSE(view->IsHidden());
	view->Show();
	view->Hide();
	EXPECT_TRUE(view->IsHidden());
	fWindow->Unlock();
}
