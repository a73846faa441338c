#include <xmlParser.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

class xmlParserTest : public testing::Test {
protected:
	// Writes text to a fresh file and opens the parser on it.
	void Load(const std::string& text)
	{
		std::string path = fFolder.Child("file" + std::to_string(fFiles++) + ".xml");
		std::ofstream(path, std::ios::binary) << text;
		ASSERT_TRUE(fParser.Open(path.c_str()));
	}

	std::string Attribute(const xmlTag& tag, const char* name, int32 index = 0)
	{
		const char* value = nullptr;
		if (tag.Modifiers().FindString(name, index, &value) != B_OK || value == nullptr)
			return "<missing>";
		return value;
	}

	int32 CountValues(const xmlTag& tag, const char* name)
	{
		type_code type = 0;
		int32 count = 0;
		if (tag.Modifiers().GetInfo(name, &type, &count) != B_OK)
			return 0;
		return count;
	}

	ScopedTempDir fFolder;
	xmlParser fParser;
	int fFiles = 0;
};

std::vector<xmlTag*>
Children(xmlTag& tag)
{
	std::vector<xmlTag*> children;
	for (xmlTag* child = tag.FirstChildTag(); child != nullptr; child = tag.NextChildTag())
		children.push_back(child);
	return children;
}

} // namespace

TEST_F(xmlParserTest, ElementTextLeavesOutTheChildrensText)
{
	Load("<B>bold</B> text<BR/>more");
	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("B", tag));
	EXPECT_STREQ("B", tag.Name());
	EXPECT_STREQ("bold", tag.Contents());
	EXPECT_EQ(0, tag.CountChildren());

	Load("<P1>x <B>bold</B> y<BR/>z</P1>");
	ASSERT_TRUE(fParser.FindTag("P1", tag));
	EXPECT_STREQ("x  yz", tag.Contents());
	EXPECT_EQ(0, tag.ParentLocation());
	std::vector<xmlTag*> children = Children(tag);
	ASSERT_EQ(2u, children.size());
	EXPECT_STREQ("B", children[0]->Name());
	EXPECT_STREQ("bold", children[0]->Contents());
	EXPECT_EQ(2, children[0]->ParentLocation());
	EXPECT_STREQ("BR", children[1]->Name());
	EXPECT_STREQ("", children[1]->Contents());
	EXPECT_EQ(4, children[1]->ParentLocation());
}

TEST_F(xmlParserTest, NestedChildrenKeepTheirOwnLocations)
{
	Load("<CONTENTS>\n"
		 "  <CONTENT PAGE=\"one\">First\n"
		 "    <CONTENT PAGE=\"one.a\">Sub <I>topic</I></CONTENT>\n"
		 "  </CONTENT>\n"
		 "  <CONTENT PAGE=\"two\">Second</CONTENT>\n"
		 "</CONTENTS>\n");
	xmlTag contents;
	ASSERT_TRUE(fParser.FindTag("CONTENTS", contents));
	EXPECT_STREQ("", contents.Contents());
	std::vector<xmlTag*> topics = Children(contents);
	ASSERT_EQ(2u, topics.size());
	EXPECT_STREQ("First", topics[0]->Contents());
	EXPECT_EQ("one", Attribute(*topics[0], "PAGE"));
	EXPECT_STREQ("Second", topics[1]->Contents());
	EXPECT_EQ("two", Attribute(*topics[1], "PAGE"));

	std::vector<xmlTag*> subTopics = Children(*topics[0]);
	ASSERT_EQ(1u, subTopics.size());
	// "First" and the next line's indentation precede it.
	EXPECT_EQ(9, subTopics[0]->ParentLocation());
	EXPECT_STREQ("Sub", subTopics[0]->Contents());
	std::vector<xmlTag*> innermost = Children(*subTopics[0]);
	ASSERT_EQ(1u, innermost.size());
	EXPECT_STREQ("topic", innermost[0]->Contents());
	EXPECT_EQ(4, innermost[0]->ParentLocation());
}

