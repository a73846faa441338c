// FileListItem: the common part of the install_file record written from a real entry and read
// back (missing keys tolerated), the copy of another row, the row's height and shortened text,
// how a row is drawn, and opening the entry.
#include "FileListItem.h"

#include "LibBitmap.h"
#include "LibEntry.h"

#include <Entry.h>
#include <Font.h>
#include <ListView.h>
#include <Message.h>
#include <Mime.h>
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
		&& first->ColorSpace() == second->ColorSpace()
		&& first->BitsLength() == second->BitsLength()
		&& memcmp(first->Bits(), second->Bits(), first->BitsLength()) == 0;
}

bool
is_empty_icon(const BBitmap* icon)
{
	if (icon == NULL || icon->Bounds() != BRect(0, 0, 15, 15) || icon->ColorSpace() != B_CMAP8)
		return false;
	const uint8* bits = static_cast<const uint8*>(icon->Bits());
	for (int32 i = 0; i < icon->BitsLength(); i++) {
		if (bits[i] != B_TRANSPARENT_MAGIC_CMAP8)
			return false;
	}
	return true;
}

rgb_color
pixel(const QImage& image, float x, float y)
{
	QRgb value = image.pixel((int)x, (int)y);
	return make_color(qRed(value), qGreen(value), qBlue(value));
}

} // namespace

TEST(FileListItemTest, WriteRecordsTheEntryAsPackagesCarryIt)
{
	ScopedTempDir folder;
	const std::string path = folder.Child("Notes.txt");
	std::ofstream(path) << std::string(1000, 'n');
	BNode node(path.c_str());
	ASSERT_EQ(6, node.WriteAttr("Author", B_STRING_TYPE, 0, "Quill", 6));

	FileListItem item(path.c_str(), false, false);
	item.SetType(FileListItem::FILE_TYPE_FILE);
	BMessage record;
	item.Write(record);

	EXPECT_STREQ(path.c_str(), record.GetString("file_name", ""));
	int8 type = 0;
	ASSERT_EQ(B_OK, record.FindInt8("file_type", &type));
	EXPECT_EQ(1, type);
	int32 size = 0;
	ASSERT_EQ(B_OK, record.FindInt32("file_size", &size));
	EXPECT_EQ(LibEntrySize(path.c_str(), true), size);
	EXPECT_GE(size, 1006);

	struct stat st;
	ASSERT_EQ(0, stat(path.c_str(), &st));
	time_t created = 0;
	BEntry(path.c_str()).GetCreationTime(&created);
	EXPECT_EQ((int64)created, record.GetInt64("file_creation", -1));
	EXPECT_EQ((int64)st.st_mtime, record.GetInt64("file_modified", -1));
	EXPECT_EQ((int64)st.st_atime, record.GetInt64("file_accessed", -1));

	BMessage archive;
	ASSERT_EQ(B_OK, record.FindMessage("file_icon", &archive));
	LibBitmap icon(&archive);
	ASSERT_EQ(B_OK, icon.InitCheck());
	EXPECT_EQ(BRect(0, 0, 15, 15), icon.Bounds());
	EXPECT_TRUE(same_pixels(item.Icon(), &icon));
	EXPECT_FALSE(is_empty_icon(&icon));
}

TEST(FileListItemTest, ReadTakesWhatTheRecordHoldsAndKeepsTheRest)
{
	BMessage icon;
	LibBitmap folderIcon(BRect(0, 0, 15, 15), B_CMAP8);
	memset(folderIcon.Bits(), 42, folderIcon.BitsLength());
	folderIcon.Archive(&icon, true);

	struct Row {
		const char* name;
		bool hasName;
		bool hasType;
		bool hasIcon;
	};

	const Row rows[] = {
		{ "everything", true, true, true },
		{ "no icon", true, true, false },
		{ "no type", true, false, true },
		{ "nothing", false, false, false },
	};
	for (const Row& row : rows) {
		BMessage record;
		if (row.hasName)
			record.AddString("file_name", "/boot/home/apps/Demo/Read Me");
		if (row.hasType)
			record.AddInt8("file_type", 2);
		if (row.hasIcon)
			record.AddMessage("file_icon", &icon);
		record.AddInt32("file_size", 5000);

		FileListItem item(false, false);
		item.Read(record);
		EXPECT_STREQ(row.hasName ? "Read Me" : "", item.DisplayText()) << row.name;
		EXPECT_EQ(row.hasType ? FileListItem::FILE_TYPE_FOLDER : FileListItem::FILE_TYPE_NONE,
			item.Type())
			<< row.name;
		const bool expected =
			row.hasIcon ? same_pixels(&folderIcon, item.Icon()) : is_empty_icon(item.Icon());
		EXPECT_TRUE(expected) << row.name;
	}

	// An icon record that holds no bitmap leaves the row without an icon.
	BMessage broken;
	BMessage empty;
	broken.AddMessage("file_icon", &empty);
	FileListItem item(false, false);
	item.Read(broken);
	EXPECT_TRUE(is_empty_icon(item.Icon()));
}

