// The question asked when an item is about to land where an item of the same name already
// exists: "Don't Replace" (0) or "Replace" (1), optionally with "Apply to all future
// collisions", which lets the caller stop asking for the rest of a run.
#ifndef REPLACE_ALERT_H
#define REPLACE_ALERT_H

#include <Alert.h>
#include <Path.h>

class ReplaceAlert : public BAlert {
public:
	ReplaceAlert(const BPath& incoming, const BPath& existing, bool offerApplyToAll);
	virtual ~ReplaceAlert();

	// Whether "Apply to all future collisions" was ticked. The alert deletes itself when Go()
	// returns, so callers that need this after the answer use Ask().
	bool FutureCollisions() const;

	// Runs the dialog, or asks the alert policy when one is set; returns 0 "Don't Replace" or
	// 1 "Replace", and the check box's state when it closed in applyToAll.
	static int32 Ask(
		const BPath& incoming, const BPath& existing, bool offerApplyToAll, bool& applyToAll);

private:
	bool fFutureCollisions;
};

#endif // REPLACE_ALERT_H
