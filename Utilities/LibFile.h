// The file operations both programs change the file system with: copying, moving, removing,
// linking and archiving entries, moving them into the Trash or out of the way, unique
// temporary names, and finding a tool along a search path.
//
// Everything runs through system calls, the storage kit and libzip; no shell is involved,
// so every path reaches the file system unchanged whatever characters it holds. Copies and
// moves keep permissions, times and attributes. All paths are absolute unless stated.
#ifndef LIB_FILE_H
#define LIB_FILE_H

#include <SupportDefs.h>

class BPath;

// How the functions below take paths: relative ones from the working directory; the
// folder part is resolved on disk as the kernel resolves it (so "a/link/../x" is the x
// beside the link's target, not "a/x"), and the last component is the entry itself, never
// followed when it is a link. The entry a function copies, moves or removes may not be
// named by a last component "." or ".." ("dir/sub/.." would be dir) nor be "/": such a
// path is refused. A target whose last component is "." or ".." is the folder it leads
// to, and the entry goes inside it.

// Copies source to target recursively, the way "cp -fR" does: when target is an existing
// folder the copy goes inside it under the source's leaf name; a same-named file there is
// replaced, a same-named folder receives the source folder's contents. Symbolic links are
// copied as links. A copy onto the very same node (a hard link, the same file through
// another mount) does nothing and succeeds; a folder is never copied into itself (checked
// by device and inode, so no path through a link or a mount escapes it). True when
// everything was copied.
bool LibCopy(const char* source, const char* target);

// Moves source to target, the way "mv -f" does (an existing folder target receives the
// source under its leaf name; a same-named file is replaced). Within one volume this is a
// rename; across volumes a copy (under a temporary name beside the target, renamed into
// place when complete), a type update of the copy, then the removal of the source, which
// happens only when the copy succeeded; a source that cannot be removed then keeps the
// only copy (the placed one goes again) and the result is false. When source and target
// are one node
// (a hard link, or the same file seen through two mounts) nothing is done and the result
// is true; a folder is never moved into itself. A move into a Trash folder also writes the
// Trash's restore record. True when the entry was moved.
bool LibMove(const char* source, const char* target);

// Moves source to exactly target (never inside a folder there) and never over an entry,
// also not over one that appears meanwhile: B_FILE_EXISTS when target is taken. Across
// volumes it copies and removes as LibMove does. B_OK when the entry is at target.
status_t LibMoveExclusive(const char* source, const char* target);

// Removes the entry, a folder with everything in it; a symbolic link itself, never what
// it points to. For callers that go on whatever happens; LibUnlinkChecked tells.
void LibUnlink(const char* path);

// LibUnlink with its outcome: B_OK when nothing is left at path (nothing there is no
// failure), B_BAD_VALUE for NULL, "" or a last component "." or "..", B_NOT_ALLOWED for
// "/", else the first failure met (B_PERMISSION_DENIED, ...; the removal goes on past it
// and a line on standard error says what stayed). The walk holds one folder open at a
// time, so any depth is removed; folders of the user's own that lack the owner's read,
// write or search permission get them back to be emptied; folders of other users are
// not touched. A tree moved away while it is being removed stops the removal.
status_t LibUnlinkChecked(const char* path);

// Runs the type recogniser on the entry (a folder with its contents), replacing any type
// they had.
void Libmimeset(const char* path);

// Makes link a symbolic link to target, the way "ln -fs" does: when link is an existing
// folder the link is made inside it under target's leaf name; a same-named file or link
// is replaced. True when the link was made.
bool LibSymLink(const char* target, const char* link);

// Packs item (a file, folder or link) into the ZIP archive, as one top-level entry named
// after the item's leaf; permissions, links, times and attributes go with it. An existing
// archive is updated (its same-named entries replaced). level 0 stores, 1 to 9 deflate.
// Changes the process's working directory to the item's folder; a relative archive path is
// taken from there. The item is walked without following links, and an entry replaced or
// swapped for a link before the archive is written fails the packing rather than bring in
// what the link leads to. Files are compressed on every processor; the archive's bytes do
// not depend on how many there are. True when the archive was written with every entry.
bool LibZip(const char* archive, const BPath& item, int level);

