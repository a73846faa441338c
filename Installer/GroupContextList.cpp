#include "GroupContextList.h"

#include "PackageDefs.h"

#include <Message.h>

GroupContextList::~GroupContextList() { }

void
GroupContextList::Read(const BMessage& message)
{
	Clear();

	const char* name = nullptr;
	for (int32 index = 0; message.FindString(Package::kGroupName, index, &name) == B_OK; index++) {
		GroupContext* group = new GroupContext(name);
		group->SetUid(NextUid());
		const char* description = nullptr;
		if (message.FindString(Package::kGroupDescription, index, &description) == B_OK)
			group->SetDescription(description);
		Insert(group);
	}
}

void
GroupContextList::Write(BMessage& message) const
{
	for (ListNode<GroupContext>* node = fFirst; node != nullptr; node = node->fNext) {
		message.AddString(Package::kGroupName, node->fElement->Name());
		message.AddString(Package::kGroupDescription, node->fElement->Description());
	}
}

GroupContext*
GroupContextList::FindContext(const int32& uid)
{
	for (GroupContext* group = First(); group != nullptr; group = Next()) {
		if (group->Uid() == uid)
			return group;
	}
	return nullptr;
}

void
GroupContextList::RemoveContext(const int32& uid)
{
	// FindContext leaves the cursor on the group it found.
	if (FindContext(uid) != nullptr)
		Remove();
}

int32
GroupContextList::NextUid() const
{
	// The walk goes on past the first gap: the last position whose group carries another
	// uid wins.
	int32 uid = fCount;
	int32 position = 0;
	for (ListNode<GroupContext>* node = fFirst; node != nullptr; node = node->fNext, position++) {
		if (node->fElement->Uid() != position)
			uid = position;
	}
	return uid;
}

bool
GroupContextList::HasGroup(const char* name) const
{
	for (ListNode<GroupContext>* node = fFirst; node != nullptr; node = node->fNext) {
		if (node->fElement->Name() == name)
			return true;
	}
	return false;
}

void
GroupContextList::Add(const char* name)
{
	if (HasGroup(name))
		return;

	GroupContext* group = new GroupContext(name);
	group->SetUid(NextUid());
	Insert(group);
}

void
GroupContextList::PrintToStream() const
{
	for (ListNode<GroupContext>* node = fFirst; node != nullptr; node = node->fNext)
		node->fElement->PrintToStream();
}
