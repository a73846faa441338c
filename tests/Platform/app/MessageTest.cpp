// The field API of BMessage: typed values, the BeOS error codes, copies, and the delivery
// information the kits attach.
#include <Message.h>
#include <MessagePrivate.h>
#include <Messenger.h>
#include <MessengerPrivate.h>

#include <EntryRef.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// A reply route that records what happens to it.
class FakeRoute : public BPrivate::MessageReplyRoute {
public:
	FakeRoute(bool waiting, bool* destroyed) :
		fWaiting(waiting),
		fDestroyed(destroyed)
	{
	}

	~FakeRoute() override { *fDestroyed = true; }

	bool IsSourceWaiting() const override { return fWaiting; }

	status_t GetReturnAddress(BMessenger*) const override { return B_ERROR; }

	status_t SendReply(BMessage* reply, const BMessenger* replyTo, BMessage* replyToReply,
		bigtime_t, bigtime_t) override
	{
		lastReply = reply->what;
		replyToGiven = replyTo != NULL;
		waitedForAnswer = replyToReply != NULL;
		return B_OK;
	}

	uint32 lastReply = 0;
	bool replyToGiven = false;
	bool waitedForAnswer = false;

private:
	bool fWaiting;
	bool* fDestroyed;
};

} // namespace

TEST(Message, FindReportsMissingNamesWrongTypesAndBadIndexes)
{
	BMessage message;
	message.AddInt32("int", 7);
	message.AddString("text", "value");

	struct Row {
		const char* name;
		type_code type;
		int32 index;
		status_t expected;
	} rows[] = {
		{ "int", B_INT32_TYPE, 0, B_OK },
		{ "missing", B_INT32_TYPE, 0, B_NAME_NOT_FOUND },
		{ "int", B_INT16_TYPE, 0, B_BAD_TYPE },
		{ "int", B_INT32_TYPE, 1, B_BAD_INDEX },
		{ "int", B_INT32_TYPE, -1, B_BAD_INDEX },
		{ "int", B_ANY_TYPE, 0, B_OK },
		{ "text", B_ANY_TYPE, 1, B_BAD_INDEX },
	};

	for (const Row& row : rows) {
		const void* data = &row;
		ssize_t size = 99;
		EXPECT_EQ(row.expected, message.FindData(row.name, row.type, row.index, &data, &size))
			<< row.name << " " << row.index;
		if (row.expected != B_OK) {
			// BeOS behaviour: FindData clears the pointer on failure.
			EXPECT_EQ(NULL, data);
			EXPECT_EQ(99, size);
		}
	}

	// Typed finders leave their out-parameter alone on failure.
	int32 value = 77;
	EXPECT_EQ(B_NAME_NOT_FOUND, message.FindInt32("missing", &value));
	EXPECT_EQ(B_BAD_TYPE, message.FindInt32("text", &value));
	EXPECT_EQ(B_BAD_INDEX, message.FindInt32("int", 3, &value));
	EXPECT_EQ(77, value);

	const char* string = "untouched";
	EXPECT_EQ(B_BAD_TYPE, message.FindString("int", &string));
	EXPECT_EQ(NULL, string);
	EXPECT_EQ(B_BAD_VALUE, message.FindInt32(NULL, &value));
}

TEST(Message, AddingToANameKeepsItsTypeAndFixedSize)
{
	BMessage message;
	ASSERT_EQ(B_OK, message.AddInt32("value", 1));
	EXPECT_EQ(B_BAD_TYPE, message.AddString("value", "text"));
	EXPECT_EQ(B_BAD_TYPE, message.AddInt64("value", 1));
	const uint8 bytes[8] = {};
	EXPECT_EQ(B_BAD_VALUE, message.AddData("value", B_INT32_TYPE, bytes, 8));
	EXPECT_EQ(B_OK, message.AddData("value", B_INT32_TYPE, bytes, 4));

	int32 count = 0;
	type_code type = 0;
	ASSERT_EQ(B_OK, message.GetInfo("value", &type, &count));
	EXPECT_EQ((type_code)B_INT32_TYPE, type);
	EXPECT_EQ(2, count);

	// Variable-size fields take values of any size.
	ASSERT_EQ(B_OK, message.AddData("raw", B_RAW_TYPE, bytes, 8, false));
	EXPECT_EQ(B_OK, message.AddData("raw", B_RAW_TYPE, bytes, 3, true));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("zero", B_RAW_TYPE, bytes, 0, true));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("negative", B_RAW_TYPE, bytes, -1));
}

