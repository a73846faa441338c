// Entry information: references and paths (links never followed), kinds of entry, sizes
// with and without attributes, dates in local and calendar time, and the request to the
// desktop shell to open an entry.
#include "LibEntry.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <AppDefs.h>
#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <MessengerPrivate.h>
#include <NodeInfo.h>
#include <Path.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <sys/stat.h>

using namespace file_test;

namespace {

std::string
path_of(const entry_ref& ref)
{
	LibString path;
	LibGetFullPath(ref, path);
	return (const char*)path;
}

void
expect_date(
	const LibDateTime& date, int day, int month, int year, int hours, int minutes, int seconds)
{
	EXPECT_EQ(date.GetDay(), day);
	EXPECT_EQ(date.GetMonth(), month);
	EXPECT_EQ(date.GetYear(), year);
	EXPECT_EQ(date.GetHours(), hours);
	EXPECT_EQ(date.GetMinutes(), minutes);
	EXPECT_EQ(date.GetSeconds(), seconds);
}

void
expect_local(const LibDateTime& date, time_t when)
{
	struct tm local;
	localtime_r(&when, &local);
	expect_date(date, local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour,
		local.tm_min, local.tm_sec);
}

off_t
own_size(const std::string& path)
{
	struct stat st;
	lstat(path.c_str(), &st);
	return st.st_size;
}

// Stands in for the desktop shell: keeps the entries it was asked to open.
class ShellStandIn : public BLooper {
public:
	ShellStandIn() :
		BLooper("shell stand-in")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != B_REFS_RECEIVED)
			return BLooper::MessageReceived(message);
		entry_ref ref;
		std::lock_guard<std::mutex> lock(fLock);
		if (message->FindRef("refs", &ref) == B_OK)
			fOpened.push_back(path_of(ref));
		fArrived.notify_all();
	}

	std::vector<std::string> WaitForOne()
	{
		std::unique_lock<std::mutex> lock(fLock);
		fArrived.wait_for(lock, std::chrono::seconds(10), [this] { return !fOpened.empty(); });
		return fOpened;
	}

private:
	std::mutex fLock;
	std::condition_variable fArrived;
	std::vector<std::string> fOpened;
};

} // namespace

TEST(LibEntry, ReferencesAndPathsNameEntriesNotWhatLinksPointAt)
{
	ScopedTempDir temp;
	mkdir(temp.Child("folder").c_str(), 0755);
	write_file(temp.Child("folder/file"), "x");
	symlink(temp.Child("folder/file").c_str(), temp.Child("link").c_str());

	entry_ref ref;
	ASSERT_TRUE(LibGetEntryRef(temp.Child("link").c_str(), ref));
	EXPECT_EQ(path_of(ref), temp.Child("link"));
	BPath path;
	EXPECT_TRUE(LibGetFullPath(ref, path));
	EXPECT_EQ(std::string(path.Path()), temp.Child("link"));

	// An entry that does not exist yet, in a folder that does.
	ASSERT_TRUE(LibGetEntryRef(temp.Child("folder/new").c_str(), ref));
	EXPECT_STREQ(ref.name, "new");
	EXPECT_FALSE(LibGetEntryRef(temp.Child("missing/new").c_str(), ref));
	EXPECT_FALSE(LibGetEntryRef(NULL, ref));

	entry_ref folder;
	ASSERT_TRUE(LibGetEntryRef(temp.Child("folder").c_str(), folder));
	ASSERT_TRUE(LibGetPath(folder, "file", path));
	EXPECT_EQ(std::string(path.Path()), temp.Child("folder/file"));

	ASSERT_TRUE(LibGetEntryRef(temp.Child("folder/file").c_str(), ref));
	EXPECT_EQ(path_of(LibGetParentRef(ref)), temp.Child("folder"));
	EXPECT_EQ(LibGetParentRef(entry_ref()), entry_ref());

	LibString parent;
	ASSERT_TRUE(LibGetParentPath(temp.Child("folder/file").c_str(), parent));
	EXPECT_EQ(std::string((const char*)parent), temp.Child("folder"));

	char leaf[B_FILE_NAME_LENGTH];
	ASSERT_TRUE(LibGetChildName(temp.Child("folder/file").c_str(), leaf));
	EXPECT_STREQ(leaf, "file");
}

TEST(LibEntry, WorkingDirectoryIsTheExecutablesFolder)
{
	char executable[4096] = {};
	ASSERT_GT(readlink("/proc/self/exe", executable, sizeof(executable) - 1), 0);
	BPath path;
	ASSERT_TRUE(LibGetWorkingDirectory(path));
	std::string expected = executable;
	EXPECT_EQ(std::string(path.Path()), expected.substr(0, expected.rfind('/')));
}

