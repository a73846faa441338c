#include "LibLocaleDateTime.h"

#include <Message.h>

#include <gtest/gtest.h>

TEST(LibLocaleDateTime, FormatJoinsDateAndTimeWithTheFieldSeparator)
{
	LibDateTime value(7, 12, 2026);
	value.SetTime(15, 4, 5);
	LibLocaleDateTime locale;
	EXPECT_STREQ("7 Dec 2026 3:04 PM", locale.Format(value));

	locale.SetFormat("W, M D Y");
	locale.SetSeperator(", ");
	EXPECT_STREQ("Mon, Dec 7 2026, 3:04 PM", locale.Format(value));
	EXPECT_STREQ("Mon, Dec 7 2026", locale.Format(LibDate(7, 12, 2026)));
	EXPECT_STREQ("3:04 PM", locale.Format(LibTime(15, 4, 5)));
}

TEST(LibLocaleDateTime, WriteReadAndAssignmentCoverAllThreeParts)
{
	LibLocaleDateTime original;
	original.SetSeperator(" @ ");
	original.SetLanguage(LIB_GERMAN);
	original.SetMonthFormat(LIB_ELEMENT_FULL);
	original.Set24Clock(true);
	original.SetShowSeconds(true);

	BMessage message;
	ASSERT_EQ(B_OK, original.Write(message));
	LibLocaleDateTime copy;
	copy.Read(message);
	LibDateTime value(1, 3, 2001);
	value.SetTime(8, 9, 10);
	EXPECT_STREQ("1 März 2001 @ 08:09:10", copy.Format(value));
	LibLocaleDateTime assigned;
	assigned = copy;
	EXPECT_STREQ("1 März 2001 @ 08:09:10", assigned.Format(value));

	// Without the separator key the separator stays.
	BMessage partial;
	partial.AddBool("show_minutes", true);
	assigned.Read(partial);
	EXPECT_STREQ(" @ ", assigned.Seperator());
}
