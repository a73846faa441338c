// BAppFileInfo: the R5-made application resources, and every kind of metadata written
// into a real program (which must keep running) and into a file without resources.
#include <AppFileInfo.h>

#include <Bitmap.h>
#include <File.h>
#include <Message.h>
#include <Node.h>
#include <Resources.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

std::string
test_file(const char* name)
{
	return std::string(BEINSTALLER_TESTDATA_DIR) + "/beos/" + name;
}

std::string
copy_program(const ScopedTempDir& dir, const char* name)
{
	std::string path = dir.Child(name);
	std::filesystem::copy_file("/bin/true", path);
	chmod(path.c_str(), 0755);
	return path;
}

int
run(const std::string& path)
{
	char* argv[] = { const_cast<char*>(path.c_str()), nullptr };
	pid_t pid;
	if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
		return -1;
	int status = 0;
	waitpid(pid, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

version_info
make_version(uint32 major, uint32 variety, const char* shortInfo, const char* longInfo)
{
	version_info info;
	// Garbage after the texts' ends must not reach the file.
	memset(&info, 0x5A, sizeof(info));
	info.major = major;
	info.middle = 2;
	info.minor = 0;
	info.variety = variety;
	info.internal = 3;
	strcpy(info.short_info, shortInfo);
	strcpy(info.long_info, longInfo);
	return info;
}

std::string
attribute_string(const std::string& path, const char* name)
{
	BNode node(path.c_str());
	char buffer[256] = {};
	ssize_t length = node.ReadAttr(name, B_MIME_STRING_TYPE, 0, buffer, sizeof(buffer) - 1);
	return length > 0 ? std::string(buffer) : std::string("<none>");
}

} // namespace

TEST(AppFileInfo, ReadsTheMetadataOfR5Applications)
{
	BFile file(test_file("unzip.rsc").c_str(), B_READ_ONLY);
	BAppFileInfo info(&file);
	ASSERT_EQ(B_OK, info.InitCheck());

	char signature[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(B_OK, info.GetSignature(signature));
	EXPECT_STREQ("application/x-vnd.Info-ZIP.UnZip", signature);
	uint32 flags = 0;
	ASSERT_EQ(B_OK, info.GetAppFlags(&flags));
	EXPECT_EQ((uint32)(B_MULTIPLE_LAUNCH | B_BACKGROUND_APP), flags);

	BMessage types;
	ASSERT_EQ(B_OK, info.GetSupportedTypes(&types));
	const char* type = nullptr;
	ASSERT_EQ(B_OK, types.FindString("types", &type));
	EXPECT_STREQ("application/zip", type);
	EXPECT_TRUE(info.IsSupportedType("application/ZIP"));
	EXPECT_FALSE(info.IsSupportedType("text/plain"));

	version_info version;
	ASSERT_EQ(B_OK, info.GetVersionInfo(&version, B_APP_VERSION_KIND));
	EXPECT_EQ(5u, version.major);
	EXPECT_EQ(4u, version.middle);
	EXPECT_EQ(1u, version.minor);
	EXPECT_EQ((uint32)B_FINAL_VERSION, version.variety);
	EXPECT_EQ(0u, version.internal);
	EXPECT_STREQ("Info-ZIP's UnZip", version.short_info);
	EXPECT_EQ(0, strncmp("Extract, test and view ZIP archives.", version.long_info, 36));
	// R5 left garbage in the system record; its texts still come out terminated.
	ASSERT_EQ(B_OK, info.GetVersionInfo(&version, B_SYSTEM_VERSION_KIND));
	EXPECT_LT(strlen(version.short_info), sizeof(version.short_info));

	BFile reiserfs(test_file("reiserfs.rsrc").c_str(), B_READ_ONLY);
	ASSERT_EQ(B_OK, info.SetTo(&reiserfs));
	ASSERT_EQ(B_OK, info.GetSupportedTypes(&types));
	EXPECT_TRUE(types.IsEmpty());
	ASSERT_EQ(B_OK, info.GetVersionInfo(&version, B_APP_VERSION_KIND));
	EXPECT_STREQ("ReiserFS 1.0.1", version.short_info);
	EXPECT_NE(B_OK, info.GetAppFlags(&flags));

	BFile testApp(test_file("BMessengerTestApp1.rsrc").c_str(), B_READ_ONLY);
	ASSERT_EQ(B_OK, info.SetTo(&testApp));
	char fileType[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(B_OK, info.GetType(fileType));
	EXPECT_STREQ("application/x-vnd.Be-elfexecutable", fileType);
	ASSERT_EQ(B_OK, info.GetSignature(signature));
	EXPECT_STREQ("application/x-vnd.obos-bmessenger-testapp1", signature);
}

TEST(AppFileInfo, ReadsR5Icons)
{
	BFile file(test_file("IconViewer.rsrc").c_str(), B_READ_ONLY);
	BAppFileInfo info(&file);
	BResources resources(&file);
	for (icon_size which : { B_LARGE_ICON, B_MINI_ICON }) {
		SCOPED_TRACE(which);
		BBitmap icon(BRect(0, 0, which - 1, which - 1), B_CMAP8);
		ASSERT_EQ(B_OK, info.GetIcon(&icon, which));
		size_t size = 0;
		const uint8* bits = (const uint8*)resources.LoadResource(
			which == B_LARGE_ICON ? B_LARGE_ICON_TYPE : B_MINI_ICON_TYPE, 101, &size);
		ASSERT_EQ((size_t)which * which, size);
		for (int32 y = 0; y < which; y++) {
			EXPECT_EQ(
				0, memcmp(bits + y * which, (uint8*)icon.Bits() + y * icon.BytesPerRow(), which));
		}
		// An icon of the other size does not fit.
		BBitmap wrong(BRect(0, 0, 47, 47), B_CMAP8);
		EXPECT_EQ(B_BAD_VALUE, info.GetIcon(&wrong, which));
	}
}

TEST(AppFileInfo, WritesEveryKindOfMetadataIntoAProgram)
{
	ScopedTempDir dir;
	std::string program = copy_program(dir, "program");
	{
		BFile file(program.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		ASSERT_EQ(B_OK, info.InitCheck());
		EXPECT_EQ(B_OK, info.SetSignature("application/x-vnd.Test-Program"));
		EXPECT_EQ(B_OK, info.SetType("application/x-vnd.Be-elfexecutable"));
		EXPECT_EQ(B_OK, info.SetAppFlags(B_EXCLUSIVE_LAUNCH | B_ARGV_ONLY));
		BMessage types;
		types.AddString("types", "text/x-brimlow");
		types.AddString("types", "text/plain");
		EXPECT_EQ(B_OK, info.SetSupportedTypes(&types));
		version_info app =
			make_version(1, B_FINAL_VERSION, "Installer", "Install BeOS applications");
		EXPECT_EQ(B_OK, info.SetVersionInfo(&app, B_APP_VERSION_KIND));
		version_info system = make_version(5, B_BETA_VERSION, "R5", "");
		EXPECT_EQ(B_OK, info.SetVersionInfo(&system, B_SYSTEM_VERSION_KIND));
		for (icon_size which : { B_LARGE_ICON, B_MINI_ICON }) {
			BBitmap icon(BRect(0, 0, which - 1, which - 1), B_CMAP8);
			memset(icon.Bits(), which, icon.BitsLength());
			EXPECT_EQ(B_OK, info.SetIcon(&icon, which));
		}
		// Bad values are refused before anything is written.
		EXPECT_EQ(B_BAD_VALUE, info.SetSignature("not a type"));
		BBitmap rgb(BRect(0, 0, 31, 31), B_RGB32);
		EXPECT_EQ(B_BAD_VALUE, info.SetIcon(&rgb, B_LARGE_ICON));
	}
	EXPECT_EQ(0, run(program));

	BFile file(program.c_str(), B_READ_ONLY);
	BAppFileInfo info(&file);
	char text[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(B_OK, info.GetSignature(text));
	EXPECT_STREQ("application/x-vnd.Test-Program", text);
	ASSERT_EQ(B_OK, info.GetType(text));
	EXPECT_STREQ("application/x-vnd.Be-elfexecutable", text);
	uint32 flags;
	ASSERT_EQ(B_OK, info.GetAppFlags(&flags));
	EXPECT_EQ((uint32)(B_EXCLUSIVE_LAUNCH | B_ARGV_ONLY), flags);
	BMessage types;
	ASSERT_EQ(B_OK, info.GetSupportedTypes(&types));
	EXPECT_STREQ("text/plain", types.FindString("types", 1));
	EXPECT_TRUE(info.IsSupportedType("text/x-brimlow"));

	version_info version;
	ASSERT_EQ(B_OK, info.GetVersionInfo(&version, B_APP_VERSION_KIND));
	EXPECT_EQ(1u, version.major);
	EXPECT_EQ(3u, version.internal);
	EXPECT_STREQ("Installer", version.short_info);
	EXPECT_STREQ("Install BeOS applications", version.long_info);
	ASSERT_EQ(B_OK, info.GetVersionInfo(&version, B_SYSTEM_VERSION_KIND));
	EXPECT_EQ(5u, version.major);
	EXPECT_STREQ("R5", version.short_info);

	for (icon_size which : { B_LARGE_ICON, B_MINI_ICON }) {
		BBitmap icon(BRect(0, 0, which - 1, which - 1), B_CMAP8);
		ASSERT_EQ(B_OK, info.GetIcon(&icon, which));
		EXPECT_EQ(which, ((uint8*)icon.Bits())[0]);
	}

	// The resources are as formats.md lays them out; signature and type are mirrored.
	BResources resources(&file);
	size_t size;
	ASSERT_TRUE(resources.GetResourceInfo('APPV', 1, nullptr, &size));
	EXPECT_EQ(680u, size);
	const char* name;
	ASSERT_TRUE(resources.GetResourceInfo(B_MIME_STRING_TYPE, 1, &name, &size));
	EXPECT_STREQ("BEOS:APP_SIG", name);
	ASSERT_TRUE(resources.GetResourceInfo(B_MIME_STRING_TYPE, 2, &name, &size));
	EXPECT_STREQ("BEOS:TYPE", name);
	ASSERT_TRUE(resources.GetResourceInfo(B_LARGE_ICON_TYPE, 101, &name, &size));
	EXPECT_STREQ("BEOS:L:STD_ICON", name);
	EXPECT_EQ(1024u, size);
	EXPECT_EQ("application/x-vnd.Test-Program", attribute_string(program, "BEOS:APP_SIG"));
	EXPECT_EQ("application/x-vnd.Be-elfexecutable", attribute_string(program, "BEOS:TYPE"));
}

TEST(AppFileInfo, SettingTheSameVersionAgainLeavesTheFileUntouched)
{
	ScopedTempDir dir;
	std::string program = copy_program(dir, "program");
	version_info app = make_version(1, B_FINAL_VERSION, "Installer", "Install BeOS applications");
	{
		BFile file(program.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		ASSERT_EQ(B_OK, info.SetVersionInfo(&app, B_APP_VERSION_KIND));
	}
	struct stat before;
	stat(program.c_str(), &before);
	{
		BFile file(program.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		version_info again =
			make_version(1, B_FINAL_VERSION, "Installer", "Install BeOS applications");
		memset(again.short_info + 10, 0x33, 20);
		ASSERT_EQ(B_OK, info.SetVersionInfo(&again, B_APP_VERSION_KIND));
	}
	struct stat after;
	stat(program.c_str(), &after);
	EXPECT_EQ(before.st_ino, after.st_ino);
	EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

TEST(AppFileInfo, KeepsMetadataOfFilesWithoutResourcesInAttributes)
{
	ScopedTempDir dir;
	std::string script = dir.Child("script.sh");
	std::ofstream(script) << "#!/bin/sh\nexit 0\n";
	BFile file(script.c_str(), B_READ_WRITE);
	BAppFileInfo info(&file);
	ASSERT_EQ(B_OK, info.InitCheck());
	EXPECT_EQ(B_OK, info.SetSignature("application/x-vnd.Test-Script"));
	EXPECT_EQ(B_OK, info.SetAppFlags(B_MULTIPLE_LAUNCH));
	version_info version = make_version(2, B_ALPHA_VERSION, "Script", "");
	EXPECT_EQ(B_OK, info.SetVersionInfo(&version, B_APP_VERSION_KIND));

	// The file's content is untouched.
	std::ifstream stream(script);
	std::string content((std::istreambuf_iterator<char>(stream)), {});
	EXPECT_EQ("#!/bin/sh\nexit 0\n", content);
	EXPECT_EQ("application/x-vnd.Test-Script", attribute_string(script, "BEOS:APP_SIG"));

	BAppFileInfo again(&file);
	char signature[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(B_OK, again.GetSignature(signature));
	EXPECT_STREQ("application/x-vnd.Test-Script", signature);
	uint32 flags;
	ASSERT_EQ(B_OK, again.GetAppFlags(&flags));
	EXPECT_EQ((uint32)B_MULTIPLE_LAUNCH, flags);
	version_info back;
	ASSERT_EQ(B_OK, again.GetVersionInfo(&back, B_APP_VERSION_KIND));
	EXPECT_EQ(2u, back.major);

	EXPECT_EQ(B_OK, again.SetSignature(nullptr));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, again.GetSignature(signature));
}

TEST(AppFileInfo, RefusesMalformedRecords)
{
	ScopedTempDir dir;
	std::string path = dir.Child("bad.rsrc");
	std::ofstream(path).close();
	{
		BResources resources;
		ASSERT_EQ(B_OK, resources.SetTo(path.c_str()));
		resources.AddResource('APPV', 1, "short", 5, "BEOS:APP_VERSION");
		resources.AddResource('APPF', 1, "toolong", 7, "BEOS:APP_FLAGS");
		resources.AddResource(B_MESSAGE_TYPE, 1, "garbage!", 8, "BEOS:FILE_TYPES");
		resources.AddResource(B_MIME_STRING_TYPE, 1, "", 0, "BEOS:APP_SIG");
	}
	BFile file(path.c_str(), B_READ_ONLY);
	BAppFileInfo info(&file);
	version_info version;
	EXPECT_EQ(B_BAD_DATA, info.GetVersionInfo(&version, B_APP_VERSION_KIND));
	uint32 flags;
	EXPECT_EQ(B_BAD_DATA, info.GetAppFlags(&flags));
	BMessage types;
	EXPECT_NE(B_OK, info.GetSupportedTypes(&types));
	char signature[B_MIME_TYPE_LENGTH];
	EXPECT_EQ(B_BAD_DATA, info.GetSignature(signature));
}
