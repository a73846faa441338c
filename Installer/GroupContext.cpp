#include "GroupContext.h"

#include <cinttypes>
#include <cstdio>

GroupContext::GroupContext() :
	fUid(0)
{
}

GroupContext::GroupContext(const char* name) :
	fName(name),
	fUid(0)
{
}

GroupContext::GroupContext(const GroupContext& other) :
	fName(other.fName),
	fUid(other.fUid),
	fDescription(other.fDescription)
{
}

GroupContext::~GroupContext() { }

GroupContext&
GroupContext::operator=(const GroupContext& other)
{
	fName = other.fName;
	fUid = other.fUid;
	fDescription = other.fDescription;
	return *this;
}

bool
GroupContext::operator==(const GroupContext& other) const
{
	return fName == other.fName;
}

void
GroupContext::SetName(const char* name)
{
	fName = name;
}

void
GroupContext::SetUid(const int32& uid)
{
	fUid = uid;
}

void
GroupContext::SetDescription(const char* description)
{
	fDescription = description;
}

void
GroupContext::PrintToStream() const
{
	fprintf(stderr, "GroupContext: %" PRId32 ") name %s, desc (%s)\n", fUid,
		static_cast<const char*>(fName), static_cast<const char*>(fDescription));
}
