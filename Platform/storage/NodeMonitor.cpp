// watch_node() and stop_watching() for the mount watching that the platform offers: one
// mount watcher per target messenger.
#include <NodeMonitor.h>

#include <EntryRef.h>

#include "MountWatcher.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

// The watches of the process, the counterpart of the BeOS kernel's node-monitor table: a
// watch outlives every object of the program that asked for it until stop_watching(), so
// it cannot belong to one of them. Never freed, because watcher threads may still deliver
// while static objects are destroyed at exit.
struct WatchTable {
	std::mutex lock;
	std::map<BMessenger, std::unique_ptr<BPrivate::MountWatcher>> mountWatchers;
};

WatchTable&
watch_table()
{
	static WatchTable* table = new WatchTable;
	return *table;
}

} // namespace

status_t
watch_node(const node_ref* node, uint32 flags, BMessenger target)
{
	if (!target.IsValid())
		return B_BAD_VALUE;
	// Entries are not watched on this platform; only mounts are announced.
	if (node != NULL)
		return B_NOT_SUPPORTED;
	if (flags == B_STOP_WATCHING)
		return stop_watching(target);
	if (flags != B_WATCH_MOUNT)
		return B_BAD_VALUE;

	WatchTable& table = watch_table();
	std::lock_guard<std::mutex> locker(table.lock);
	if (table.mountWatchers.count(target) > 0)
		return B_OK;
	std::unique_ptr<BPrivate::MountWatcher> watcher(new BPrivate::MountWatcher(target));
	status_t status = watcher->Start();
	if (status != B_OK)
		return status;
	table.mountWatchers[target] = std::move(watcher);
	return B_OK;
}

status_t
stop_watching(BMessenger target)
{
	std::unique_ptr<BPrivate::MountWatcher> watcher;
	{
		WatchTable& table = watch_table();
		std::lock_guard<std::mutex> locker(table.lock);
		auto found = table.mountWatchers.find(target);
		if (found == table.mountWatchers.end())
			return B_BAD_VALUE;
		watcher = std::move(found->second);
		table.mountWatchers.erase(found);
	}
	// Stopped outside the table's lock: the watcher's thread may be delivering.
	watcher.reset();
	return B_OK;
}
