#include <xmlTag.h>

#include <gtest/gtest.h>

namespace {

xmlTag
MakeTree()
{
	xmlTag root;
	root.SetName("ROOT");
	root.AddContent("root text");
	root.Modifiers().AddString("VIEW", "a");
	root.Modifiers().AddString("VIEW", "b");

	xmlTag child;
	child.SetName("CHILD");
	child.AddContent("child text");
	child.SetParentLocation(4);
	xmlTag grandChild;
	grandChild.SetName("LEAF");
	child.AddChild(grandChild);
	root.AddChild(child);

	xmlTag second;
	second.SetName("SECOND");
	root.AddChild(second);
	return root;
}

} // namespace

TEST(xmlTag, LeadingBlanksAreDroppedAndTrailingWhiteSpaceStripped)
{
	xmlTag tag;
	for (char c : std::string(" \t a b \t"))
		tag.AddContent(c);
	EXPECT_STREQ("a b \t", tag.Contents());
	tag.StripTrailingContent();
	EXPECT_STREQ("a b", tag.Contents());

	xmlTag pieces;
	pieces.AddContent("\t  first ");
	pieces.AddContent("  second");
	pieces.AddContent(static_cast<const char*>(nullptr));
	EXPECT_STREQ("first   second", pieces.Contents());
}

TEST(xmlTag, CopiesAreDeepAndIndependent)
{
	xmlTag original = MakeTree();
	xmlTag copy(original);
	xmlTag assigned;
	assigned.SetName("OLD");
	assigned.AddChild(assigned);
	assigned = original;

	for (xmlTag* tag : { &copy, &assigned }) {
		EXPECT_STREQ("ROOT", tag->Name());
		EXPECT_STREQ("root text", tag->Contents());
		type_code type = 0;
		int32 count = 0;
		ASSERT_EQ(B_OK, tag->Modifiers().GetInfo("VIEW", &type, &count));
		EXPECT_EQ(2, count);
		ASSERT_EQ(2, tag->CountChildren());
		xmlTag* child = tag->FirstChildTag();
		EXPECT_STREQ("CHILD", child->Name());
		EXPECT_EQ(4, child->ParentLocation());
		ASSERT_NE(nullptr, child->FirstChildTag());
		EXPECT_STREQ("LEAF", child->FirstChildTag()->Name());
		EXPECT_STREQ("SECOND", tag->NextChildTag()->Name());
		EXPECT_EQ(nullptr, tag->NextChildTag());
	}

	copy.FirstChildTag()->SetName("CHANGED");
	copy.FirstChildTag()->Clear();
	EXPECT_STREQ("CHILD", original.FirstChildTag()->Name());
	EXPECT_EQ(1, original.FirstChildTag()->CountChildren());

	xmlTag& alias = assigned;
	assigned = alias;
	EXPECT_EQ(2, assigned.CountChildren());
}

TEST(xmlTag, CopyingLeavesAWalkOverTheChildrenWhereItWas)
{
	xmlTag tree = MakeTree();
	ASSERT_STREQ("CHILD", tree.FirstChildTag()->Name());
	xmlTag copy(tree);
	xmlTag* next = tree.NextChildTag();
	ASSERT_NE(nullptr, next);
	EXPECT_STREQ("SECOND", next->Name());
}

TEST(xmlTag, EqualityComparesNamesOnly)
{
	xmlTag a = MakeTree();
	xmlTag b;
	b.SetName("ROOT");
	xmlTag c;
	c.SetName("root");
	EXPECT_TRUE(a == b);
	EXPECT_FALSE(a == c);
}

TEST(xmlTag, ClearEmptiesEveryPart)
{
	xmlTag tag = MakeTree();
	tag.SetParentLocation(9);
	tag.Clear();
	EXPECT_STREQ("", tag.Name());
	EXPECT_STREQ("", tag.Contents());
	EXPECT_EQ(0, tag.ParentLocation());
	EXPECT_EQ(0, tag.CountChildren());
	EXPECT_EQ(nullptr, tag.FirstChildTag());
	EXPECT_TRUE(tag.Modifiers().IsEmpty());
}

TEST(xmlTag, PrintsItselfAndItsChildren)
{
	xmlTag tag = MakeTree();
	// The attributes go out through the message's own dump, to standard output.
	testing::internal::CaptureStdout();
	testing::internal::CaptureStderr();
	tag.PrintToStream();
	std::string output = testing::internal::GetCapturedStderr();
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(0u, output.find("xmlTag: <ROOT>\n\tcontents <root text>\n\tParent Local : 0\n"));
	EXPECT_NE(std::string::npos,
		output.find("xmlTag: <CHILD>\n\tcontents <child text>\n"
					"\tParent Local : 4\n"));
	EXPECT_NE(std::string::npos, output.find("xmlTag: <LEAF>"));
	EXPECT_LT(output.find("<CHILD>"), output.find("<LEAF>"));
	EXPECT_LT(output.find("<LEAF>"), output.find("<SECOND>"));
}