TEST(LibEntry, SettingsPathIsUserSettingsFolder)
{
	BPath settings;
	ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &settings), B_OK);
	LibString path;
	EXPECT_TRUE(LibGetSettingsPath(path));
	EXPECT_STREQ(path, settings.Path());

	char buffer[B_PATH_NAME_LENGTH];
	EXPECT_TRUE(LibGetSettingsPath(buffer, sizeof(buffer)));
	EXPECT_STREQ(buffer, settings.Path());
	char small[6];
	EXPECT_TRUE(LibGetSettingsPath(small, sizeof(small)));
	EXPECT_EQ(std::string(small), std::string(settings.Path()).substr(0, 5));
}

TEST(LibEntry, FilePathOfSavePanelReplyStripsName)
{
	ScopedTempDir temp;
	entry_ref directory;
	ASSERT_TRUE(LibGetEntryRef(temp.Path().c_str(), directory));
	BMessage reply(B_SAVE_REQUESTED);
	reply.AddRef("directory", &directory);
	reply.AddString("name", "  report  ");

	BPath path;
	EXPECT_EQ(LibGetFilePath(&reply, path), 6);
	EXPECT_EQ(std::string(path.Path()), temp.Child("report"));
	EXPECT_EQ(LibGetFilePath(NULL, path), 0);
}

TEST(LibEntry, KindNamesOfEntries)
{
	ScopedTempDir temp;
	mkdir(temp.Child("folder").c_str(), 0755);
	write_file(temp.Child("notes.txt"), "Some plain words.\n");
	write_file(temp.Child("program"), read_file("/proc/self/exe"));
	chmod(temp.Child("program").c_str(), 0755);
	symlink("notes.txt", temp.Child("link").c_str());

	struct Row {
		const char* name;
		const char* kind;
	};

	const Row rows[] = { { "folder", "Folder" }, { "program", "Be Application" },
		{ "notes.txt", "Unknown" }, { "link", "Symbolic Link" } };
	for (const Row& row : rows) {
		entry_ref ref;
		ASSERT_TRUE(LibGetEntryRef(temp.Child(row.name).c_str(), ref));
		char type[B_MIME_TYPE_LENGTH];
		EXPECT_TRUE(LibGetMimeType(ref, type, true)) << row.name;
		EXPECT_STREQ(type, row.kind) << row.name;
	}

	entry_ref ref;
	ASSERT_TRUE(LibGetEntryRef(temp.Child("notes.txt").c_str(), ref));
	char type[B_MIME_TYPE_LENGTH];
	EXPECT_TRUE(LibGetMimeType(ref, type, false));
	EXPECT_STREQ(type, "text/plain");
	// Asking wrote nothing.
	EXPECT_TRUE(attributes_of(temp.Child("notes.txt")).empty());

	ASSERT_TRUE(LibSetMimeType(temp.Child("notes.txt").c_str(), "text/x-source-code"));
	EXPECT_TRUE(LibGetMimeType(ref, type, false));
	EXPECT_STREQ(type, "text/x-source-code");
}

