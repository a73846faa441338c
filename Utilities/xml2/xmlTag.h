// One element read by xmlParser: its name, its own text, its place in its parent's text,
// its child elements and its attributes.
#ifndef XML_TAG_H
#define XML_TAG_H

#include <LibString.h>
#include <LinkList.h>

#include "xmlTagModifiers.h"

class xmlTag {
public:
	xmlTag();
	// Copies all five parts, the children deeply.
	xmlTag(const xmlTag& other);
	virtual ~xmlTag();

	xmlTag& operator=(const xmlTag& other);
	// Tags are equal when their names are (case-sensitive).
	bool operator==(const xmlTag& other) const;

	// The element name as written.
	const LibString& Name() const;
	// The element's own text, without the text of its children, without leading blanks
	// and tabs and without trailing white space.
	const LibString& Contents() const;
	// For a child: how many characters of the parent's text preceded it; 0 for the top
	// element.
	int32 ParentLocation() const;

	void SetName(const char* name);
	void SetParentLocation(const long& location);

	// Appends c; a blank or tab is dropped while the text is still empty.
	void AddContent(const char& c);
	// Appends text; leading blanks and tabs are dropped while the text is still empty.
	void AddContent(const char* text);
	void StripTrailingContent();

	// Appends a copy of child.
	void AddChild(xmlTag& child);
	// Walk the children with the list's cursor; null at the end.
	xmlTag* FirstChildTag();
	xmlTag* NextChildTag();
	int32 CountChildren();

	xmlTagModifiers& Modifiers();
	const xmlTagModifiers& Modifiers() const;

	// Empty name and text, location 0, no children, no attributes.
	void Clear();

	virtual void PrintToStream();

private:
	// The parser hands over the children it reads instead of copying them level by level.
	friend class xmlParser;

	void _AdoptChild(xmlTag* child);

	LibString fName;
	LibString fContents;
	int32 fParentLocation;
	LinkList<xmlTag> fChildren;
	xmlTagModifiers fModifiers;
};

#endif // XML_TAG_H
