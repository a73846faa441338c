#include <LinkList.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An element that counts its live instances, so the tests see every destruction.
class Item {
public:
	Item() { sLive++; }

	explicit Item(int value) :
		fValue(value)
	{
		sLive++;
	}

	virtual ~Item() { sLive--; }

	Item& operator=(const Item& other)
	{
		fValue = other.fValue;
		return *this;
	}

	bool operator==(const Item& other) const { return fValue == other.fValue; }

	int fValue = 0;
	static int sLive;
};

int Item::sLive = 0;

class LinkListTest : public testing::Test {
protected:
	void TearDown() override { EXPECT_EQ(0, Item::sLive) << "elements leaked or destroyed twice"; }

	static void Fill(LinkList<Item>& list, std::initializer_list<int> values)
	{
		for (int value : values)
			list.Insert(new Item(value));
	}

	static std::vector<int> Values(LinkList<Item>& list)
	{
		std::vector<int> values;
		for (Item* item = list.First(); item != nullptr; item = list.Next())
			values.push_back(item->fValue);
		return values;
	}
};

} // namespace

TEST_F(LinkListTest, WalkingAnEmptyListGivesNothing)
{
	LinkList<Item> list;
	EXPECT_EQ(nullptr, list.First());
	EXPECT_EQ(nullptr, list.Get(3));
	EXPECT_EQ(nullptr, list.Position(0));
	EXPECT_FALSE(list.Remove());
	EXPECT_FALSE(list.Remove(0, 2));
	EXPECT_EQ(0, list.Size());
}

TEST_F(LinkListTest, NextAfterTheLastElementLeavesTheCursorNull)
{
	LinkList<Item> list;
	Fill(list, { 1, 2 });
	list.First();
	EXPECT_EQ(2, list.Next()->fValue);
	EXPECT_EQ(nullptr, list.Next());
	// A null cursor stays null.
	EXPECT_EQ(nullptr, list.Next());
	EXPECT_EQ(nullptr, list.Prev());
	EXPECT_FALSE(list.Remove());
	EXPECT_EQ(2, list.Size());
}

TEST_F(LinkListTest, GetClampsIndexesToTheList)
{
	LinkList<Item> list;
	Fill(list, { 10, 20, 30 });
	EXPECT_EQ(30, list.Get(5)->fValue);
	EXPECT_EQ(10, list.Get(-1)->fValue);
	EXPECT_EQ(20, list.Get(1)->fValue);
	// Positioning from the cursor, the end and the start all agree.
	const int expected[] = { 10, 20, 30, 20, 10, 30, 10 };
	const int order[] = { 0, 1, 2, 1, 0, 2, 0 };
	for (int i = 0; i < 7; i++)
		EXPECT_EQ(expected[i], list.Get(order[i])->fValue) << "step " << i;
}

TEST_F(LinkListTest, RemovingTheCursorElementMovesToThePredecessor)
{
	LinkList<Item> list;
	Fill(list, { 1, 2, 3 });
	list.Position(1);
	EXPECT_TRUE(list.Remove());
	EXPECT_EQ((std::vector<int> { 1, 3 }), Values(list));

	list.Position(1);
	list.Remove();
	// The cursor rests on the predecessor, at index 0: Next() reaches nothing more.
	EXPECT_EQ(nullptr, list.Next());
}

TEST_F(LinkListTest, RemovingTheFirstElementMovesToTheNewFirst)
{
	LinkList<Item> list;
	Fill(list, { 1, 2, 3 });
	list.First();
	EXPECT_TRUE(list.Remove());
	// The cursor is on the new first element (2), so Next() reaches 3.
	EXPECT_EQ(3, list.Next()->fValue);
	EXPECT_EQ((std::vector<int> { 2, 3 }), Values(list));
}

TEST_F(LinkListTest, RemovingWhileWalkingSkipsOnlyAfterTheFirst)
{
	// Removing every element while walking: after the first removal the new first
	// element is skipped, as callers of the walk expect.
	LinkList<Item> list;
	Fill(list, { 1, 2, 3, 4, 5 });
	std::vector<int> visited;
	for (Item* item = list.First(); item != nullptr; item = list.Next()) {
		visited.push_back(item->fValue);
		list.Remove();
	}
	EXPECT_EQ((std::vector<int> { 1, 3, 4, 5 }), visited);
	EXPECT_EQ((std::vector<int> { 2 }), Values(list));

	// Removing inner elements visits every element once.
	LinkList<Item> second;
	Fill(second, { 1, 2, 3, 4, 5 });
	visited.clear();
	for (Item* item = second.First(); item != nullptr; item = second.Next()) {
		visited.push_back(item->fValue);
		if (item->fValue % 2 == 0)
			second.Remove();
	}
	EXPECT_EQ((std::vector<int> { 1, 2, 3, 4, 5 }), visited);
	EXPECT_EQ((std::vector<int> { 1, 3, 5 }), Values(second));
}