TEST(Message, NamesMayBeEmptyButNotNullOrTooLong)
{
	BMessage message;
	EXPECT_EQ(B_OK, message.AddBool("", true));
	EXPECT_TRUE(message.FindBool(""));
	EXPECT_EQ(B_OK, message.AddBool(std::string(255, 'n').c_str(), true));
	EXPECT_EQ(B_BAD_VALUE, message.AddBool(std::string(256, 'n').c_str(), true));
	EXPECT_EQ(B_BAD_VALUE, message.AddBool(NULL, true));
	EXPECT_EQ(B_BAD_VALUE, message.AddString("string", NULL));
	EXPECT_EQ(B_BAD_VALUE, message.AddMessage("message", NULL));
	EXPECT_EQ(B_BAD_VALUE, message.AddRef("ref", NULL));
}

TEST(Message, ReplaceChangesOneValueInPlace)
{
	BMessage message;
	message.AddString("list", "one");
	message.AddString("list", "two");
	message.AddString("list", "three");
	message.AddInt16("short", 1);

	ASSERT_EQ(B_OK, message.ReplaceString("list", 1, "a much longer second value"));
	EXPECT_STREQ("one", message.FindString("list", 0));
	EXPECT_STREQ("a much longer second value", message.FindString("list", 1));
	EXPECT_STREQ("three", message.FindString("list", 2));
	ASSERT_EQ(B_OK, message.ReplaceString("list", 1, ""));
	EXPECT_STREQ("three", message.FindString("list", 2));

	EXPECT_EQ(B_OK, message.ReplaceInt16("short", 2));
	EXPECT_EQ(2, message.FindInt16("short"));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.ReplaceInt16("missing", 2));
	EXPECT_EQ(B_BAD_TYPE, message.ReplaceInt32("short", 2));
	EXPECT_EQ(B_BAD_INDEX, message.ReplaceInt16("short", 1, 2));
	const uint8 bytes[4] = {};
	EXPECT_EQ(B_BAD_VALUE, message.ReplaceData("short", B_INT16_TYPE, bytes, 4));
}

TEST(Message, RemoveDataDropsAFieldWithItsLastValue)
{
	BMessage message;
	for (int32 i = 0; i < 3; i++)
		message.AddInt32("values", i * 10);
	message.AddString("text", "alone");

	ASSERT_EQ(B_OK, message.RemoveData("values", 1));
	EXPECT_EQ(0, message.FindInt32("values", 0));
	EXPECT_EQ(20, message.FindInt32("values", 1));
	EXPECT_FALSE(message.HasInt32("values", 2));
	EXPECT_EQ(B_BAD_INDEX, message.RemoveData("values", 2));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.RemoveData("missing"));

	ASSERT_EQ(B_OK, message.RemoveData("text"));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.GetInfo("text", NULL));
	ASSERT_EQ(B_OK, message.RemoveName("values"));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.RemoveName("values"));
	EXPECT_TRUE(message.IsEmpty());
}

TEST(Message, GetInfoWalksTheFieldsOfOneType)
{
	BMessage message;
	EXPECT_EQ(B_BAD_TYPE, message.GetInfo(B_STRING_TYPE, 0, NULL, NULL));
	EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_ANY_TYPE, 0, NULL, NULL));

	message.AddString("first", "a");
	message.AddInt32("number", 1);
	message.AddString("second", "b");
	message.AddString("second", "c");

	char* name = NULL;
	type_code type = 0;
	int32 count = 0;
	ASSERT_EQ(B_OK, message.GetInfo(B_STRING_TYPE, 1, &name, &type, &count));
	EXPECT_STREQ("second", name);
	EXPECT_EQ((type_code)B_STRING_TYPE, type);
	EXPECT_EQ(2, count);
	ASSERT_EQ(B_OK, message.GetInfo(B_ANY_TYPE, 1, &name, &type));
	EXPECT_STREQ("number", name);
	EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_STRING_TYPE, 2, &name, &type));
	EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_STRING_TYPE, -1, &name, &type));
	EXPECT_EQ(B_BAD_TYPE, message.GetInfo(B_RECT_TYPE, 0, &name, &type));

	EXPECT_EQ(3, message.CountNames(B_ANY_TYPE));
	EXPECT_EQ(2, message.CountNames(B_STRING_TYPE));
	EXPECT_EQ(0, message.CountNames(B_RECT_TYPE));

	bool fixedSize = true;
	ASSERT_EQ(B_OK, message.GetInfo("first", &type, &count, &fixedSize));
	EXPECT_FALSE(fixedSize);
	ASSERT_EQ(B_OK, message.GetInfo("number", &type, &fixedSize));
	EXPECT_TRUE(fixedSize);
}

