#include "MountWatcher.h"

#include <Message.h>
#include <NodeMonitor.h>

#include "StoragePrivate.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace BPrivate {

namespace {

// How long an announcement waits for room in a full queue before it is dropped, so that
// stopping never waits on a stuck target.
const bigtime_t kSendTimeout = 500000;

// The node of the folder a mount covers, as its parent folder lists it (stat would give
// the mounted root instead).
ino_t
covered_node(const std::string& mountPoint)
{
	if (mountPoint == "/")
		return 0;
	std::string leaf = path_leaf(mountPoint);
	DIR* dir = opendir(path_folder(mountPoint).c_str());
	if (dir == nullptr)
		return 0;
	ino_t node = 0;
	while (struct dirent* entry = readdir(dir)) {
		if (leaf == entry->d_name) {
			node = entry->d_ino;
			break;
		}
	}
	closedir(dir);
	return node;
}

bool
contains(const std::vector<VolumeEntry>& volumes, dev_t device)
{
	for (const VolumeEntry& volume : volumes) {
		if (volume.device == device)
			return true;
	}
	return false;
}

} // namespace

MountWatcher::MountWatcher(const BMessenger& target) :
	fTarget(target),
	fMountInfo(-1),
	fWake(-1)
{
}

MountWatcher::~MountWatcher()
{
	if (fThread.joinable()) {
		uint64 one = 1;
		ssize_t written = write(fWake, &one, sizeof(one));
		(void)written;
		fThread.join();
	}
	if (fMountInfo >= 0)
		close(fMountInfo);
	if (fWake >= 0)
		close(fWake);
}

status_t
MountWatcher::Start()
{
	fMountInfo = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
	if (fMountInfo < 0)
		return status_from_errno();
	fWake = eventfd(0, EFD_CLOEXEC);
	if (fWake < 0)
		return status_from_errno();
	// The table as it is now is the baseline: only later changes are announced.
	status_t status = read_volumes(&fKnown);
	if (status != B_OK)
		return status;
	fThread = std::thread(&MountWatcher::_Run, this);
	return B_OK;
}

void
MountWatcher::_Run()
{
	for (;;) {
		struct pollfd fds[2] = { { fMountInfo, POLLPRI, 0 }, { fWake, POLLIN, 0 } };
		int result = poll(fds, 2, -1);
		if (result < 0 && errno == EINTR)
			continue;
		if (result < 0 || (fds[1].revents & POLLIN) != 0)
			return;
		if ((fds[0].revents & (POLLPRI | POLLERR)) == 0)
			continue;

		std::vector<VolumeEntry> now;
		if (read_volumes(&now) == B_OK)
			_Announce(now);
	}
}

void
MountWatcher::_Announce(const std::vector<VolumeEntry>& now)
{
	for (const VolumeEntry& volume : now) {
		if (contains(fKnown, volume.device))
			continue;
		BMessage message(B_NODE_MONITOR);
		message.AddInt32("opcode", B_DEVICE_MOUNTED);
		message.AddInt32("new device", (int32)volume.device);
		message.AddInt32("device", (int32)volume.parentDevice);
		message.AddInt64("directory", (int64)covered_node(volume.mountPoint));
		fTarget.SendMessage(&message, (BHandler*)nullptr, kSendTimeout);
	}
	for (const VolumeEntry& volume : fKnown) {
		if (contains(now, volume.device))
			continue;
		BMessage message(B_NODE_MONITOR);
		message.AddInt32("opcode", B_DEVICE_UNMOUNTED);
		message.AddInt32("device", (int32)volume.device);
		fTarget.SendMessage(&message, (BHandler*)nullptr, kSendTimeout);
	}
	fKnown = now;
}

} // namespace BPrivate
