// Watches the mount table (poll() on /proc/self/mountinfo reports POLLPRI for every
// change) on a thread of its own and announces volumes that come and go as node-monitor
// messages.
#ifndef _MOUNT_WATCHER_H
#define _MOUNT_WATCHER_H

#include <Messenger.h>
#include <SupportDefs.h>

#include "MountTable.h"

#include <thread>
#include <vector>

namespace BPrivate {

class MountWatcher {
public:
	explicit MountWatcher(const BMessenger& target);
	~MountWatcher();

	MountWatcher(const MountWatcher&) = delete;
	MountWatcher& operator=(const MountWatcher&) = delete;

	status_t Start();

	const BMessenger& Target() const { return fTarget; }

private:
	void _Run();
	void _Announce(const std::vector<VolumeEntry>& now);

	BMessenger fTarget;
	int fMountInfo;
	int fWake;
	std::thread fThread;
	std::vector<VolumeEntry> fKnown;
};

} // namespace BPrivate

#endif // _MOUNT_WATCHER_H