TEST(Message, ManyFieldsStayFindableThroughRemovesAndRenames)
{
	// Enough fields for the name index to be in use.
	BMessage message;
	for (int32 i = 0; i < 100; i++)
		ASSERT_EQ(B_OK, message.AddInt32(("field" + std::to_string(i)).c_str(), i));
	for (int32 i = 0; i < 100; i += 3)
		ASSERT_EQ(B_OK, message.RemoveName(("field" + std::to_string(i)).c_str()));
	ASSERT_EQ(B_OK, message.Rename("field1", "renamed"));
	EXPECT_EQ(B_NAME_IN_USE, message.Rename("field2", "field4"));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.Rename("field0", "other"));

	EXPECT_EQ(1, message.FindInt32("renamed"));
	EXPECT_FALSE(message.HasInt32("field1"));
	for (int32 i = 2; i < 100; i++) {
		bool present = message.HasInt32(("field" + std::to_string(i)).c_str());
		EXPECT_EQ(i % 3 != 0, present) << i;
	}
	EXPECT_EQ(B_BAD_TYPE, message.AddString("field2", "x"));

	BMessage copy(message);
	EXPECT_EQ(50, copy.FindInt32("field50"));
	EXPECT_EQ(B_OK, copy.AddInt32("field0", 0));
}

TEST(Message, CopiesAreIndependent)
{
	BMessage original('orig');
	original.AddString("name", "original");
	BMessage nested('nest');
	nested.AddInt8("level", 1);
	original.AddMessage("nested", &nested);

	BMessage copy(original);
	copy.ReplaceString("name", "copy");
	copy.AddInt32("extra", 1);
	EXPECT_STREQ("original", original.FindString("name"));
	EXPECT_FALSE(original.HasInt32("extra"));

	BMessage assigned('othr');
	assigned.AddBool("old", true);
	assigned = original;
	EXPECT_EQ('orig', assigned.what);
	EXPECT_FALSE(assigned.HasBool("old"));
	EXPECT_TRUE(assigned.HasSameData(original));

	const BMessage& self = assigned;
	assigned = self;
	EXPECT_TRUE(assigned.HasSameData(original));

	assigned.MakeEmpty();
	EXPECT_TRUE(assigned.IsEmpty());
	EXPECT_EQ('orig', assigned.what);
}

TEST(Message, HasSameDataComparesValuesAndOptionallyOrder)
{
	BMessage first('same');
	first.AddInt32("a", 1);
	first.AddString("b", "text");
	BMessage second('same');
	second.AddString("b", "text");
	second.AddInt32("a", 1);

	EXPECT_TRUE(first.HasSameData(second));
	EXPECT_FALSE(first.HasSameData(second, false));
	second.ReplaceInt32("a", 2);
	EXPECT_FALSE(first.HasSameData(second));
	second.ReplaceInt32("a", 1);
	second.what = 'diff';
	EXPECT_FALSE(first.HasSameData(second));
}

TEST(Message, AppendAddsEveryValue)
{
	BMessage target;
	target.AddInt32("shared", 1);
	BMessage source;
	source.AddInt32("shared", 2);
	source.AddString("new", "value");
	source.AddString("new", "second");

	ASSERT_EQ(B_OK, target.Append(source));
	EXPECT_EQ(2, target.FindInt32("shared", 1));
	EXPECT_STREQ("second", target.FindString("new", 1));

	BMessage conflicting;
	conflicting.AddBool("shared", true);
	EXPECT_EQ(B_BAD_TYPE, target.Append(conflicting));
}

TEST(Message, RefsKeepDeviceDirectoryAndName)
{
	BMessage message;
	entry_ref ref(2049, 123456789012LL, "file name");
	ASSERT_EQ(B_OK, message.AddRef("refs", &ref));
	entry_ref found;
	ASSERT_EQ(B_OK, message.FindRef("refs", &found));
	EXPECT_EQ(ref, found);

	entry_ref replaced(1, 2, "other");
	ASSERT_EQ(B_OK, message.ReplaceRef("refs", &replaced));
	ASSERT_EQ(B_OK, message.FindRef("refs", &found));
	EXPECT_EQ(replaced, found);

	// A value too short to be a reference is refused.
	const uint8 shortValue[4] = {};
	message.AddData("bad", B_REF_TYPE, shortValue, sizeof(shortValue), false);
	EXPECT_EQ(B_BAD_DATA, message.FindRef("bad", &found));
}