TEST_F(xmlParserTest, StartTagSplitOverTwoLinesKeepsBothAttributes)
{
	Load("<PAGE NAME=\"intro\"\n"
		 "\tVIEW='Main/ok'>Welcome\n"
		 "home</PAGE>");
	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("PAGE", tag));
	EXPECT_EQ("intro", Attribute(tag, "NAME"));
	EXPECT_EQ("Main/ok", Attribute(tag, "VIEW"));
	EXPECT_STREQ("Welcomehome", tag.Contents()) << "line breaks are not text";

	Load("<PAGE NAME=\"intro\"\nVIEW=\"x\">one\n  two\n\n\nthree</PAGE>");
	ASSERT_TRUE(fParser.FindTag("PAGE", tag));
	EXPECT_EQ("x", Attribute(tag, "VIEW"));
	EXPECT_STREQ("one  twothree", tag.Contents());
}

TEST_F(xmlParserTest, DeclarationsAndCommentsAreSkipped)
{
	Load("<?xml version=\"1.0\"?>\n<! a comment >\n<A x=1>text</A><!>");
	char name[kXmlNameLength + 1];
	bool hasAttributes = false;
	ASSERT_TRUE(fParser.NextTag(name, hasAttributes));
	EXPECT_STREQ("A", name);
	EXPECT_TRUE(hasAttributes);

	fParser.Rewind();
	xmlTag tag;
	EXPECT_FALSE(fParser.FindTag("!", tag));
	fParser.Rewind();
	EXPECT_FALSE(fParser.FindTag("?xml", tag));

	// Inside an element they are dropped whole.
	Load("<P>a<! note >b<?xml x?>c</P>");
	ASSERT_TRUE(fParser.FindTag("P", tag));
	EXPECT_STREQ("abc", tag.Contents());
	EXPECT_EQ(0, tag.CountChildren());
}

TEST_F(xmlParserTest, MissingElementLeavesTheTagEmpty)
{
	Load("<A k=\"v\">x<B/></A>");
	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("A", tag));
	fParser.Rewind();
	EXPECT_FALSE(fParser.FindTag("Z", tag));
	EXPECT_STREQ("", tag.Name());
	EXPECT_STREQ("", tag.Contents());
	EXPECT_EQ(0, tag.CountChildren());
	EXPECT_TRUE(tag.Modifiers().IsEmpty());

	// Names are case-sensitive.
	fParser.Rewind();
	EXPECT_FALSE(fParser.FindTag("a", tag));
}

TEST_F(xmlParserTest, AnyEndTagEndsTheElement)
{
	const struct {
		const char* text;
		const char* contents;
		const char* next;
	} rows[] = {
		{ "<A>x</B><C>y</C>", "x", "y" },
		{ "<A>x</A ><C>y</C>", "x", "y" },
		{ "<A>x</><C>y</C>", "x", "y" },
		{ "<A>x\n</A\n><C>y</C>", "x", "y" },
	};

	for (const auto& row : rows) {
		Load(row.text);
		xmlTag tag;
		ASSERT_TRUE(fParser.FindTag("A", tag)) << row.text;
		EXPECT_STREQ(row.contents, tag.Contents()) << row.text;
		ASSERT_TRUE(fParser.FindTag("C", tag)) << row.text;
		EXPECT_STREQ(row.next, tag.Contents()) << row.text;
	}
}

TEST_F(xmlParserTest, UnterminatedElementKeepsWhatWasRead)
{
	Load("<A>partial <B>child text");
	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("A", tag));
	EXPECT_STREQ("partial", tag.Contents());
	std::vector<xmlTag*> children = Children(tag);
	ASSERT_EQ(1u, children.size());
	EXPECT_STREQ("child text", children[0]->Contents());
	EXPECT_FALSE(fParser.FindTag("A", tag));

	const char* truncated[] = { "<A", "<A x=\"1", "<A>text<", "<A>text</", "<A>t<B", "<A>t<B x" };
	for (const char* text : truncated) {
		Load(text);
		fParser.FindTag("A", tag);
		EXPECT_FALSE(fParser.FindTag("A", tag)) << text;
	}
}

