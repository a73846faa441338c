// DeinstallRemoval: takes the found items of an installation away, without a window. The
// items window and the unattended mode both use it.
//
// Removal moves each selected item into the destination folder (the boot volume's Trash
// unless another folder is chosen): first every file and link, from the end of the list to
// the start, then every folder that has become empty, again from the end. A search lists a
// folder before the entries inside it, so entries leave a folder before the folder is
// looked at, and inner folders go before the folders that hold them. A folder that still
// holds anything stays. Afterwards the installation's sections are cut out of the user's
// boot script, environment script and shell profile.
//
// Collisions: in a Trash folder every item goes in under a free name with its restore
// record, and nothing is asked (the Trash keeps both). In any other folder an item whose
// name is taken there is put to the question callback (see CheckAndPrompt).
#ifndef DEINSTALL_REMOVAL_H
#define DEINSTALL_REMOVAL_H

#include <LibString.h>
#include <Path.h>

#include <functional>
#include <vector>

// What became of one item.
enum DeinstallOutcome {
	// Not selected: left alone.
	kItemNotSelected = 0,
	// Moved into the destination: the row goes.
	kItemMoved,
	// Left in place on purpose: a folder that still holds entries (or cannot be opened),
	// or an item whose name the user kept in the destination.
	kItemKept,
	// Nothing is at the path any more.
	kItemMissing,
	// The move (or the removal of the item in its way) failed: the item is still installed.
	kItemFailed
};

struct DeinstallItem {
	LibString path;
	bool selected = true;
	DeinstallOutcome outcome = kItemNotSelected;
};

struct DeinstallCounts {
	int32 moved = 0;
	int32 kept = 0;
	int32 missing = 0;
	int32 failed = 0;
};

// The answer to "an item of this name is already in the destination".
struct ReplaceAnswer {
	// Replace the existing item (it is deleted) rather than keep it.
	bool replace = false;
	// Give the same answer to every later collision of this removal.
	bool applyToAll = false;
};

// Asked with the incoming item and the existing one. The window answers with the replace
// dialog; without a question, existing items are kept (the unattended policy).
typedef std::function<ReplaceAnswer(const BPath& incoming, const BPath& existing)> ReplaceQuestion;

// Makes way for item in the folder destination. When an entry of the item's leaf name is
// there: while ask is true the question is put (replace becomes its answer, ask becomes false
// when the answer applies to all); while ask is false the last answer stands. With replace
// the existing entry is deleted. True when the way is clear: nothing was there, or it was
// the item itself, or it has been deleted. The caller moves the item only then.
bool CheckAndPrompt(const BPath& item, const char* destination, bool& ask, bool& replace,
	const ReplaceQuestion& question);

class DeinstallRemoval {
public:
	// The destination starts as the boot volume's Trash; no script sections.
	DeinstallRemoval();

	void SetDestination(const char* folder);

	const LibString& Destination() const { return fDestination; }

	// Tags of the sections in "UserBootscript" and "UserSetupEnvironment" (user boot folder)
	// and ".profile" (home folder); an empty tag leaves its script untouched.
	void SetUserScripts(
		const LibString& bootTag, const LibString& environmentTag, const LibString& profileTag);

	void SetQuestion(const ReplaceQuestion& question) { fQuestion = question; }

	// Removes the selected items and then the script sections, and sets every item's
	// outcome. "Apply to all" lasts for this call.
	DeinstallCounts Remove(std::vector<DeinstallItem>& items);

private:
	void _RemoveItem(
		DeinstallItem& item, const std::string& target, bool trash, bool& ask, bool& replace);
	void _RemoveScriptSections();

	LibString fDestination;
	LibString fBootTag;
	LibString fEnvironmentTag;
	LibString fProfileTag;
	ReplaceQuestion fQuestion;
};

#endif // DEINSTALL_REMOVAL_H
