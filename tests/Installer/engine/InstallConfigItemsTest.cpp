// The item queries: by leaf name, the first item of that name; selection, sizes and types.
#include "ConfigTestSupport.h"

using namespace config_test;

namespace {

TEST(InstallConfigItems, QueriesFindTheFirstItemOfALeafName)
{
	InstallConfig config;
	bool yes = true;
	set_items(config,
		{ make_item("/build/tool", 100, "Typical;Minimal;"), make_item(nullptr, 999),
			make_item("/other/tool", 200, "Full;"), make_item("/build/docs/", 300, ""),
			make_item("/build/readme", 50, nullptr, &yes) });

	EXPECT_EQ(config.GetFileSize("tool"), 100);
	EXPECT_EQ(config.GetFileSize("missing"), 0);
	EXPECT_EQ(config.GetFileSize("Tool"), 0);

	struct Row {
		const char* leaf;
		const char* type;
		bool matches;
	} const rows[] = {
		{ "tool", "Minimal", true },
		{ "tool", "Typical", true },
		{ "tool", "Min", false },
		{ "tool", "typical", false },
		{ "tool", "Full", false },
		{ "missing", "Full", false },
	};

	for (const Row& row : rows)
		EXPECT_EQ(config.MatchType(row.leaf, row.type), row.matches) << row.leaf << " " << row.type;

	// No groups at all is worth a line; empty groups are not.
	testing::internal::CaptureStderr();
	EXPECT_FALSE(config.MatchType("readme", "Full"));
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
		"InstallConfig::MatchType: Could not find option\n");
	testing::internal::CaptureStderr();
	EXPECT_FALSE(config.MatchType("", "Full"));
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(InstallConfigItems, MarkingSelectsTheFirstItemAndKeepsTheOthers)
{
	InstallConfig config;
	EXPECT_EQ(config.CountSelectedItems(), 0);
	set_items(
		config, { make_item("/a/tool", 10), make_item("/b/tool", 20), make_item("/a/readme", 30) });
	EXPECT_EQ(config.CountSelectedItems(), 0);
	EXPECT_EQ(config.SelectedSize(), 0);

	config.MarkInstallFile("tool", true);
	config.MarkInstallFile("readme", true);
	config.MarkInstallFile("readme", false);
	config.MarkInstallFile("absent", true);
	EXPECT_EQ(config.CountSelectedItems(), 1);
	EXPECT_EQ(config.SelectedSize(), 10);

	BMessage instructions;
	config.FindMessage(Package::kInstallInstructions, &instructions);
	BMessage item;
	instructions.FindMessage(Package::kInstallFile, 2, &item);
	EXPECT_FALSE(item.GetBool(Package::kInstallToSystem, true));
	int32 count = 0;
	type_code type;
	item.GetInfo(Package::kInstallToSystem, &type, &count);
	EXPECT_EQ(count, 1);
	instructions.FindMessage(Package::kInstallFile, 1, &item);
	EXPECT_FALSE(item.HasBool(Package::kInstallToSystem));
}

TEST(InstallConfigItems, SizeTotalCountsByLeafAndDoesNotWrap)
{
	InstallConfig config;
	bool yes = true;
	// Two items of one leaf: both count the first one's size, as the queries answer.
	set_items(config,
		{ make_item("/a/big", 1500000000, nullptr, &yes), make_item("/b/big", 1, nullptr, &yes),
			make_item("/c/bad", -5000, nullptr, &yes) });
	EXPECT_EQ(config.CountSelectedItems(), 3);
	EXPECT_EQ(config.SelectedSize(), 3000000000LL);
}

} // namespace
