// BStatusBar: Reset sets the labels and clears the rest, Update moves the value by a
// delta within the maximum and replaces the texts, by calls and by messages.
#include <AppDefs.h>
#include <Application.h>
#include <Message.h>
#include <StatusBar.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace gui_test;

TEST(StatusBarTest, ResetAndUpdateSetTheTextsAndTheValue)
{
	BApplication application("application/x-vnd.test-status-bar");
	BWindow* window = new BWindow(BRect(100, 100, 399, 199), "Status", B_TITLED_WINDOW, 0);
	BStatusBar* bar = new BStatusBar(BRect(10, 10, 289, 20), "status", "Copying:", "files");
	window->AddChild(bar);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	window->Lock();
	// The bar grows to hold its text line and the bar.
	EXPECT_GT(bar->Bounds().Height(), bar->BarHeight());
	EXPECT_STREQ("Copying:", bar->Label());
	EXPECT_STREQ("files", bar->TrailingLabel());
	EXPECT_EQ(100, bar->MaxValue());

	struct Row {
		const char* what;
		std::function<void()> action;
		const char* label;
		const char* trailingLabel;
		const char* text;
		const char* trailingText;
		float value;
	};

	std::vector<Row> rows = {
		{ "update", [&] { bar->Update(10, "a.txt", "1 of 4"); }, "Copying:", "files", "a.txt",
			"1 of 4", 10 },
		{ "update adds", [&] { bar->Update(25.5f, "b.txt", "2 of 4"); }, "Copying:", "files",
			"b.txt", "2 of 4", 35.5f },
		{ "update without texts clears them", [&] { bar->Update(5); }, "Copying:", "files", "", "",
			40.5f },
		{ "the value stops at the maximum", [&] { bar->Update(500, "c"); }, "Copying:", "files",
			"c", "", 100 },
		{ "and at zero", [&] { bar->Update(-500); }, "Copying:", "files", "", "", 0 },
		{ "reset",
			[&] {
				bar->SetMaxValue(20);
				bar->Update(7, "d", "e");
				bar->Reset("Removing:", "items");
			},
			"Removing:", "items", "", "", 0 },
		{ "reset without labels", [&] { bar->Reset(); }, "", "", "", "", 0 },
	};
	for (const Row& row : rows) {
		SCOPED_TRACE(row.what);
		row.action();
		EXPECT_STREQ(row.label, bar->Label());
		EXPECT_STREQ(row.trailingLabel, bar->TrailingLabel());
		EXPECT_STREQ(row.text, bar->Text());
		EXPECT_STREQ(row.trailingText, bar->TrailingText());
		EXPECT_EQ(row.value, bar->CurrentValue());
	}
	EXPECT_EQ(100, bar->MaxValue());
	window->Unlock();

	// Another thread drives the bar by messages.
	BMessage reset(B_RESET_STATUS_BAR);
	reset.AddString("label", "Scanning");
	window->PostMessage(&reset, bar);
	BMessage update(B_UPDATE_STATUS_BAR);
	update.AddFloat("delta", 30);
	update.AddString("text", "/boot/home");
	update.AddString("trailing_text", "3");
	window->PostMessage(&update, bar);
	ASSERT_TRUE(wait_until([&] {
		window->Lock();
		bool done = bar->CurrentValue() == 30;
		window->Unlock();
		return done;
	}));
	window->Lock();
	EXPECT_STREQ("Scanning", bar->Label());
	EXPECT_STREQ("/boot/home", bar->Text());
	EXPECT_STREQ("3", bar->TrailingText());
	bar->SetBarColor(make_color(200, 0, 0));
	window->Unlock();
	QImage image = grab(window);
	window->Lock();
	// A third of the bar shows in the bar colour.
	BRect frame = bar->Frame();
	int y = (int)frame.bottom - 4;
	EXPECT_EQ(qRgb(200, 0, 0), image.pixel((int)frame.left + 20, y));
	EXPECT_NE(qRgb(200, 0, 0), image.pixel((int)frame.right - 20, y));
	window->Quit();
}

// BeOS joins the texts as they are: label ".../" and text "folder" read ".../folder", and
// trailing text "3" with trailing label " found" reads "3 found". A bar drawing them must
// look exactly like one that was given the joined texts.
TEST(StatusBarTest, LabelsAndTextsAreJoinedWithoutBlanks)
{
	BApplication application("application/x-vnd.test-status-bar");
	BWindow* window = new BWindow(BRect(100, 100, 399, 199), "Status", B_TITLED_WINDOW, 0);
	BStatusBar* parts = new BStatusBar(BRect(10, 10, 289, 20), "parts", ".../", " found");
	BStatusBar* joined = new BStatusBar(BRect(10, 50, 289, 60), "joined", "", "");
	window->AddChild(parts);
	window->AddChild(joined);
	parts->Update(0, "folder", "3");
	joined->Update(0, ".../folder", "3 found");
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	QImage image = grab(window);
	window->Lock();
	const BRect first = parts->Frame();
	const BRect second = joined->Frame();
	ASSERT_EQ(first.Height(), second.Height());
	int differing = 0;
	for (int y = 0; y <= (int)first.Height(); y++) {
		for (int x = 0; x <= (int)first.Width(); x++) {
			if (image.pixel((int)first.left + x, (int)first.top + y)
				!= image.pixel((int)second.left + x, (int)second.top + y))
				differing++;
		}
	}
	EXPECT_EQ(0, differing);
	window->Quit();
}
