// LibLabelControl: where the label and colon go for a divider, their font, and their colours
// when enabled and disabled.
#include "LibLabelControl.h"

#include "LibBitmap.h"

#include <Font.h>
#include <StringView.h>

#include <gtest/gtest.h>

TEST(LibLabelControlTest, LabelAndColonSitLeftOfTheDivider)
{
	struct Row {
		const char* label;
		const char* colon;
		BRect labelFrame;
		bool hasColon;
	};

	// Frame 0, 0 to 230, 25; divider 100; bottom inset 3.
	const Row rows[] = {
		{ "Disk", ":", BRect(0, 0, 88, 22), true },
		{ "Disk", NULL, BRect(0, 0, 98, 22), false },
		{ NULL, ":", BRect(), true },
	};
	for (const Row& row : rows) {
		LibLabelControl control(
			BRect(0, 0, 230, 25), 100, "control", row.label, 3, row.colon, B_FOLLOW_NONE);
		BView* label = control.FindView("label");
		BView* colon = control.FindView("colon");
		EXPECT_EQ(row.label != NULL, label != NULL);
		EXPECT_EQ(row.hasColon, colon != NULL);
		if (label != NULL) {
			EXPECT_EQ(row.labelFrame, label->Frame());
			EXPECT_STREQ(row.label, control.LabelText());
			BFont font;
			label->GetFont(&font);
			EXPECT_EQ(12, font.Size());
			EXPECT_NE(0, font.Face() & B_BOLD_FACE);
		} else {
			EXPECT_STREQ("", control.LabelText());
		}
		if (colon != NULL) {
			EXPECT_EQ(BRect(89, 0, 98, 22), colon->Frame());
			EXPECT_STREQ(":", static_cast<BStringView*>(colon)->Text());
		}
	}
}

TEST(LibLabelControlTest, DisablingGreysLabelAndColon)
{
	LibLabelControl control(BRect(0, 0, 230, 25), 100, "control", "Disk", 3, ":", B_FOLLOW_NONE);
	BView* views[] = { control.FindView("label"), control.FindView("colon") };
	control.SetEnabled(false);
	for (BView* view : views)
		EXPECT_EQ(lib_nearest_system_color(128, 128, 128), view->HighColor());
	control.SetEnabled(true);
	for (BView* view : views)
		EXPECT_EQ(lib_nearest_system_color(0, 0, 0), view->HighColor());
}
