// The question asked when an item is about to land where an item of the same name already
// exists: both items side by side (icon, dates, size, kind, folder, version) and "Don't
// Replace" (0) or "Replace" (1), optionally with "Apply to all future collisions", which lets
// the caller stop asking for the rest of a run.
#ifndef REPLACE_ALERT_H
#define REPLACE_ALERT_H

#include <Alert.h>
#include <Path.h>

#include <atomic>
#include <memory>

class BCheckBox;

class ReplaceAlert : public BAlert {
public:
	ReplaceAlert(const BPath& incoming, const BPath& existing, bool offerApplyToAll);
	virtual ~ReplaceAlert();

	// Message 1000 (the check box, on every change) sets future collisions to the box's
	// state; everything else goes to the alert.
	virtual void MessageReceived(BMessage* message);

	// Whether "Apply to all future collisions" is ticked; always false when it is not offered.
	bool FutureCollisions() const;

	using BAlert::Go;
	// Runs the dialog as Go() does and returns the button index (-1 when it closed without an
	// answer). The alert deletes itself when it closes, so the check box's state at that
	// moment is handed back in futureCollisions.
	int32 Go(bool& futureCollisions);

	// Asks the alert policy when one is set, else runs the dialog; returns 0 "Don't Replace"
	// or 1 "Replace", and the check box's state when it closed in applyToAll (false unless
	// offered).
	static int32 Ask(
		const BPath& incoming, const BPath& existing, bool offerApplyToAll, bool& applyToAll);

private:
	void _AddDetails(const BPath& incoming, const BPath& existing, bool offerApplyToAll);

	BCheckBox* fCheckBox;
	// Shared with Go(), which reads it after the alert has gone.
	std::shared_ptr<std::atomic<bool>> fFutureCollisions;
};

#endif // REPLACE_ALERT_H
