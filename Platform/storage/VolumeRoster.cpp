#include <VolumeRoster.h>

#include "MountTable.h"
#include "MountWatcher.h"

using namespace BPrivate;

BVolumeRoster::BVolumeRoster() :
	fNext(0),
	fListed(false)
{
}

BVolumeRoster::~BVolumeRoster()
{
	StopWatching();
}

status_t
BVolumeRoster::GetNextVolume(BVolume* volume)
{
	if (volume == nullptr)
		return B_BAD_VALUE;
	if (!fListed) {
		std::vector<VolumeEntry> volumes;
		status_t status = read_volumes(&volumes);
		if (status != B_OK)
			return status;
		fDevices.clear();
		for (const VolumeEntry& entry : volumes)
			fDevices.push_back(entry.device);
		fListed = true;
		fNext = 0;
	}
	// A volume unmounted since the listing is passed over.
	while (fNext < fDevices.size()) {
		if (volume->SetTo(fDevices[fNext++]) == B_OK)
			return B_OK;
	}
	return B_BAD_VALUE;
}

void
BVolumeRoster::Rewind()
{
	fListed = false;
	fNext = 0;
	fDevices.clear();
}

status_t
BVolumeRoster::GetBootVolume(BVolume* volume)
{
	if (volume == nullptr)
		return B_BAD_VALUE;
	return volume->SetTo(boot_device());
}

status_t
BVolumeRoster::StartWatching(BMessenger messenger)
{
	StopWatching();
	std::unique_ptr<MountWatcher> watcher(new MountWatcher(messenger));
	status_t status = watcher->Start();
	if (status != B_OK)
		return status;
	fWatcher = std::move(watcher);
	return B_OK;
}

void
BVolumeRoster::StopWatching()
{
	fWatcher.reset();
}

BMessenger
BVolumeRoster::Messenger() const
{
	return fWatcher != nullptr ? fWatcher->Target() : BMessenger();
}