TEST(Message, StringsWithoutTerminatorAreNotReturned)
{
	BMessage message;
	const char kText[3] = { 'a', 'b', 'c' };
	message.AddData("unterminated", B_STRING_TYPE, kText, sizeof(kText), false);
	const char* string = kText;
	EXPECT_EQ(B_BAD_DATA, message.FindString("unterminated", &string));
	EXPECT_EQ(NULL, string);
	EXPECT_STREQ("default", message.GetString("unterminated", "default"));
}

TEST(Message, GettersFallBackToDefaultsAndSettersAddOrReplace)
{
	BMessage message;
	EXPECT_EQ(42, message.GetInt32("missing", 42));
	EXPECT_TRUE(message.GetBool("missing", true));
	EXPECT_STREQ("fallback", message.GetString("missing", "fallback"));
	EXPECT_EQ(BPoint(1, 2), message.GetPoint("missing", BPoint(1, 2)));
	EXPECT_EQ(0, message.FindInt32("missing"));
	EXPECT_EQ(NULL, message.FindString("missing"));
	EXPECT_FALSE(message.FindRect("missing").IsValid());

	ASSERT_EQ(B_OK, message.SetInt32("number", 1));
	ASSERT_EQ(B_OK, message.SetInt32("number", 2));
	int32 count = 0;
	message.GetInfo("number", NULL, &count);
	EXPECT_EQ(1, count);
	EXPECT_EQ(2, message.GetInt32("number", 0));
	EXPECT_EQ(B_BAD_TYPE, message.SetString("number", "text"));
	ASSERT_EQ(B_OK, message.SetString("text", "short"));
	ASSERT_EQ(B_OK, message.SetString("text", "a longer text"));
	EXPECT_STREQ("a longer text", message.GetString("text"));
	ASSERT_EQ(B_OK, message.SetDouble("double", 0.5));
	EXPECT_EQ(0.5, message.GetDouble("double", 0.0));
	ASSERT_EQ(B_OK, message.SetColor("color", make_color(1, 2, 3)));
	EXPECT_EQ(make_color(1, 2, 3), message.GetColor("color", make_color(0, 0, 0)));
}

TEST(Message, PrintToStreamShowsEveryValue)
{
	BMessage nested('nest');
	nested.AddInt32("inner", 5);
	BMessage message('abcd');
	message.AddString("text", "hello");
	message.AddInt32("numbers", 1);
	message.AddInt32("numbers", 2);
	message.AddBool("flag", true);
	message.AddMessage("child", &nested);

	testing::internal::CaptureStdout();
	message.PrintToStream();
	std::string output = testing::internal::GetCapturedStdout();
	EXPECT_NE(std::string::npos, output.find("BMessage: what = 'abcd' (0x61626364, or 1633837924)"))
		<< output;
	EXPECT_NE(
		std::string::npos, output.find("text, type='CSTR', c=1, size=  6, data[0]: \"hello\""))
		<< output;
	EXPECT_NE(std::string::npos, output.find("data[1]: 0x2 (2,")) << output;
	EXPECT_NE(std::string::npos, output.find("TRUE")) << output;
	EXPECT_NE(std::string::npos, output.find("    BMessage: what = 'nest'")) << output;
	EXPECT_NE(std::string::npos, output.find("inner, type='LONG'")) << output;
}

TEST(Message, SystemWhatCodesAreRecognised)
{
	EXPECT_TRUE(BMessage(B_QUIT_REQUESTED).IsSystem());
	EXPECT_TRUE(BMessage(B_MOUSE_DOWN).IsSystem());
	EXPECT_FALSE(BMessage(B_SIMPLE_DATA).IsSystem());
	EXPECT_FALSE(BMessage('_low').IsSystem());
	EXPECT_EQ(0x4E444D4Eu, (uint32)B_NODE_MONITOR);
}

