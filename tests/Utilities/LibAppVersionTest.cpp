// The version record, supported types and signature of a real executable copy: the version
// texts by variety and internal number, what a write keeps, and list round trips.
#include "LibAppResource.h"

#include "FileTestHelpers.h"
#include "LibStringList.h"
#include "TempDir.h"

#include <AppFileInfo.h>
#include <Entry.h>
#include <File.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace file_test;

namespace {

std::string
copy_program(const ScopedTempDir& temp)
{
	std::string program = temp.Child("program");
	std::filesystem::copy_file("/bin/true", program);
	return program;
}

} // namespace

TEST(LibAppVersion, VersionTextFollowsVarietyAndInternalNumber)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);

	const struct {
		uint32 major, middle, minor, variety, internal;
		const char* text;
	} rows[] = {
		{ 1, 2, 0, 5, 0, "1.2.0" },
		{ 1, 2, 0, 2, 3, "1.2.0 Beta 3" },
		{ 0, 9, 1, 0, 0, "0.9.1 Dev" },
		{ 2, 0, 0, 1, 12, "2.0.0 Alpha 12" },
		{ 3, 1, 4, 3, 0, "3.1.4 Gamma" },
		{ 10, 20, 30, 4, 1, "10.20.30 Gold 1" },
		{ 1, 0, 0, 5, 7, "1.0.0 7" },
	};

	for (const auto& row : rows) {
		LibSetAppVersion(row.major, row.middle, row.minor, "short", "long", row.variety,
			row.internal, program.c_str());
		EXPECT_STREQ(row.text, LibGetAppVersion(program.c_str()));
	}
	EXPECT_EQ(0, run({ program }));
}

TEST(LibAppVersion, ProgramWithoutARecordHasNoVersion)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	EXPECT_STREQ("", LibGetAppVersion(program.c_str()));
	EXPECT_STREQ("", LibGetAppVersion(temp.Child("missing").c_str()));
	// This test program has none either.
	EXPECT_STREQ("", LibGetAppVersion());
}

TEST(LibAppVersion, WritingTheRecordKeepsTheSystemRecordAndStoresMissingTextsEmpty)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	{
		BFile file(program.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		version_info system = { 5, 4, 3, 2, 1, "system short", "system long" };
		ASSERT_EQ(B_OK, info.SetVersionInfo(&system, B_SYSTEM_VERSION_KIND));
	}
	LibSetAppVersion(1, 2, 0, "Installer", NULL, 5, 0, program.c_str());

	BFile file(program.c_str(), B_READ_ONLY);
	BAppFileInfo info(&file);
	version_info application;
	ASSERT_EQ(B_OK, info.GetVersionInfo(&application, B_APP_VERSION_KIND));
	EXPECT_STREQ("Installer", application.short_info);
	EXPECT_STREQ("", application.long_info);
	version_info system;
	ASSERT_EQ(B_OK, info.GetVersionInfo(&system, B_SYSTEM_VERSION_KIND));
	EXPECT_EQ(5u, system.major);
	EXPECT_STREQ("system long", system.long_info);
}

TEST(LibAppVersion, SupportedTypesRoundTripInOrder)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	LibStringList none;
	EXPECT_EQ(0, LibGetAppSupportedTypes(none, program.c_str()));

	LibStringList types;
	types.Add("application/x-vnd.Quillfield-package");
	types.Add("text/plain");
	LibSetAppSupportedTypes(types, program.c_str());

	LibStringList read;
	read.Add("already/there");
	EXPECT_EQ(3, LibGetAppSupportedTypes(read, program.c_str()));
	EXPECT_STREQ("already/there", *read.Get((int32)0));
	EXPECT_STREQ("application/x-vnd.Quillfield-package", *read.Get(1));
	EXPECT_STREQ("text/plain", *read.Get(2));
	EXPECT_EQ(0, run({ program }));
}

TEST(LibAppVersion, SignatureOnlyOfExecutables)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	write_file(temp.Child("document"), "text\n");
	for (const std::string& path : { program, temp.Child("document") }) {
		BFile file(path.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		ASSERT_EQ(B_OK, info.SetSignature("application/x-vnd.Quillfield-test"));
	}

	entry_ref ref;
	char signature[B_MIME_TYPE_LENGTH] = "old";
	ASSERT_EQ(B_OK, get_ref_for_path(program.c_str(), &ref));
	LibGetAppSignature(ref, signature);
	EXPECT_STREQ("application/x-vnd.Quillfield-test", signature);

	strcpy(signature, "old");
	ASSERT_EQ(B_OK, get_ref_for_path(temp.Child("document").c_str(), &ref));
	LibGetAppSignature(ref, signature);
	EXPECT_STREQ("", signature);
}
