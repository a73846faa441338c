// The filter of the programs' file panels: entries of the listed MIME types, and with
// allow-all-files every file as well.
#ifndef LIB_REF_FILTER_H
#define LIB_REF_FILTER_H

#include "LibStringList.h"

#include <FilePanel.h>

class LibRefFilter : public BRefFilter {
public:
	LibRefFilter();
	virtual ~LibRefFilter();

	// Admits entries whose type is exactly type.
	void AddType(const char* type);
	// Admits every file besides the listed types (default false).
	void AllowAllFiles(const bool& allow);

	// True for a file when all files are allowed, or for an entry of a listed type.
	virtual bool Filter(const entry_ref* ref, BNode* node, struct stat* stat, const char* mimeType);

private:
	LibStringList fTypes;
	bool fAllowAllFiles;
};

#endif // LIB_REF_FILTER_H