TEST(Message, DropInformationIsSetByTheKitsAndCopied)
{
	BMessage message(B_SIMPLE_DATA);
	EXPECT_FALSE(message.WasDropped());
	EXPECT_EQ(BPoint(0, 0), message.DropPoint());

	BMessage::Private(message).SetWasDropped(true);
	BMessage::Private(message).SetDropPoint(BPoint(100, 200), BPoint(5, 6));
	BMessage copy(message);
	EXPECT_TRUE(copy.WasDropped());
	BPoint offset;
	EXPECT_EQ(BPoint(100, 200), copy.DropPoint(&offset));
	EXPECT_EQ(BPoint(5, 6), offset);

	// Reading a message into it starts afresh.
	BMessage fresh;
	std::vector<char> flat;
	ASSERT_EQ(B_OK, BMessage::Private::Flatten(fresh, flat));
	ASSERT_EQ(B_OK, copy.Unflatten(flat.data(), (ssize_t)flat.size()));
	EXPECT_FALSE(copy.WasDropped());
}

TEST(Message, RepliesOwnTheMessageTheyAnswer)
{
	BMessage reply(B_REPLY);
	EXPECT_EQ(NULL, reply.Previous());
	EXPECT_FALSE(reply.IsReply());

	BMessage::Private(reply).SetReply(true);
	BMessage::Private(reply).SetPrevious(new BMessage('orig'));
	EXPECT_TRUE(reply.IsReply());
	ASSERT_NE(nullptr, reply.Previous());
	EXPECT_EQ('orig', reply.Previous()->what);

	BMessage copy = reply;
	EXPECT_NE(reply.Previous(), copy.Previous());
	EXPECT_EQ('orig', copy.Previous()->what);
	// The address sanitizer reports a leak if the previous messages are not freed.
}

TEST(Message, ReplyRouteLivesAsLongAsTheLastCopy)
{
	bool destroyed = false;
	{
		BMessage message('ask?');
		EXPECT_FALSE(message.IsSourceWaiting());
		BMessage::Private(message).SetReplyRoute(std::make_shared<FakeRoute>(true, &destroyed));
		EXPECT_TRUE(message.IsSourceWaiting());

		BMessage* copy = new BMessage(message);
		BMessage::Private(message).ClearDelivery();
		EXPECT_FALSE(message.IsSourceWaiting());
		EXPECT_FALSE(destroyed);
		EXPECT_TRUE(copy->IsSourceWaiting());
		delete copy;
		EXPECT_TRUE(destroyed);
	}
}

TEST(Message, MessengerFieldsHoldTheMessengerAndStayInTheProcess)
{
	BMessenger messenger;
	BMessenger::Private(messenger).SetTo(1234, 56, 78);
	BMessage message;
	ASSERT_EQ(B_OK, message.AddMessenger("target", messenger));
	BMessenger found;
	ASSERT_EQ(B_OK, message.FindMessenger("target", &found));
	EXPECT_EQ(messenger, found);
	EXPECT_EQ(56, BMessenger::Private(found).Port());

	BMessenger other;
	ASSERT_EQ(B_OK, message.ReplaceMessenger("target", other));
	ASSERT_EQ(B_OK, message.FindMessenger("target", &found));
	EXPECT_EQ(other, found);
	EXPECT_EQ(B_BAD_INDEX, message.FindMessenger("target", 1, &found));

	std::vector<char> flat;
	ASSERT_EQ(B_OK, BMessage::Private::Flatten(message, flat));
	BMessage copy;
	ASSERT_EQ(B_OK, copy.Unflatten(flat.data(), (ssize_t)flat.size()));
	EXPECT_FALSE(copy.HasMessenger("target"));
}

TEST(Message, RepliesGoThroughTheReplyRoute)
{
	BMessage unanswerable('ask?');
	EXPECT_EQ(B_BAD_REPLY, unanswerable.SendReply('nope'));
	EXPECT_FALSE(unanswerable.ReturnAddress().IsValid());

	bool destroyed = false;
	auto route = std::make_shared<FakeRoute>(false, &destroyed);
	BMessage message('ask?');
	BMessage::Private(message).SetReplyRoute(route);

	BMessage reply('answ');
	EXPECT_EQ(B_OK, message.SendReply(&reply));
	EXPECT_EQ((uint32)'answ', route->lastReply);
	EXPECT_FALSE(route->replyToGiven);

	EXPECT_EQ(B_OK, message.SendReply(&reply, BMessenger()));
	EXPECT_TRUE(route->replyToGiven);

	BMessage answer;
	EXPECT_EQ(B_OK, message.SendReply('sync', &answer));
	EXPECT_EQ((uint32)'sync', route->lastReply);
	EXPECT_TRUE(route->waitedForAnswer);
	EXPECT_EQ(B_BAD_VALUE, message.SendReply((BMessage*)NULL));
}
