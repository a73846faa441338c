// Lets tests answer alerts in place of a user. The answerer sees every alert once it is on
// screen (on the GUI thread, with the alert locked) and returns the index of the button to
// press, or -1 to leave the alert to someone else. The press goes through the button, as a
// click would. Not for programs: nothing in the kits sets it.
#ifndef _ALERT_TEST_HOOK_H
#define _ALERT_TEST_HOOK_H

#include <SupportDefs.h>

#include <functional>
#include <string>

class BAlert;

namespace BPrivate {

typedef std::function<int32(BAlert* alert)> AlertAnswerer;

// An empty answerer turns answering off.
void set_alert_answerer(AlertAnswerer answerer);

// Answerers that press the button with that index, or the button with that label (-1
// when there is no such button).
AlertAnswerer answer_with_index(int32 index);
AlertAnswerer answer_with_label(const std::string& label);

} // namespace BPrivate

#endif // _ALERT_TEST_HOOK_H
