// Attribute information, as BeOS's fs_attr.h declares it.
#ifndef _FS_ATTR_H
#define _FS_ATTR_H

#include <SupportDefs.h>

#include <sys/types.h>

typedef struct attr_info {
	uint32 type;
	off_t size;
} attr_info;

#endif // _FS_ATTR_H
