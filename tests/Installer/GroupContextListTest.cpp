#include "GroupContextList.h"
#include "PackageDefs.h"

#include <Message.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct GroupRow {
	std::string name;
	int32 uid;
	std::string description;
};

std::vector<GroupRow>
rows_of(GroupContextList& list)
{
	std::vector<GroupRow> rows;
	for (GroupContext* group = list.First(); group != nullptr; group = list.Next())
		rows.push_back({ group->Name().operator const char*(), group->Uid(),
			group->Description().operator const char*() });
	return rows;
}

void
add_with_uid(GroupContextList& list, const char* name, int32 uid)
{
	GroupContext* group = new GroupContext(name);
	group->SetUid(uid);
	list.Insert(group);
}

} // namespace

TEST(GroupContextList, ReadGivesUidsInOrderAndEmptyMissingDescriptions)
{
	BMessage message;
	message.AddString(Package::kGroupName, "Full");
	message.AddString(Package::kGroupName, "Minimal");
	message.AddString(Package::kGroupDescription, "Everything");

	GroupContextList list;
	list.Add("stale");
	list.Read(message);

	std::vector<GroupRow> rows = rows_of(list);
	ASSERT_EQ(rows.size(), 2u);
	EXPECT_EQ(rows[0].name, "Full");
	EXPECT_EQ(rows[0].uid, 0);
	EXPECT_EQ(rows[0].description, "Everything");
	EXPECT_EQ(rows[1].name, "Minimal");
	EXPECT_EQ(rows[1].uid, 1);
	EXPECT_EQ(rows[1].description, "");
}

TEST(GroupContextList, WriteAndReadRoundTripInListOrderWithoutUids)
{
	GroupContextList list;
	list.Add("Typical");
	list.Add("Developer");
	list.Add("typical");
	list.First()->SetDescription("The usual parts");
	list.Get(2)->SetDescription("lower case is another group");

	BMessage message;
	list.Write(message);
	type_code type = 0;
	int32 count = 0;
	ASSERT_EQ(message.GetInfo(Package::kGroupName, &type, &count), B_OK);
	EXPECT_EQ(type, static_cast<type_code>(B_STRING_TYPE));
	EXPECT_EQ(count, 3);
	ASSERT_EQ(message.GetInfo(Package::kGroupDescription, &type, &count), B_OK);
	EXPECT_EQ(count, 3);
	EXPECT_EQ(message.CountNames(B_ANY_TYPE), 2);

	GroupContextList copy;
	copy.Read(message);
	std::vector<GroupRow> rows = rows_of(copy);
	ASSERT_EQ(rows.size(), 3u);
	EXPECT_EQ(rows[0].name, "Typical");
	EXPECT_EQ(rows[0].description, "The usual parts");
	EXPECT_EQ(rows[1].name, "Developer");
	EXPECT_EQ(rows[1].description, "");
	EXPECT_EQ(rows[2].name, "typical");
	EXPECT_EQ(rows[2].description, "lower case is another group");
}

TEST(GroupContextList, NextUidFollowsTheLastPositionWhoseUidDiffers)
{
	struct Row {
		std::vector<int32> uids;
		int32 expected;
	};

	const Row rows[] = {
		{ {}, 0 },
		{ { 0, 1, 2 }, 3 },
		{ { 0, 2 }, 1 },
		{ { 1, 2, 3 }, 2 },
		{ { 5, 1, 7 }, 2 },
		{ { 0, 0, 0 }, 2 },
	};
	for (const Row& row : rows) {
		GroupContextList list;
		for (size_t i = 0; i < row.uids.size(); i++)
			add_with_uid(list, std::to_string(i).c_str(), row.uids[i]);
		EXPECT_EQ(list.NextUid(), row.expected) << "rows of " << row.uids.size();
	}
}

TEST(GroupContextList, AddIgnoresAPresentNameAndReusesARemovedUid)
{
	GroupContextList list;
	list.Add("A");
	list.Add("B");
	list.Add("C");
	list.Add("B");
	EXPECT_EQ(list.Size(), 3);
	EXPECT_EQ(list.NextUid(), 3);

	list.RemoveContext(1);
	EXPECT_EQ(list.FindContext(1), nullptr);
	EXPECT_FALSE(list.HasGroup("B"));
	list.Add("D");

	std::vector<GroupRow> rows = rows_of(list);
	ASSERT_EQ(rows.size(), 3u);
	EXPECT_EQ(rows[2].name, "D");
	EXPECT_EQ(rows[2].uid, 1);
	ASSERT_NE(list.FindContext(1), nullptr);
	EXPECT_EQ(list.FindContext(1)->Name(), "D");
}

TEST(GroupContextList, NamesDifferingInCaseAreDifferentGroups)
{
	GroupContextList list;
	list.Add("Full");
	EXPECT_TRUE(list.HasGroup("Full"));
	EXPECT_FALSE(list.HasGroup("full"));
	EXPECT_FALSE(GroupContext("Full") == GroupContext("full"));
	EXPECT_TRUE(GroupContext("Full") == GroupContext("Full"));
}

TEST(GroupContextList, PrintToStreamWritesOneLinePerGroup)
{
	GroupContextList list;
	list.Add("Full");
	list.First()->SetDescription("all of it");
	testing::internal::CaptureStderr();
	list.PrintToStream();
	EXPECT_EQ(
		testing::internal::GetCapturedStderr(), "GroupContext: 0) name Full, desc (all of it)\n");
}