TEST_F(LinkListTest, RangeRemoval)
{
	const struct {
		int from;
		int to;
		bool result;
		std::vector<int> left;
		int nextValue; // what Next() gives afterwards; -1 for nothing
	} rows[] = {
		{ 0, 1, true, { 3, 4 }, -1 },
		{ 2, 1, false, { 1, 2, 3, 4 }, -1 },
		{ 1, 2, true, { 1, 4 }, 4 },
		{ 2, 10, true, { 1, 2 }, -1 },
		{ -5, 0, true, { 2, 3, 4 }, -1 },
		{ 0, 3, true, {}, -1 },
	};

	for (const auto& row : rows) {
		LinkList<Item> list;
		Fill(list, { 1, 2, 3, 4 });
		EXPECT_EQ(row.result, list.Remove(row.from, row.to)) << row.from << ".." << row.to;
		Item* next = list.Next();
		EXPECT_EQ(row.nextValue, next != nullptr ? next->fValue : -1) << row.from << ".." << row.to;
		EXPECT_EQ(row.left, Values(list)) << row.from << ".." << row.to;
	}
}

TEST_F(LinkListTest, SearchesCompareValuesAndPlaceTheCursor)
{
	LinkList<Item> list;
	Fill(list, { 5, 6, 7, 6 });
	Item six(6), nine(9);
	EXPECT_TRUE(list.InList(&six));
	EXPECT_EQ(1, list.Position(&six));
	EXPECT_EQ(7, list.Next()->fValue);
	// FindNext searches from the cursor inclusive.
	EXPECT_NE(nullptr, list.FindNext(&six));
	EXPECT_EQ(3, list.Position(static_cast<Item*>(nullptr)));

	EXPECT_FALSE(list.InList(&nine));
	EXPECT_EQ(-1, list.Position(static_cast<Item*>(nullptr)));
	EXPECT_EQ(nullptr, list.Get(static_cast<const Item*>(&nine)));
	EXPECT_EQ(6, list.Get(static_cast<const Item*>(&six))->fValue);
}

TEST_F(LinkListTest, RemoveByValue)
{
	LinkList<Item> list;
	Fill(list, { 1, 2, 1, 3, 1 });
	Item one(1), four(4);
	EXPECT_TRUE(list.Remove(&one, false));
	EXPECT_EQ((std::vector<int> { 2, 1, 3, 1 }), Values(list));
	EXPECT_FALSE(list.Remove(&four, false));
	// Removing all answers false, the result of the last search.
	EXPECT_FALSE(list.Remove(&one, true));
	EXPECT_EQ((std::vector<int> { 2, 3 }), Values(list));

	// A probe that is an element of the list itself.
	Fill(list, { 2, 2 });
	EXPECT_FALSE(list.Remove(list.Get(0), true));
	EXPECT_EQ((std::vector<int> { 3 }), Values(list));
}

TEST_F(LinkListTest, CopiesAreIndependent)
{
	LinkList<Item> original;
	Fill(original, { 1, 2, 3 });
	LinkList<Item> copy;
	Fill(copy, { 9 });
	copy = original;
	EXPECT_EQ((std::vector<int> { 1, 2, 3 }), Values(copy));
	copy.First()->fValue = 100;
	EXPECT_EQ(1, original.First()->fValue);
	EXPECT_EQ(6, Item::sLive);

	copy = copy;
	EXPECT_EQ((std::vector<int> { 100, 2, 3 }), Values(copy));

	// Inserting a list into itself copies each element once.
	copy.Insert(copy);
	EXPECT_EQ((std::vector<int> { 100, 2, 3, 100, 2, 3 }), Values(copy));
	EXPECT_EQ(6, copy.Size());
}

TEST_F(LinkListTest, InsertingAnotherListLeavesItsCursorNull)
{
	LinkList<Item> source;
	Fill(source, { 1, 2 });
	LinkList<Item> target;
	target.Insert(source);
	EXPECT_EQ(nullptr, source.Next());
	EXPECT_EQ(2, target.Size());
	EXPECT_FALSE(target.Insert(nullptr));
}