TEST_F(xmlParserTest, RepeatedAttributesKeepEveryValueInOrder)
{
	Load("<CONTENT PAGE=\"p\" VIEW=\"W/a\" VIEW='W/b' VIEW=W/c>Title</CONTENT>");
	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("CONTENT", tag));
	EXPECT_EQ("p", Attribute(tag, "PAGE"));
	ASSERT_EQ(3, CountValues(tag, "VIEW"));
	EXPECT_EQ("W/a", Attribute(tag, "VIEW", 0));
	EXPECT_EQ("W/b", Attribute(tag, "VIEW", 1));
	EXPECT_EQ("W/c", Attribute(tag, "VIEW", 2));
	EXPECT_STREQ("Title", tag.Contents());
}

TEST_F(xmlParserTest, AttributeValuesFollowTheirQuoting)
{
	const struct {
		const char* tag;
		const char* value;
	} rows[] = {
		{ "<T NAME=\"a b\">", "a b" },
		{ "<T NAME='a b'>", "a b" },
		{ "<T NAME=ab>", "ab" },
		{ "<T NAME=ab OTHER=\"x\">", "ab" },
		{ "<T NAME = \"spaced\">", "spaced" },
		{ "<T NAME=\"\">", "" },
		{ "<T NAME=\"a=b\">", "a=b" },
		{ "<T NAME=\"it's\">", "it's" },
		{ "<T OTHER=\"x\" NAME=plain LAST='y'>", "plain" },
		{ "<T NAME=\"open>", "open" },
		{ "<T\tNAME=\"tabbed\"\t>", "tabbed" },
	};

	for (const auto& row : rows) {
		Load(std::string(row.tag) + "text</T>");
		xmlTag tag;
		ASSERT_TRUE(fParser.FindTag("T", tag)) << row.tag;
		EXPECT_EQ(row.value, Attribute(tag, "NAME")) << row.tag;
		EXPECT_EQ(1, CountValues(tag, "NAME")) << row.tag;
	}
}

TEST_F(xmlParserTest, OverLongNamesAndValuesAreCut)
{
	std::string longName(200, 'N');
	std::string longAttribute(150, 'a');
	std::string longValue(300, 'v');
	Load("<" + longName + " " + longAttribute + "=\"" + longValue + "\">body</" + longName
		+ "><NEXT " + longAttribute + "=" + longValue + ">after</NEXT>");

	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag(std::string(kXmlNameLength, 'N').c_str(), tag));
	EXPECT_EQ(kXmlNameLength, tag.Name().Length());
	EXPECT_STREQ("body", tag.Contents());
	EXPECT_EQ(
		std::string(kXmlNameLength, 'v'), Attribute(tag, std::string(kXmlNameLength, 'a').c_str()));

	ASSERT_TRUE(fParser.FindTag("NEXT", tag));
	EXPECT_STREQ("after", tag.Contents());
	EXPECT_EQ(
		std::string(kXmlNameLength, 'v'), Attribute(tag, std::string(kXmlNameLength, 'a').c_str()));

	fParser.Rewind();
	EXPECT_FALSE(fParser.FindTag(longName.c_str(), tag));
}

TEST_F(xmlParserTest, LinesLongerThanOneLoadArriveInPieces)
{
	std::string text(3000, 'x');
	for (size_t i = 0; i < text.size(); i += 97)
		text[i] = 'y';
	// The tag name straddles the end of the first load.
	std::string padding(kXmlLineLoad - 3, ' ');
	Load(padding + "<LONGNAME>" + text + "</LONGNAME>\n<B>b</B>");

	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("LONGNAME", tag));
	EXPECT_EQ(text, std::string(tag.Contents()));
	ASSERT_TRUE(fParser.FindTag("B", tag));
	EXPECT_STREQ("b", tag.Contents());
}

TEST_F(xmlParserTest, StrayLessThanSignsAreText)
{
	Load("a < b <> c\n<\n<A>1 < 2 <> 3 <\n</A>");
	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("A", tag));
	EXPECT_STREQ("1 < 2 <> 3 <", tag.Contents());
	EXPECT_EQ(0, tag.CountChildren());
}

