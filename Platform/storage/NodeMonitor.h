// Node monitoring. Messages have the what-code B_NODE_MONITOR (AppDefs.h) and an int32
// "opcode". The platform announces mounts and unmounts (watch_node() with no node and
// B_WATCH_MOUNT, or BVolumeRoster::StartWatching()); it does not watch entries.
#ifndef _NODE_MONITOR_H
#define _NODE_MONITOR_H

#include <AppDefs.h>
#include <Messenger.h>
#include <SupportDefs.h>

struct node_ref;

// Watch flags.
#define B_STOP_WATCHING 0x0000
#define B_WATCH_NAME 0x0001
#define B_WATCH_STAT 0x0002
#define B_WATCH_ATTR 0x0004
#define B_WATCH_DIRECTORY 0x0008
#define B_WATCH_ALL 0x000F
#define B_WATCH_MOUNT 0x0010

// Opcodes. B_DEVICE_MOUNTED carries "new device" (int32), "device" (int32, the volume that
// holds the mount point) and "directory" (int64, the mount-point folder's node);
// B_DEVICE_UNMOUNTED carries "device" (int32).
#define B_ENTRY_CREATED 1
#define B_ENTRY_REMOVED 2
#define B_ENTRY_MOVED 3
#define B_STAT_CHANGED 4
#define B_ATTR_CHANGED 5
#define B_DEVICE_MOUNTED 6
#define B_DEVICE_UNMOUNTED 7

// With node NULL and flags B_WATCH_MOUNT: sends target B_DEVICE_MOUNTED and
// B_DEVICE_UNMOUNTED messages for every volume mounted or unmounted from now on, from a thread
// of the platform's, until stop_watching(target); watching twice for one target sends each
// message once. B_STOP_WATCHING with no node stops it. B_NOT_SUPPORTED for a node (entries
// are not watched), B_BAD_VALUE for other flags or an invalid target.
status_t watch_node(const node_ref* node, uint32 flags, BMessenger target);

// Ends every watch of the target; B_BAD_VALUE when it had none.
status_t stop_watching(BMessenger target);

#endif // _NODE_MONITOR_H