TEST(FileListItemTest, AWrittenRowReadsBackIntoANewRow)
{
	ScopedTempDir folder;
	fs::create_directories(folder.Path() / "Demo/data");
	FileListItem original(folder.Child("Demo").c_str(), true, true);
	original.SetType(FileListItem::FILE_TYPE_FOLDER);
	BMessage record;
	original.Write(record);

	FileListItem copy(false, true);
	copy.Read(record);
	EXPECT_EQ(original.Path(), copy.Path());
	EXPECT_STREQ(folder.Child("Demo").c_str(), copy.DisplayText());
	EXPECT_EQ(FileListItem::FILE_TYPE_FOLDER, copy.Type());
	EXPECT_TRUE(same_pixels(original.Icon(), copy.Icon()));
	EXPECT_FALSE(is_empty_icon(copy.Icon()));

	// A copy of a row takes its entry and flag and the indent it is given.
	copy.SetTruncateMode(B_TRUNCATE_MIDDLE);
	FileListItem again(copy, true);
	EXPECT_TRUE(again.Indent());
	EXPECT_TRUE(again.ShowFullPath());
	EXPECT_EQ(copy.Path(), again.Path());
	EXPECT_EQ(FileListItem::FILE_TYPE_FOLDER, again.Type());
	EXPECT_TRUE(same_pixels(copy.Icon(), again.Icon()));
	EXPECT_EQ(0u, again.TruncateMode());
	again.SetShowFullPath(false);
	EXPECT_STREQ("Demo", again.DisplayText());
}

TEST(FileListItemTest, UpdateSetsTheHeightAndShortensTheTextOnce)
{
	const char* path = "/boot/home/config/settings/a-rather-long-folder-name/Demo Application";
	BListView owner(BRect(0, 0, 150, 100), "custom_list");
	BFont font(be_plain_font);

	struct Row {
		bool indent;
		uint32 mode;
	};

	const Row rows[] = {
		{ false, 0 },
		{ false, B_TRUNCATE_BEGINNING },
		{ true, B_TRUNCATE_BEGINNING },
		{ false, B_TRUNCATE_END },
	};
	for (const Row& row : rows) {
		FileListItem item(row.indent, true);
		item.Read([&] {
			BMessage record;
			record.AddString("file_name", path);
			return record;
		}());
		item.SetTruncateMode(row.mode);
		item.Update(&owner, &font);
		EXPECT_EQ(18, item.Height());
		std::string shown = item.DisplayText();
		if (row.mode == 0) {
			EXPECT_EQ(path, shown);
			continue;
		}
		const float width = 150 - (row.indent ? 16 : 3) - 14 - 7;
		EXPECT_LE(font.StringWidth(shown.c_str()), width) << shown;
		EXPECT_NE(path, shown);
		if (row.mode == B_TRUNCATE_BEGINNING) {
			EXPECT_TRUE(std::string(path).ends_with(shown.substr(3))) << shown;
		}
		// Shortening again changes nothing; the path is only shown whole when set again.
		item.Update(&owner, &font);
		EXPECT_EQ(shown, item.DisplayText());
		item.SetDisplayText();
		EXPECT_STREQ(path, item.DisplayText());
	}
}

TEST(FileListItemTest, SelectedRowsAreGreyAndShowTheirIcon)
{
	ScopedTempDir folder;
	fs::create_directories(folder.Path() / "Folder");
	BWindow* window = new BWindow(BRect(100, 100, 299, 199), "rows", B_TITLED_WINDOW, 0);
	BListView* list = new BListView(BRect(0, 0, 199, 99), "custom_list");
	list->SetViewColor(255, 255, 255);
	window->AddChild(list);
	FileListItem* selected = new FileListItem(folder.Child("Folder").c_str(), false, false);
	FileListItem* plain = new FileListItem(folder.Child("Folder").c_str(), true, false);
	list->AddItem(selected);
	list->AddItem(plain);
	list->Select(0);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	QImage image = grab(window);
	const BRect first = list->ItemFrame(0);
	const BRect second = list->ItemFrame(1);
	EXPECT_EQ(18, first.Height() + 1);
	EXPECT_EQ(make_color(216, 216, 216), pixel(image, first.right - 2, first.top + 1));
	EXPECT_EQ(make_color(255, 255, 255), pixel(image, second.right - 2, second.top + 1));
	// Somewhere in the 16 × 16 icon at (margin − 1, top + 1) the folder is drawn; the text
	// starts at margin + 21.
	auto drawn = [&](float left, float top, float right, float bottom, rgb_color background) {
		for (float y = top; y <= bottom; y++) {
			for (float x = left; x <= right; x++) {
				if (pixel(image, x, y) != background)
					return true;
			}
		}
		return false;
	};
	EXPECT_TRUE(drawn(2, first.top + 1, 17, first.top + 16, make_color(216, 216, 216)));
	EXPECT_TRUE(drawn(15, second.top + 1, 30, second.top + 16, make_color(255, 255, 255)));
	EXPECT_FALSE(drawn(0, second.top + 1, 14, second.bottom, make_color(255, 255, 255)));
	EXPECT_TRUE(drawn(37, second.top, 80, second.bottom, make_color(255, 255, 255)));

	window->Lock();
	list->RemoveItem(1);
	list->RemoveItem(0);
	window->Quit();
	delete selected;
	delete plain;
}

TEST(FileListItemTest, ExecuteOpensTheEntry)
{
	ScopedTempDir folder;
	const std::string program = folder.Child("Tool");
	fs::copy_file("/bin/true", program);
	fs::permissions(program, fs::perms::owner_all);
	EXPECT_EQ(B_OK, FileListItem(program.c_str(), false, true).Execute());
	EXPECT_NE(B_OK, FileListItem(folder.Child("missing").c_str(), false, true).Execute());
}
