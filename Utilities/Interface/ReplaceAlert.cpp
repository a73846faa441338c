// The replace question: the sentence, the two buttons, the details of both items and the
// apply-to-all check box, laid out in the alert's text area.
#include "ReplaceAlert.h"

#include "BitmapView.h"
#include "LibAlert.h"
#include "LibAppResource.h"
#include "LibConvertBytes.h"
#include "LibEntry.h"
#include "LibLocaleDateTime.h"
#include "LibRect.h"
#include "LibStringView.h"

#include <Application.h>
#include <CheckBox.h>
#include <Entry.h>
#include <Font.h>
#include <Message.h>
#include <StringView.h>
#include <TextView.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kDontReplace = "Don't Replace";
const char* const kReplace = "Replace";
const char* const kApplyToAll = "Apply to all future collisions";
const uint32 kFutureCollisionsChanged = 1000;

// The details' places in the text area.
const float kFirstRowTop = 35;
const float kRowHeight = 15;
const float kLabelLeft = 40;
const float kLabelWidth = 45;
const float kValueLeft = 90;
const float kValueWidth = 155;
const float kDetailFontSize = 10;
// The icon sits this far below the first row of its block, beside the middle rows.
const float kIconOffset = 30;
const float kWithWidth = 50;
const float kCheckBoxGap = 5;
const float kCheckBoxWidth = 200;
const float kGrowth = 220;
const float kGrowthWithCheckBox = 240;
// Room kept between the sentence and the first row when the sentence needs more lines than
// the first row leaves it.
const float kSentenceGap = 5;

struct DetailRow {
	const char* label;
	const char* name;
};

const DetailRow kDetailRows[] = {
	{ "Created :", "creation" },
	{ "Modified :", "modified" },
	{ "Size :", "size" },
	{ "Kind :", "kind" },
	{ "Path :", "path" },
	{ "Version :", "version" },
};

const int32 kDetailRowCount = sizeof(kDetailRows) / sizeof(kDetailRows[0]);

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
	// The details below the sentence complete it: the existing item, "With", the incoming one.
	text += "' already exists. Do you wish to replace existing";
	return text;
}

// The six values of one item's block, in the order of kDetailRows.
void
describe_item(const BPath& path, const LibLocaleDateTime& dateFormat, std::string values[])
{
	const char* text = path.Path() != NULL ? path.Path() : "";
	values[0] = (const char*)dateFormat.Format(LibCreationDate(text, true));
	values[1] = (const char*)dateFormat.Format(LibLastModifiedDate(text, true));
	LibString size;
	values[2] = (const char*)LibConvertBytes(LibEntrySize(text, true), size, 1);
	char kind[B_MIME_TYPE_LENGTH] = "";
	entry_ref ref;
	if (LibGetEntryRef(text, ref))
		LibGetMimeType(ref, kind, true);
	else
		strcpy(kind, "Unknown");
	values[3] = kind;
	BPath folder;
	values[4] = path.GetParent(&folder) == B_OK ? folder.Path() : "";
	values[5] = (const char*)LibGetAppVersion(text);
}

BFont
detail_font()
{
	BFont font(be_plain_font);
	font.SetSize(kDetailFontSize);
	return font;
}

// One block: the icon and six labelled rows from top; returns the bottom of the last row.
float
add_block(BView* area, const char* prefix, const BPath& path, float top,
	const LibLocaleDateTime& dateFormat)
{
	const std::string name(prefix);
	area->AddChild(new BitmapView(BPoint(0, top + kIconOffset), (name + "image").c_str(),
		path.Path() != NULL ? path.Path() : ""));

	std::string values[kDetailRowCount];
	describe_item(path, dateFormat, values);
	const BFont font = detail_font();
	float y = top;
	for (int32 i = 0; i < kDetailRowCount; i++) {
		const std::string viewName = name + kDetailRows[i].name;
		// The labels are 45 wide; one that the font draws wider takes the gap before the value.
		const float labelWidth =
			std::min(std::max(kLabelWidth, ceilf(font.StringWidth(kDetailRows[i].label))),
				kValueLeft - kLabelLeft - 1);
		BStringView* label = new BStringView(LibRect(kLabelLeft, y, labelWidth, kRowHeight),
			(viewName + "_label").c_str(), kDetailRows[i].label);
		label->SetFont(&font);
		label->SetHighColor(255, 0, 0);
		area->AddChild(label);

		LibStringView* value = new LibStringView(
			LibRect(kValueLeft, y, kValueWidth, kRowHeight), viewName.c_str(), "");
		value->SetFont(&font);
		// A long folder path keeps its end, where the item's own folder is named.
		value->SetTruncatedText(
			values[i].c_str(), i == 4 ? (uint32)B_TRUNCATE_BEGINNING : (uint32)B_TRUNCATE_END);
		area->AddChild(value);
		y += kRowHeight;
	}
	return y;
}

} // namespace

