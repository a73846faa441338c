// GroupContext: one install type of a package (a named choice of what to install) with the
// description shown as its tip. Two groups are the same group when their names are equal,
// case-sensitively.
#ifndef GROUP_CONTEXT_H
#define GROUP_CONTEXT_H

#include "LibString.h"

#include <SupportDefs.h>

class GroupContext {
public:
	GroupContext();
	GroupContext(const char* name);
	GroupContext(const GroupContext& other);
	virtual ~GroupContext();

	GroupContext& operator=(const GroupContext& other);
	bool operator==(const GroupContext& other) const;

	const LibString& Name() const { return fName; }

	void SetName(const char* name);

	int32 Uid() const { return fUid; }

	void SetUid(const int32& uid);

	const LibString& Description() const { return fDescription; }

	void SetDescription(const char* description);

	void PrintToStream() const;

private:
	LibString fName;
	int32 fUid;
	LibString fDescription;
};

#endif // GROUP_CONTEXT_H
