// BVolumeRoster: the mounted volumes, the boot volume (the one that holds $HOME) first,
// and node-monitor messages when volumes are mounted or unmounted.
#ifndef _VOLUME_ROSTER_H
#define _VOLUME_ROSTER_H

#include <Messenger.h>
#include <SupportDefs.h>
#include <Volume.h>

#include <memory>
#include <sys/types.h>
#include <vector>

namespace BPrivate {
class MountWatcher;
} // namespace BPrivate

// The application's messenger (Application.h), where watching reports by default.
extern BMessenger be_app_messenger;

class BVolumeRoster {
public:
	BVolumeRoster();
	virtual ~BVolumeRoster();

	// The volumes one by one, the boot volume first; B_BAD_VALUE after the last.
	status_t GetNextVolume(BVolume* volume);
	void Rewind();

	status_t GetBootVolume(BVolume* volume);

	// Sends B_NODE_MONITOR messages to messenger: B_DEVICE_MOUNTED ("new device",
	// "device", "directory") and B_DEVICE_UNMOUNTED ("device"), from a thread of the
	// roster's own, until StopWatching() or the roster goes.
	status_t StartWatching(BMessenger messenger = be_app_messenger);
	void StopWatching();
	BMessenger Messenger() const;

private:
	BVolumeRoster(const BVolumeRoster&) = delete;
	BVolumeRoster& operator=(const BVolumeRoster&) = delete;

	std::vector<dev_t> fDevices;
	size_t fNext;
	bool fListed;
	std::unique_ptr<BPrivate::MountWatcher> fWatcher;
};

#endif // _VOLUME_ROSTER_H
