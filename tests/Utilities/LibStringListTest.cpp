#include <LibStringList.h>

#include <Message.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>
texts(LibStringList& list)
{
	std::vector<std::string> result;
	for (LibString* text = list.First(); text != nullptr; text = list.Next())
		result.push_back((const char*)*text);
	return result;
}

} // namespace

TEST(LibStringList, SearchesAreCaseSensitiveUnlessAsked)
{
	LibStringList list;
	list.Add("Alpha");
	list.Add("Beta");
	EXPECT_FALSE(list.InList("alpha"));
	EXPECT_TRUE(list.InList("Alpha"));

	ASSERT_NE(nullptr, list.Find("Al", false, 2));
	EXPECT_STREQ("Alpha", *list.Find("Al", false, 2));
	ASSERT_NE(nullptr, list.Find("alpha", true, -1));
	EXPECT_STREQ("Alpha", *list.Find("alpha", true, -1));
	EXPECT_EQ(nullptr, list.Find("Al", false, -1));
	EXPECT_EQ(nullptr, list.Find("alpha", false, -1));

	// The cursor stays on the found element.
	list.Find("Alpha", false, -1);
	EXPECT_STREQ("Beta", *list.Next());
}

TEST(LibStringList, RemoveTakesTheFirstEqualText)
{
	LibStringList list;
	list.Add("a");
	list.Add("b");
	list.Add("a");
	EXPECT_TRUE(list.Remove("a"));
	EXPECT_EQ((std::vector<std::string> { "b", "a" }), texts(list));
	EXPECT_FALSE(list.Remove("c"));
}

TEST(LibStringList, SetToReplacesOnlyWhenTheFieldExists)
{
	LibStringList list;
	list.Add("old");

	BMessage empty;
	list.SetTo(empty, "types");
	EXPECT_EQ((std::vector<std::string> { "old" }), texts(list));

	BMessage message;
	message.AddString("types", "text/plain");
	message.AddString("types", "");
	message.AddString("types", "image/png");
	list.SetTo(message, "types");
	EXPECT_EQ((std::vector<std::string> { "text/plain", "", "image/png" }), texts(list));

	list.Append(message, "types");
	EXPECT_EQ(6, list.Size());
}

TEST(LibStringList, GetFromAddsEveryElementInOrder)
{
	LibStringList list;
	list.Add("one");
	list.Add("two");
	BMessage message;
	message.AddString("names", "zero");
	list.GetFrom(message, "names");

	int32 count = 0;
	type_code type = 0;
	ASSERT_EQ(B_OK, message.GetInfo("names", &type, &count));
	EXPECT_EQ(3, count);
	EXPECT_STREQ("two", message.FindString("names", 2));
	EXPECT_EQ(2, list.Size());
}

TEST(LibStringList, AssignmentCopiesTheStrings)
{
	LibStringList first;
	first.Add("x");
	first.Add("y");
	LibStringList second;
	second.Add("z");
	second = first;
	*second.First() = "changed";
	EXPECT_EQ((std::vector<std::string> { "x", "y" }), texts(first));
	EXPECT_EQ((std::vector<std::string> { "changed", "y" }), texts(second));
	second = second;
	EXPECT_EQ(2, second.Size());
}
