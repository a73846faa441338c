// The alert functions: formatting into the alert buffer, asking the policy, and running the
// platform alert when there is none.
#include "LibAlert.h"

#include <Application.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace {

// The alert texts are formatted into a buffer of this size, terminator included.
const size_t kAlertTextSize = 512;

// The policy is process-wide because the alerts are free functions called from every layer
// (the install engine, the windows, the replace question); an unattended run must answer all
// of them without each caller knowing. It is copied out under the lock and called outside it,
// so a policy may take its time or be called by several threads at once.
std::mutex sPolicyLock;
std::shared_ptr<const LibAlertPolicy> sPolicy;

std::shared_ptr<const LibAlertPolicy>
current_policy()
{
	std::lock_guard<std::mutex> lock(sPolicyLock);
	return sPolicy;
}

// Formats into at most kAlertTextSize - 1 bytes. A text that does not fit is cut before the
// character that would cross the limit, so the alert never shows half a UTF-8 sequence.
std::string
format_alert_text(const char* format, va_list arguments)
{
	if (format == NULL)
		return std::string();
	char buffer[kAlertTextSize * 2];
	va_list copy;
	va_copy(copy, arguments);
	int length = vsnprintf(buffer, sizeof(buffer), format, copy);
	va_end(copy);
	if (length < 0)
		return std::string();
	size_t kept = std::min((size_t)length, kAlertTextSize - 1);
	// buffer holds more than the limit, so the byte after the kept part is still there to
	// tell whether the cut falls inside a character.
	while (kept > 0 && kept < (size_t)length && ((unsigned char)buffer[kept] & 0xC0) == 0x80)
		kept--;
	return std::string(buffer, kept);
}

int32
run_alert(alert_type type, const char* title, const char* text, const char* buttons[3],
	int32 buttonCount, button_width width, bool wait, char okShortcut)
{
	LibAlertQuestion question;
	question.type = type;
	question.title = title;
	question.text = text;
	question.buttonCount = buttonCount;
	for (int32 i = 0; i < 3; i++)
		question.buttons[i] = i < buttonCount ? buttons[i] : NULL;
	question.waits = wait;

	LibAlertAnswer answer;
	if (LibAskAlertPolicy(question, answer))
		return answer.button;

	// An alert needs the application's event loop; without one it could never be answered
	// and a waiting caller would hang, so the text goes to standard error instead.
	if (be_app == NULL) {
		fprintf(stderr, "%s\n", text);
		return -1;
	}

	BAlert* alert = new BAlert(title, text, buttons[0], buttonCount > 1 ? buttons[1] : NULL,
		buttonCount > 2 ? buttons[2] : NULL, width, type);
	if (okShortcut != 0)
		alert->SetShortcut(0, okShortcut);
	if (!wait) {
		// Without an invoker the alert only closes itself when answered.
		alert->Go(NULL);
		return 0;
	}
	return alert->Go();
}

int32
ok_alert(alert_type type, bool wait, const char* format, va_list arguments)
{
	std::string text = format_alert_text(format, arguments);
	const char* buttons[3] = { "OK", NULL, NULL };
	return run_alert(type, "", text.c_str(), buttons, 1, B_WIDTH_AS_USUAL, wait, 'o');
}

} // namespace

void
LibSetAlertPolicy(LibAlertPolicy policy)
{
	std::shared_ptr<const LibAlertPolicy> replacement;
	if (policy)
		replacement = std::make_shared<const LibAlertPolicy>(std::move(policy));
	std::lock_guard<std::mutex> lock(sPolicyLock);
	sPolicy.swap(replacement);
	// The old policy goes when the last caller still running it is done.
}

bool
LibAskAlertPolicy(const LibAlertQuestion& question, LibAlertAnswer& answer)
{
	std::shared_ptr<const LibAlertPolicy> policy = current_policy();
	if (!policy)
		return false;
	answer = (*policy)(question);
	// Callers switch on the index: an answer that names no button is taken as the first,
	// which for every question of the programs is the cautious one ("OK", "Don't Replace").
	int32 count = question.buttonCount < 1 ? 1 : question.buttonCount;
	if (answer.button < 0 || answer.button >= count)
		answer.button = 0;
	if (!question.isReplace || !question.offersApplyToAll)
		answer.applyToAll = false;
	return true;
}

int32
LibError(const char* format, ...)
{
	va_list arguments;
	va_start(arguments, format);
	int32 result = ok_alert(B_STOP_ALERT, true, format, arguments);
	va_end(arguments);
	return result;
}

int32
LibWarning(const char* format, ...)
{
	va_list arguments;
	va_start(arguments, format);
	int32 result = ok_alert(B_WARNING_ALERT, true, format, arguments);
	va_end(arguments);
	return result;
}

int32
LibInfo(const char* format, ...)
{
	va_list arguments;
	va_start(arguments, format);
	int32 result = ok_alert(B_INFO_ALERT, true, format, arguments);
	va_end(arguments);
	return result;
}

void
LibInfoNoWait(const char* format, ...)
{
	va_list arguments;
	va_start(arguments, format);
	ok_alert(B_INFO_ALERT, false, format, arguments);
	va_end(arguments);
}

int32
LibAsk(const char* title, const char* text, const char* button0, const char* button1,
	const char* button2, button_width width, alert_type type)
{
	const char* buttons[3] = { button0 != NULL ? button0 : "OK", NULL, NULL };
	int32 count = 1;
	// A missing button ends the row: a third label after a missing second is not shown.
	if (button1 != NULL) {
		buttons[count++] = button1;
		if (button2 != NULL)
			buttons[count++] = button2;
	}
	return run_alert(
		type, title != NULL ? title : "", text != NULL ? text : "", buttons, count, width, true, 0);
}
