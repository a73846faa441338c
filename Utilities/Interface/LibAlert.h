// The one-line alerts through which both programs report to the user, the programs' questions
// with up to three buttons, and the policy that answers all of them when nobody sits at the
// screen (unattended runs).
//
// Each alert runs a real BAlert when no policy is set: called on the GUI thread it is modal
// (the other windows keep working), called on a worker thread the worker waits for the answer
// while the windows stay responsive. Texts are formatted printf-style into 512 bytes; a longer
// text is cut at a character boundary (never inside a UTF-8 character).
#ifndef LIB_ALERT_H
#define LIB_ALERT_H

#include <Alert.h>
#include <SupportDefs.h>

#include <functional>

// A stop alert with the one button "OK"; waits and returns the index of the button pressed.
int32 LibError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A warning alert with "OK"; waits.
int32 LibWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
// An information alert with "OK"; waits.
int32 LibInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
// An information alert with "OK" that runs by itself; returns at once.
void LibInfoNoWait(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A question with up to three buttons (requirement checks, the offer to start the installed
// program, the restart offer, replacing a folder): waits and returns the index of the button
// pressed. The text is taken as it is (no formatting).
int32 LibAsk(const char* title, const char* text, const char* button0, const char* button1 = NULL,
	const char* button2 = NULL, button_width width = B_WIDTH_AS_USUAL,
	alert_type type = B_INFO_ALERT);

// What a policy is asked. The pointers are valid only during the call.
struct LibAlertQuestion {
	alert_type type = B_INFO_ALERT;
	const char* title = "";
	const char* text = "";
	int32 buttonCount = 1;
	const char* buttons[3] = { "OK", NULL, NULL };
	// Only for the replace question (ReplaceAlert): the entry that is there, the one that
	// would take its place, and whether "apply to all future collisions" is offered.
	bool isReplace = false;
	const char* existingPath = NULL;
	const char* incomingPath = NULL;
	bool offersApplyToAll = false;
	// False for LibInfoNoWait, whose caller does not wait for (or read) the answer.
	bool waits = true;
};

// The button chosen (an index outside the question's buttons counts as 0) and, for the
// replace question, whether the answer applies to all later collisions of the run.
struct LibAlertAnswer {
	int32 button = 0;
	bool applyToAll = false;
};

typedef std::function<LibAlertAnswer(const LibAlertQuestion&)> LibAlertPolicy;

// Sets the process-wide policy that answers every alert of the foundation library, without
// creating a window or touching the interface kit (no application need exist). The policy
// may be called from any thread, several at once. An empty policy restores on-screen alerts.
void LibSetAlertPolicy(LibAlertPolicy policy);

// Asks the policy when one is set: true with its answer (the button kept within the
// question's buttons, applyToAll only where it was offered); false when alerts go on screen.
bool LibAskAlertPolicy(const LibAlertQuestion& question, LibAlertAnswer& answer);

#endif // LIB_ALERT_H
