// FileListItem: the common part of the install_file record written from a real entry and read
// back (missing keys tolerated), the row's height and shortened text, and how it is drawn.
#include "FileListItem.h"

#include "LibBitmap.h"
#include "LibEntry.h"

#include <Entry.h>
#include <Font.h>
#include <ListView.h>
#include <Message.h>
#include <Node.h>
#include <TypeConstants.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

using namespace gui_test;
namespace fs = std::filesystem;

namespace {

bool
same_pixels(const BBitmap* first, const BBitmap* second)
{
	return first != NULL && second != NULL && first->Bounds() == second->Bounds()
		&& first->BitsLength() == second->BitsLength()
		&& memcmp(first->Bits(), second->Bits(), first->BitsLength()) == 0;
}

// The 16 × 16 icon of a row that has none: every pixel transparent.
bool
is_empty_icon(const BBitmap* icon)
{
	LibBitmap empty(BRect(0, 0, 15, 15), B_CMAP8);
	memset(empty.Bits(), B_TRANSPARENT_MAGIC_CMAP8, empty.BitsLength());
	return icon->ColorSpace() == B_CMAP8 && same_pixels(icon, &empty);
}

} // namespace

TEST(FileListItemTest, AWrittenRowReadsBackIntoANewRow)
{
	ScopedTempDir folder;
	const std::string path = folder.Child("Notes");
	fs::create_directories(path);
	std::ofstream(path + "/text") << std::string(1000, 'n');
	BNode node(path.c_str());
	ASSERT_EQ(6, node.WriteAttr("Author", B_STRING_TYPE, 0, "Quill", 6));

	FileListItem item(path.c_str(), true, true);
	item.SetType(FileListItem::FILE_TYPE_FOLDER);
	BMessage record;
	item.Write(record);

	EXPECT_STREQ(path.c_str(), record.GetString("file_name", ""));
	EXPECT_EQ(2, record.GetInt8("file_type", 0));
	EXPECT_EQ(LibEntrySize(path.c_str(), true), record.GetInt32("file_size", 0));
	struct stat st;
	ASSERT_EQ(0, stat(path.c_str(), &st));
	EXPECT_EQ((int64)st.st_mtime, record.GetInt64("file_modified", -1));
	EXPECT_EQ((int64)st.st_atime, record.GetInt64("file_accessed", -1));

	FileListItem copy(false, false);
	copy.Read(record);
	EXPECT_EQ(item.Path(), copy.Path());
	EXPECT_STREQ("Notes", copy.DisplayText());
	EXPECT_EQ(FileListItem::FILE_TYPE_FOLDER, copy.Type());
	EXPECT_TRUE(same_pixels(item.Icon(), copy.Icon()));
	EXPECT_FALSE(is_empty_icon(copy.Icon()));

	// A row made from another takes its entry and flag and the indent it is given.
	FileListItem again(item, false);
	EXPECT_FALSE(again.Indent());
	EXPECT_STREQ(path.c_str(), again.DisplayText());
	EXPECT_TRUE(same_pixels(item.Icon(), again.Icon()));
}

TEST(FileListItemTest, ReadTakesWhatTheRecordHoldsAndKeepsTheRest)
{
	BMessage icon;
	LibBitmap painted(BRect(0, 0, 15, 15), B_CMAP8);
	memset(painted.Bits(), 42, painted.BitsLength());
	painted.Archive(&icon, true);
	BMessage nothing;

	struct Row {
		const char* name;
		bool hasName;
		bool hasType;
		const BMessage* icon;
	};

	const Row rows[] = {
		{ "everything", true, true, &icon },
		{ "no icon", true, true, NULL },
		{ "no type", true, false, &icon },
		{ "nothing", false, false, NULL },
		// An icon record that holds no bitmap leaves the row without an icon.
		{ "broken icon", true, true, &nothing },
	};
	for (const Row& row : rows) {
		BMessage record;
		if (row.hasName)
			record.AddString("file_name", "/boot/home/apps/Demo/Read Me");
		if (row.hasType)
			record.AddInt8("file_type", 1);
		if (row.icon != NULL)
			record.AddMessage("file_icon", row.icon);

		FileListItem item(false, false);
		item.Read(record);
		EXPECT_STREQ(row.hasName ? "Read Me" : "", item.DisplayText()) << row.name;
		EXPECT_EQ(row.hasType ? 1 : 0, item.Type()) << row.name;
		const bool expected =
			row.icon == &icon ? same_pixels(&painted, item.Icon()) : is_empty_icon(item.Icon());
		EXPECT_TRUE(expected) << row.name;
	}
}

