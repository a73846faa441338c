#include "ItemIcon.h"

#include "PackageDefs.h"

#include <Bitmap.h>
#include <Entry.h>
#include <Message.h>
#include <NodeInfo.h>
#include <TypeConstants.h>

status_t
ArchiveItemIcon(const std::string& path, BMessage& archive)
{
	entry_ref ref;
	status_t status = get_ref_for_path(path.c_str(), &ref);
	if (status != B_OK)
		return status;

	const float last = Package::kIconSide - 1;
	BBitmap icon(BRect(0, 0, last, last), B_CMAP8);
	status = BNodeInfo::GetTrackerIcon(&ref, &icon, B_MINI_ICON);
	if (status != B_OK)
		return status;
	if (icon.BitsLength() != Package::kIconBytes)
		return B_BAD_DATA;

	archive.MakeEmpty();
	archive.AddString("class", Package::kIconClassName);
	archive.AddRect("_frame", BRect(0, 0, last, last));
	archive.AddInt32("_cspace", B_CMAP8);
	archive.AddInt32("_bmflags", 1);
	archive.AddInt32("_rowbytes", Package::kIconSide);
	return archive.AddData("_data", B_RAW_TYPE, icon.Bits(), icon.BitsLength());
}