TEST(LibEntry, FileTypeAlsoSetsPreferredApplication)
{
	ScopedTempDir temp;
	write_file(temp.Child("script"), "echo\n");

	ASSERT_TRUE(
		LibSetFileType(temp.Child("script").c_str(), "text/plain", "application/x-vnd.Be-STEE"));

	BNode node(temp.Child("script").c_str());
	BNodeInfo info(&node);
	char value[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(info.GetType(value), B_OK);
	EXPECT_STREQ(value, "text/plain");
	ASSERT_EQ(info.GetPreferredApp(value), B_OK);
	EXPECT_STREQ(value, "application/x-vnd.Be-STEE");
	EXPECT_FALSE(LibSetFileType(temp.Child("missing").c_str(), "text/plain", "application/x"));
}

TEST(LibEntry, SizeCountsDataAttributesAndContents)
{
	ScopedTempDir temp;
	std::string folder = temp.Child("folder");
	mkdir(folder.c_str(), 0755);
	EXPECT_EQ(LibEntrySize(folder.c_str(), false), own_size(folder));
	EXPECT_EQ(LibEntrySize(folder.c_str(), true), own_size(folder));

	write_file(folder + "/file", std::string(1000, 'x'));
	ASSERT_TRUE(set_attribute(folder + "/file", "one", B_RAW_TYPE, std::string(100, 'a')));
	ASSERT_TRUE(set_attribute(folder + "/file", "two", B_STRING_TYPE, "abc"));
	EXPECT_EQ(LibEntrySize((folder + "/file").c_str(), false), 1000);
	EXPECT_EQ(LibEntrySize((folder + "/file").c_str(), true), 1103);

	mkdir((folder + "/inner").c_str(), 0755);
	write_file(folder + "/inner/more", std::string(50, 'y'));
	symlink("file", (folder + "/link").c_str());
	ASSERT_TRUE(set_attribute(folder + "/link", "on link", B_RAW_TYPE, "12345"));
	ASSERT_TRUE(set_attribute(folder, "on folder", B_RAW_TYPE, "1234567"));

	off_t data = own_size(folder) + 1000 + own_size(folder + "/inner") + 50 + 4;
	EXPECT_EQ(LibEntrySize(folder.c_str(), false), data);
	EXPECT_EQ(LibEntrySize(folder.c_str(), true), data + 103 + 5 + 7);
	EXPECT_EQ(LibEntrySize(temp.Child("missing").c_str(), true), 0);
}

TEST(LibEntry, DatesInCalendarAndLocalTime)
{
	ScopedTempDir temp;
	std::string path = temp.Child("dated");
	write_file(path, "");
	BEntry entry(path.c_str());
	ASSERT_EQ(entry.SetCreationTime(86400), B_OK);
	ASSERT_EQ(entry.SetModificationTime(1000000000), B_OK);
	ASSERT_EQ(entry.SetAccessTime(1100000000), B_OK);

	entry_ref ref;
	ASSERT_TRUE(LibGetEntryRef(path.c_str(), ref));
	expect_date(LibCreationDate(ref, false), 2, 1, 1970, 0, 0, 0);
	expect_date(LibCreationDate(path.c_str(), false), 2, 1, 1970, 0, 0, 0);
	expect_local(LibCreationDate(path.c_str(), true), 86400);

	expect_date(LibLastModifiedDate(path.c_str(), false), 9, 9, 2001, 1, 46, 40);
	expect_date(LibLastModifiedDate(entry, false), 9, 9, 2001, 1, 46, 40);
	expect_local(LibLastModifiedDate(entry, true), 1000000000);
	// BeOS behaviour: the access date is the modification date.
	expect_date(LibAccessedDate(entry, false), 9, 9, 2001, 1, 46, 40);
}

TEST(LibEntry, DatesOfMissingEntriesAreTheBaseDateWithMessage)
{
	ScopedTempDir temp;
	std::string missing = temp.Child("folder-missing/x");

	testing::internal::CaptureStderr();
	expect_date(LibCreationDate(missing.c_str(), true), 1, 1, 1970, 0, 0, 0);
	expect_date(LibLastModifiedDate(missing.c_str(), true), 1, 1, 1970, 0, 0, 0);
	expect_date(LibCreationDate(entry_ref(), false), 1, 1, 1970, 0, 0, 0);
	expect_date(LibAccessedDate(BEntry(), false), 1, 1, 1970, 0, 0, 0);
	std::string errors = testing::internal::GetCapturedStderr();

	EXPECT_EQ(errors,
		"LibCreationDate: Unable to set entry <" + missing + ">\n"
			+ "LibLastModifiedDate: Unable to set entry <" + missing + ">\n"
			+ "LibCreationDate: Unable to set entry\n"
			+ "LibAccessedDate: Unable to set entry <>\n");
}

TEST(LibEntry, OpenEntryAsksTheDesktopShell)
{
	ScopedTempDir temp;
	write_file(temp.Child("opened"), "");
	EXPECT_FALSE(LibOpenEntry(temp.Child("missing").c_str()));

	ShellStandIn* shell = new ShellStandIn;
	shell->Run();
	BPrivate::register_app_signature("application/x-vnd.Be-TRAK", BMessenger(shell));

	EXPECT_TRUE(LibOpenEntry(temp.Child("opened").c_str()));
	EXPECT_EQ(shell->WaitForOne(), std::vector<std::string> { temp.Child("opened") });

	BPrivate::unregister_app_signature("application/x-vnd.Be-TRAK");
	shell->Lock();
	shell->Quit();
}

TEST(LibEntry, OpenEntryWithoutShellInProcessStartsDesktopOpener)
{
	ScopedTempDir temp;
	std::string opener = temp.Child("opener");
	write_file(opener, "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.opened\"\n");
	chmod(opener.c_str(), 0755);
	const char* saved = getenv("BEINSTALLER_DESKTOP_OPENER");
	std::string savedValue = saved != NULL ? saved : "";
	setenv("BEINSTALLER_DESKTOP_OPENER", opener.c_str(), 1);
	mkdir(temp.Child("folder with space").c_str(), 0755);

	EXPECT_TRUE(LibOpenEntry(temp.Child("folder with space").c_str()));

	for (int i = 0; i < 500 && read_file(opener + ".opened").empty(); i++)
		usleep(10000);
	EXPECT_EQ(read_file(opener + ".opened"), temp.Child("folder with space"));
	if (saved != NULL)
		setenv("BEINSTALLER_DESKTOP_OPENER", savedValue.c_str(), 1);
	else
		unsetenv("BEINSTALLER_DESKTOP_OPENER");
}
