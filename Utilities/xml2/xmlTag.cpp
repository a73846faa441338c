#include "xmlTag.h"

#include <cstdio>

namespace {

bool
is_blank(char c)
{
	return c == ' ' || c == '\t';
}

} // namespace

xmlTag::xmlTag() :
	fParentLocation(0)
{
}

xmlTag::xmlTag(const xmlTag& other) :
	fParentLocation(0)
{
	*this = other;
}

xmlTag::~xmlTag() { }

xmlTag&
xmlTag::operator=(const xmlTag& other)
{
	if (&other == this)
		return *this;

	fName = other.fName;
	fContents = other.fContents;
	fParentLocation = other.fParentLocation;
	fModifiers = other.fModifiers;

	// Copying walks the other tag's children with their list's cursor; the cursor is put
	// back afterwards, so copying a tag does not disturb a walk over its children.
	LinkList<xmlTag>& children = const_cast<LinkList<xmlTag>&>(other.fChildren);
	int32 cursor = children.Position(static_cast<xmlTag*>(nullptr));
	fChildren.Copy(children);
	if (cursor >= 0)
		children.Position(cursor);
	return *this;
}

bool
xmlTag::operator==(const xmlTag& other) const
{
	return fName == other.fName;
}

const LibString&
xmlTag::Name() const
{
	return fName;
}

const LibString&
xmlTag::Contents() const
{
	return fContents;
}

int32
xmlTag::ParentLocation() const
{
	return fParentLocation;
}

void
xmlTag::SetName(const char* name)
{
	fName = name != nullptr ? name : "";
}

void
xmlTag::SetParentLocation(const long& location)
{
	fParentLocation = int32(location);
}

void
xmlTag::AddContent(const char& c)
{
	if (fContents.Length() == 0 && is_blank(c))
		return;
	fContents += c;
}

void
xmlTag::AddContent(const char* text)
{
	if (text == nullptr)
		return;
	if (fContents.Length() == 0) {
		while (is_blank(*text))
			text++;
	}
	if (*text != '\0')
		fContents += text;
}

void
xmlTag::StripTrailingContent()
{
	fContents.StripTrailingSpaces();
}

void
xmlTag::AddChild(xmlTag& child)
{
	fChildren.Insert(new xmlTag(child));
}

void
xmlTag::_AdoptChild(xmlTag* child)
{
	fChildren.Insert(child);
}

xmlTag*
xmlTag::FirstChildTag()
{
	return fChildren.First();
}

xmlTag*
xmlTag::NextChildTag()
{
	return fChildren.Next();
}

int32
xmlTag::CountChildren()
{
	return fChildren.Size();
}

xmlTagModifiers&
xmlTag::Modifiers()
{
	return fModifiers;
}

const xmlTagModifiers&
xmlTag::Modifiers() const
{
	return fModifiers;
}

void
xmlTag::Clear()
{
	fName = "";
	fContents = "";
	fParentLocation = 0;
	fChildren.Clear();
	fModifiers.MakeEmpty();
}

void
xmlTag::PrintToStream()
{
	fprintf(stderr, "xmlTag: <%s>\n", static_cast<const char*>(fName));
	fprintf(stderr, "\tcontents <%s>\n", static_cast<const char*>(fContents));
	fprintf(stderr, "\tParent Local : %ld\n", long(fParentLocation));
	fModifiers.PrintToStream();
	for (xmlTag* child = fChildren.First(); child != nullptr; child = fChildren.Next())
		child->PrintToStream();
}