TEST_F(xmlParserTest, SelfClosingTagsWithAttributesHaveNoBody)
{
	Load("<P>a<IMG SRC=\"x.png\"/>b<BR />c</P><NEXT>n</NEXT>");
	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("P", tag));
	EXPECT_STREQ("abc", tag.Contents());
	std::vector<xmlTag*> children = Children(tag);
	ASSERT_EQ(2u, children.size());
	EXPECT_STREQ("IMG", children[0]->Name());
	EXPECT_EQ("x.png", Attribute(*children[0], "SRC"));
	EXPECT_EQ(1, children[0]->ParentLocation());
	EXPECT_STREQ("BR", children[1]->Name());
	EXPECT_EQ(2, children[1]->ParentLocation());
	ASSERT_TRUE(fParser.FindTag("NEXT", tag));
	EXPECT_STREQ("n", tag.Contents());
}

TEST_F(xmlParserTest, DeepNestingIsBounded)
{
	std::string text;
	for (int i = 0; i < 300; i++)
		text += "<D>";
	text += "core";
	for (int i = 0; i < 300; i++)
		text += "</D>";
	text += "<AFTER>x</AFTER>";
	Load(text);

	xmlTag tag;
	ASSERT_TRUE(fParser.FindTag("D", tag));
	int depth = 1;
	xmlTag* parent = nullptr;
	xmlTag* level = &tag;
	while (level->FirstChildTag() != nullptr) {
		parent = level;
		level = level->FirstChildTag();
		depth++;
	}
	EXPECT_GE(depth, 50);
	EXPECT_LT(depth, 300);
	ASSERT_NE(nullptr, parent);
	EXPECT_STREQ("core", parent->Contents());
	ASSERT_TRUE(fParser.FindTag("AFTER", tag));
	EXPECT_STREQ("x", tag.Contents());
}

TEST_F(xmlParserTest, SuccessiveSearchesWalkTheFileInOrder)
{
	Load("<PAGE NAME=\"a\">first</PAGE>\n"
		 "<OTHER>skip</OTHER>\n"
		 "<PAGE NAME=\"b\">second<P/>para</PAGE>\n"
		 "<PAGE NAME=\"c\"></PAGE>\n");
	const char* names[] = { "a", "b", "c" };
	for (int pass = 0; pass < 2; pass++) {
		fParser.Rewind();
		xmlTag tag;
		for (const char* name : names) {
			ASSERT_TRUE(fParser.FindTag("PAGE", tag)) << name;
			EXPECT_EQ(name, Attribute(tag, "NAME"));
		}
		EXPECT_FALSE(fParser.FindTag("PAGE", tag));
	}

	fParser.Rewind();
	xmlTag tag;
	fParser.FindTag("PAGE", tag);
	ASSERT_TRUE(fParser.FindTag("PAGE", tag));
	EXPECT_STREQ("secondpara", tag.Contents());
	std::vector<xmlTag*> children = Children(tag);
	ASSERT_EQ(1u, children.size());
	EXPECT_STREQ("P", children[0]->Name());
	EXPECT_EQ(6, children[0]->ParentLocation());
}

TEST_F(xmlParserTest, NextTagReportsEndTagsAndEmptyElements)
{
	Load("<PAGE NAME=x>t<BR/></PAGE>");

	const struct {
		const char* name;
		bool hasAttributes;
	} rows[] = {
		{ "PAGE", true },
		{ "BR/", false },
		{ "/PAGE", false },
	};

	char name[kXmlNameLength + 1];
	bool hasAttributes = false;
	for (const auto& row : rows) {
		ASSERT_TRUE(fParser.NextTag(name, hasAttributes));
		EXPECT_STREQ(row.name, name);
		EXPECT_EQ(row.hasAttributes, hasAttributes) << row.name;
	}
	EXPECT_FALSE(fParser.NextTag(name, hasAttributes));
	EXPECT_STREQ("", name);
}

namespace {

// Shows the reading position that scans move through.
class ProbeParser : public xmlParser {
public:
	char Current() const { return _Current(); }

