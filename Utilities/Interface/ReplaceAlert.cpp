// The replace question. This is the plain form: the sentence and the two buttons. The detailed
// dialog (both items' icons, dates, sizes, kinds, folders and versions, and the apply-to-all
// check box) comes with the dialogs work.
#include "ReplaceAlert.h"

#include "LibAlert.h"

#include <Application.h>
#include <Entry.h>

#include <cstdio>
#include <string>

namespace {

const char* const kDontReplace = "Don't Replace";
const char* const kReplace = "Replace";

// The existing item's kind, looked at without following a link.
const char*
kind_word(const BPath& path)
{
	BEntry entry(path.Path(), false);
	if (entry.IsSymLink())
		return "symbolic link";
	if (entry.IsDirectory())
		return "folder";
	return "file";
}

std::string
replace_text(const BPath& existing)
{
	const char* leaf = existing.Leaf();
	std::string text = "The ";
	text += kind_word(existing);
	text += " '";
	text += leaf != NULL ? leaf : "";
	// The sentence is completed by the details of both items below it in the full dialog.
	text += "' already exists. Do you wish to replace existing";
	return text;
}

} // namespace

ReplaceAlert::ReplaceAlert(
	const BPath& /*incoming*/, const BPath& existing, bool /*offerApplyToAll*/) :
	BAlert("ReplaceAlert", replace_text(existing).c_str(), kDontReplace, kReplace, NULL,
		B_WIDTH_FROM_WIDEST, B_WARNING_ALERT),
	fFutureCollisions(false)
{
	SetShortcut(0, 'd');
	SetShortcut(1, 'r');
}

ReplaceAlert::~ReplaceAlert() { }

bool
ReplaceAlert::FutureCollisions() const
{
	return fFutureCollisions;
}

int32
ReplaceAlert::Ask(
	const BPath& incoming, const BPath& existing, bool offerApplyToAll, bool& applyToAll)
{
	applyToAll = false;

	std::string text = replace_text(existing);
	LibAlertQuestion question;
	question.type = B_WARNING_ALERT;
	question.title = "ReplaceAlert";
	question.text = text.c_str();
	question.buttonCount = 2;
	question.buttons[0] = kDontReplace;
	question.buttons[1] = kReplace;
	question.isReplace = true;
	question.existingPath = existing.Path() != NULL ? existing.Path() : "";
	question.incomingPath = incoming.Path() != NULL ? incoming.Path() : "";
	question.offersApplyToAll = offerApplyToAll;

	LibAlertAnswer answer;
	if (LibAskAlertPolicy(question, answer)) {
		applyToAll = answer.applyToAll;
		return answer.button == 1 ? 1 : 0;
	}

	// Nobody could answer an alert without the application's event loop; keeping the
	// existing item is the answer that loses nothing.
	if (be_app == NULL) {
		fprintf(stderr, "%s\n", text.c_str());
		return 0;
	}

	ReplaceAlert* alert = new ReplaceAlert(incoming, existing, offerApplyToAll);
	// An alert closed without an answer (-1) keeps the existing item as well.
	return alert->Go() == 1 ? 1 : 0;
}