TEST(FileListItemTest, UpdateSetsTheHeightAndShortensTheTextOnce)
{
	const char* path = "/boot/home/config/settings/a-rather-long-folder-name/Demo Application";
	BListView owner(BRect(0, 0, 150, 100), "custom_list");
	BFont font(be_plain_font);
	for (bool indent : { false, true }) {
		for (uint32 mode : { 0u, (uint32)B_TRUNCATE_BEGINNING }) {
			FileListItem item(indent, true);
			BMessage record;
			record.AddString("file_name", path);
			item.Read(record);
			item.SetTruncateMode(mode);
			item.Update(&owner, &font);
			EXPECT_EQ(18, item.Height());
			const std::string shown = item.DisplayText();
			if (mode == 0) {
				EXPECT_EQ(path, shown);
				continue;
			}
			EXPECT_LE(font.StringWidth(shown.c_str()), 150 - (indent ? 16 : 3) - 14 - 7);
			EXPECT_TRUE(std::string(path).ends_with(shown.substr(3))) << shown;
			// The whole path comes back only when the text is set again.
			item.Update(&owner, &font);
			EXPECT_EQ(shown, item.DisplayText());
			item.SetDisplayText();
			EXPECT_STREQ(path, item.DisplayText());
		}
	}
}

TEST(FileListItemTest, SelectedRowsAreGreyAndShowTheirIconAtTheMargin)
{
	ScopedTempDir folder;
	fs::create_directories(folder.Path() / "Folder");
	BWindow* window = new BWindow(BRect(100, 100, 299, 199), "rows", B_TITLED_WINDOW, 0);
	BListView* list = new BListView(BRect(0, 0, 199, 99), "custom_list");
	list->SetViewColor(255, 255, 255);
	window->AddChild(list);
	FileListItem selected(folder.Child("Folder").c_str(), false, false);
	FileListItem indented(folder.Child("Folder").c_str(), true, false);
	list->AddItem(&selected);
	list->AddItem(&indented);
	list->Select(0);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	QImage image = grab(window);
	const rgb_color grey = make_color(216, 216, 216);
	const rgb_color white = make_color(255, 255, 255);
	// Whether some pixel of the rectangle differs from the background.
	auto drawn = [&](float left, float top, float right, float bottom, rgb_color background) {
		for (int y = (int)top; y <= (int)bottom; y++) {
			for (int x = (int)left; x <= (int)right; x++) {
				QRgb value = image.pixel(x, y);
				if (make_color(qRed(value), qGreen(value), qBlue(value)) != background)
					return true;
			}
		}
		return false;
	};
	const BRect first = list->ItemFrame(0);
	const BRect second = list->ItemFrame(1);
	EXPECT_EQ(17, first.Height());
	EXPECT_FALSE(drawn(100, first.top, first.right, first.bottom, grey));
	// The icon at (margin − 1, top + 1), the text from margin + 21.
	EXPECT_TRUE(drawn(2, first.top + 1, 17, first.top + 16, grey));
	EXPECT_FALSE(drawn(0, second.top, 14, second.bottom, white));
	EXPECT_TRUE(drawn(15, second.top + 1, 30, second.top + 16, white));
	EXPECT_TRUE(drawn(37, second.top, 60, second.bottom, white));

	window->Lock();
	list->RemoveItems(0, 2);
	window->Quit();
}
