#include "LibStringList.h"

#include <Message.h>

LibStringList::~LibStringList() { }

LibStringList&
LibStringList::operator=(LibStringList& other)
{
	LinkList<LibString>::operator=(other);
	return *this;
}

bool
LibStringList::Add(const char* text)
{
	return Insert(new LibString(text));
}

bool
LibStringList::InList(const char* text)
{
	LibString probe(text);
	return LinkList<LibString>::InList(&probe);
}

LibString*
LibStringList::Find(const char* text, const bool& ignoreCase, const int32& length)
{
	if (text == nullptr)
		return nullptr;

	for (LibString* element = First(); element != nullptr; element = Next()) {
		if (element->CompareSub(text, ignoreCase, length, 0) == 0)
			return element;
	}
	return nullptr;
}

bool
LibStringList::Remove(const char* text)
{
	LibString probe(text);
	return LinkList<LibString>::Remove(&probe, false);
}

void
LibStringList::SetTo(const BMessage& message, const char* name)
{
	const char* text = nullptr;
	if (message.FindString(name, 0, &text) != B_OK)
		return;

	Clear();
	Append(message, name);
}

void
LibStringList::Append(const BMessage& message, const char* name)
{
	const char* text = nullptr;
	for (int32 index = 0; message.FindString(name, index, &text) == B_OK; index++)
		Add(text);
}

void
LibStringList::GetFrom(BMessage& message, const char* name)
{
	// A walk of its own, so the list's cursor is left as it was.
	for (ListNode<LibString>* node = fFirst; node != nullptr; node = node->fNext)
		message.AddString(name, *node->fElement);
}

void
LibStringList::PrintToStream()
{
	for (ListNode<LibString>* node = fFirst; node != nullptr; node = node->fNext)
		node->fElement->PrintToStream();
}