ReplaceAlert::ReplaceAlert(const BPath& incoming, const BPath& existing, bool offerApplyToAll) :
	BAlert("ReplaceAlert", replace_text(existing).c_str(), kDontReplace, kReplace, NULL,
		B_WIDTH_FROM_WIDEST, B_WARNING_ALERT),
	fCheckBox(NULL),
	fFutureCollisions(std::make_shared<std::atomic<bool>>(false))
{
	SetShortcut(0, 'd');
	SetShortcut(1, 'r');
	_AddDetails(incoming, existing, offerApplyToAll);
}

ReplaceAlert::~ReplaceAlert() { }

void
ReplaceAlert::_AddDetails(const BPath& incoming, const BPath& existing, bool offerApplyToAll)
{
	BTextView* area = TextView();
	// The rows start at a fixed place below the sentence; a sentence that needs more lines
	// (a long name) pushes them down rather than running under them.
	const float sentenceHeight = ceilf(area->TextHeight(0, area->CountLines() - 1));
	const float shift = std::max(0.0f, sentenceHeight + kSentenceGap - kFirstRowTop);

	ResizeBy(0, (offerApplyToAll ? kGrowthWithCheckBox : kGrowth) + shift);

	LibLocaleDateTime dateFormat;
	dateFormat.SetFormat("W, M D Y");
	dateFormat.SetSeperator(", ");
	dateFormat.SetShowSeconds(true);

	float bottom = add_block(area, "to_", existing, kFirstRowTop + shift, dateFormat);

	BStringView* with = new BStringView(LibRect(0, bottom, kWithWidth, kRowHeight), "with", "With");
	area->AddChild(with);
	bottom = add_block(area, "from_", incoming, with->Frame().bottom, dateFormat);

	if (offerApplyToAll) {
		fCheckBox = new BCheckBox(LibRect(0, bottom + kCheckBoxGap, kCheckBoxWidth, kRowHeight),
			"future_collisions", kApplyToAll, new BMessage(kFutureCollisionsChanged),
			B_FOLLOW_LEFT | B_FOLLOW_TOP);
		area->AddChild(fCheckBox);
		bottom = fCheckBox->Frame().bottom;
	}

	// The text area grew with the window; make sure it holds every detail whatever room the
	// sentence took.
	const BRect bounds = area->Bounds();
	if (bounds.Height() < bottom)
		area->ResizeTo(bounds.Width(), bottom);
	MoveTo(AlertPosition(Frame().Width(), Frame().Height()));
}

void
ReplaceAlert::MessageReceived(BMessage* message)
{
	if (message->what == kFutureCollisionsChanged) {
		if (fCheckBox != NULL)
			fFutureCollisions->store(fCheckBox->Value() == B_CONTROL_ON);
		return;
	}
	BAlert::MessageReceived(message);
}

bool
ReplaceAlert::FutureCollisions() const
{
	return fFutureCollisions->load();
}

int32
ReplaceAlert::Go(bool& futureCollisions)
{
	// The alert is gone once Go() returns; the shared state is not.
	std::shared_ptr<std::atomic<bool>> state = fFutureCollisions;
	const int32 answer = BAlert::Go();
	futureCollisions = answer >= 0 && state->load();
	return answer;
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
	bool ticked = false;
	const int32 button = alert->Go(ticked);
	// An alert closed without an answer (-1) keeps the existing item and applies to nothing.
	applyToAll = offerApplyToAll && ticked;
	return button == 1 ? 1 : 0;
}
