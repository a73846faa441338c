#include "LibRefFilter.h"

#include <Node.h>

#include <sys/stat.h>

LibRefFilter::LibRefFilter() :
	fAllowAllFiles(false)
{
}

LibRefFilter::~LibRefFilter() { }

void
LibRefFilter::AddType(const char* type)
{
	if (type != NULL)
		fTypes.Add(type);
}

void
LibRefFilter::AllowAllFiles(const bool& allow)
{
	fAllowAllFiles = allow;
}

bool
LibRefFilter::Filter(const entry_ref*, BNode* node, struct stat* stat, const char* mimeType)
{
	if (fAllowAllFiles) {
		const bool isFile = stat != NULL ? S_ISREG(stat->st_mode) : node != NULL && node->IsFile();
		if (isFile)
			return true;
	}
	return mimeType != NULL && fTypes.InList(mimeType);
}