	char Lookahead() const { return fLookahead; }

	int32 Line() const { return fLine; }
};

} // namespace

TEST_F(xmlParserTest, LinesLoadWithoutTheirLineBreaks)
{
	std::string path = fFolder.Child("lines.txt");
	std::ofstream(path, std::ios::binary) << "ab\r\n\n\ncd\n\n";
	ProbeParser parser;
	ASSERT_TRUE(parser.Open(path.c_str()));

	const struct {
		char current;
		char lookahead;
		int32 line;
	} rows[] = {
		{ 'a', 'b', 1 },
		{ 'b', '\0', 1 },
		{ 'c', 'd', 4 },
		{ 'd', '\0', 4 },
	};

	for (const auto& row : rows) {
		ASSERT_TRUE(parser.Advance()) << row.current;
		EXPECT_EQ(row.current, parser.Current());
		EXPECT_EQ(row.lookahead, parser.Lookahead()) << row.current;
		EXPECT_EQ(row.line, parser.Line()) << row.current;
	}
	EXPECT_FALSE(parser.Advance());
	EXPECT_EQ(5, parser.Line());

	parser.Rewind();
	EXPECT_EQ(0, parser.Line());
	for (int i = 0; i < 5; i++)
		ASSERT_TRUE(parser.ReadLine()) << "line " << i;
	EXPECT_FALSE(parser.ReadLine());

	parser.Rewind();
	testing::internal::CaptureStderr();
	parser.PrintToStream();
	EXPECT_EQ("xmlParser: line 0, column 0\nbuffer <>\n", testing::internal::GetCapturedStderr());
	parser.Advance();
	parser.Advance();
	testing::internal::CaptureStderr();
	parser.PrintToStream();
	EXPECT_EQ("xmlParser: line 1, column 1\nbuffer <ab>\n", testing::internal::GetCapturedStderr());
}

TEST_F(xmlParserTest, ClosedParserFindsNothing)
{
	xmlParser closed;
	EXPECT_FALSE(closed.IsValid());
	closed.Rewind();
	char name[kXmlNameLength + 1];
	bool hasAttributes = true;
	EXPECT_FALSE(closed.NextTag(name, hasAttributes));
	EXPECT_FALSE(hasAttributes);
	xmlTag tag;
	EXPECT_FALSE(closed.FindTag("A", tag));
	EXPECT_FALSE(closed.ReadLine());
	EXPECT_FALSE(closed.Advance());

	xmlParser missing(fFolder.Child("no-such-file").c_str());
	EXPECT_FALSE(missing.IsValid());
	EXPECT_FALSE(missing.FindTag("A", tag));

	Load("<A>x</A>");
	fParser.Close();
	EXPECT_FALSE(fParser.IsValid());
	EXPECT_FALSE(fParser.FindTag("A", tag));
	EXPECT_FALSE(fParser.Open(nullptr));
}

namespace {

// A parser that keeps declarations and reads "P" without a body, as a subclass may.
class AnchorlessParser : public xmlParser {
public:
	bool SkipTag(const char*) override { return false; }

	bool NoAnchorTag(const char* name) override { return strcmp(name, "P") == 0; }
};

} // namespace

TEST_F(xmlParserTest, SubclassesDecideWhichTagsAreSkippedOrBodiless)
{
	std::string path = fFolder.Child("sub.xml");
	std::ofstream(path) << "<! note><P k=v>not body</P><Q>q</Q>";
	AnchorlessParser parser;
	ASSERT_TRUE(parser.Open(path.c_str()));
	char name[kXmlNameLength + 1];
	bool hasAttributes = false;
	ASSERT_TRUE(parser.NextTag(name, hasAttributes));
	EXPECT_STREQ("!", name);

	xmlTag tag;
	ASSERT_TRUE(parser.FindTag("P", tag));
	EXPECT_STREQ("", tag.Contents());
	const char* value = nullptr;
	EXPECT_EQ(B_OK, tag.Modifiers().FindString("k", &value));
	ASSERT_TRUE(parser.FindTag("Q", tag));
	EXPECT_STREQ("q", tag.Contents());
}
