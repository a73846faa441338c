// LibStringList: the list of LibString, with conveniences for plain texts and for moving
// every string of one message field in and out.
#ifndef LIB_STRING_LIST_H
#define LIB_STRING_LIST_H

#include "LibString.h"

#include <LinkList.h>

class BMessage;

class LibStringList : public LinkList<LibString> {
public:
	LibStringList() { }

	virtual ~LibStringList();

	LibStringList& operator=(LibStringList& other);

	using LinkList<LibString>::InList;
	using LinkList<LibString>::Remove;

	bool Add(const char* text);
	bool InList(const char* text);
	// The first element whose CompareSub(text, ignoreCase, length, 0) is 0;
	// the cursor stays on it.
	LibString* Find(const char* text, const bool& ignoreCase = false, const int32& length = -1);
	bool Remove(const char* text);

	// Replaces the elements with every string under name, unless the message
	// holds none.
	void SetTo(const BMessage& message, const char* name);
	void Append(const BMessage& message, const char* name);
	void GetFrom(BMessage& message, const char* name);

	void PrintToStream();
};

#endif // LIB_STRING_LIST_H