// Expands the ZIP archive beside itself, overwriting what is there. Refused, each with a
// line on standard error: entries that would land outside that folder (absolute names,
// names with a ".." part, entries under a link from the archive or already on disk),
// special files, links with an absolute text, links inside the packed item that climb
// above its top folder (a packed item that is itself a link may not climb at all).
// Permissions are the archive's less the process's umask, never set-id bits. An archive
// whose declared sizes do not fit the target volume's free space is refused before
// anything is written; an entry that expands past its declared size stops the
// expansion. Changes the process's working directory to the archive's folder. True when
// every entry was expanded.
bool LibUnzip(const char* archive);

// Writes a tar archive of item with the system's tar tool (from "BeOS Bin"); the archive's
// leaf name is used inside its folder, and item is taken from that folder when relative.
// Changes the process's working directory to the archive's folder. True when the tool
// exists and succeeded.
bool LibTar(const char* item, const char* archive);

// Moves the entry into the boot volume's Trash. Unless replace is true it gets the first
// free name of 'leaf', 'leaf copy', 'leaf copy 1', 'leaf copy 2', ...: a name held by an
// entry or by another program's restore record is skipped, and the move never replaces,
// so an entry that appears meanwhile sends it on to the next name. With replace it keeps
// its leaf name and replaces a same-named item there, which leaves only once the new one
// is in (a failed move keeps it, with its record). Paths are taken as for LibMove.
void LibTrash(const BPath& path, const bool& replace);

// True when folder is the files folder of a Trash: the boot volume's, or another volume's
// "<mount>/.Trash-<uid>/files" or "<mount>/.Trash/<uid>/files". Entries moved into one get
// a restore record.
bool LibIsTrashFolder(const char* folder);

// Moves the entry into the Trash folder trashFolder (see LibIsTrashFolder) the way LibTrash
// without replace moves into the boot volume's: under the first free name, with its
// restore record, never over anything, also not over an entry that appears meanwhile. An
// entry already in that folder stays. True when the entry is in the Trash.
bool LibTrashInto(const char* path, const char* trashFolder);

// Renames the entry within its folder to the first free name of 'leaf copy', 'leaf copy
// 1', ... (making room for a new item under its former name), never over an entry.
void LibDuplicate(const char* path);

// Appends to path a leaf made of prefix, a process-wide counter (1 to 10000, then 1
// again), the process id and the time in seconds. An uninitialised path is first set to
// the common temporary folder.
void LibUniqueName(BPath& path, const char* prefix);

// Runs the program arguments[0] (a full path) with the arguments (argv, ending with NULL)
// in folder (NULL: the working directory) and waits for it to end. No shell stands between:
// every argument reaches the program unchanged (a script runs as "/bin/sh" and its path).
// The program leads a process group of its own; when the calling thread is killed while it
// waits, the whole group is ended, so nothing the command started goes on running. Returns
// the wait status as system() does (WIFEXITED and WEXITSTATUS apply), -1 when the program
// could not be started.
int LibRunCommand(const char* const* arguments, const char* folder);

// Looks for file in each folder of the ":"-separated list held by the environment variable,
// in order; the first that exists goes into found.
bool LibFindEnvFile(const char* variable, const char* file, BPath& found);

// True when something exists at path (links followed).
bool LibExists(const char* path);

// True when path is a folder that can be read and holds no entry (a link to a
// folder is followed).
bool LibFolderIsEmpty(const char* path);

// Creates the folder with every missing parent, mode 0775. False when the path exists
// already (nothing changes) or the folder could not be made.
bool Libmkdir(const char* path);

// Changes the process's working directory. True when it was changed.
bool LibChangeDirectory(const char* path);

#endif // LIB_FILE_H
