// BRoster: finding and starting applications. Applications are executables that carry a
// signature in their resources or attributes; a running application is a process (team
// id = process id). The desktop shell's signature, "application/x-vnd.Be-TRAK", is served
// by the desktop's own handler (xdg-open). See docs/platform.md.
#ifndef _ROSTER_H
#define _ROSTER_H

#include <Entry.h>
#include <EntryRef.h>
#include <Message.h>
#include <Messenger.h>
#include <Mime.h>
#include <OS.h>
#include <SupportDefs.h>

#include <string>

struct app_info {
	app_info();
	~app_info();

	thread_id thread;
	team_id team;
	port_id port;
	uint32 flags;
	entry_ref ref;
	char signature[B_MIME_TYPE_LENGTH];
};

#ifndef B_LAUNCH_MASK
#define B_LAUNCH_MASK (0x3)
#define B_SINGLE_LAUNCH (0x0)
#define B_MULTIPLE_LAUNCH (0x1)
#define B_EXCLUSIVE_LAUNCH (0x2)
#define B_BACKGROUND_APP (0x4)
#define B_ARGV_ONLY (0x8)
#endif

// The desktop shell's signature.
#define B_DESKTOP_SHELL_SIGNATURE "application/x-vnd.Be-TRAK"

class BRoster {
public:
	BRoster();
	~BRoster();

	// A running application with that signature: this program first, then the other
	// processes of the machine (their executables' signatures). B_ERROR when none runs.
	status_t GetAppInfo(const char* signature, app_info* info) const;
	// The process team (a process id): its executable, its signature (empty when it has
	// none) and flags. B_BAD_TEAM_ID when there is no such process.
	status_t GetRunningAppInfo(team_id team, app_info* info) const;

	// The application for mimeType: the one whose signature it is, else the preferred
	// application of that type (type database). Searched in the application folders
	// (Applications and its subfolders, ~/.local/bin, /usr/local/bin, /usr/bin) and along
	// PATH. The desktop shell is found when its handler is. B_LAUNCH_FAILED_APP_NOT_FOUND
	// when there is none.
	status_t FindApp(const char* mimeType, entry_ref* app) const;

	// Starts the application for mimeType (FindApp). The refs of a B_REFS_RECEIVED message
	// are passed as arguments; other messages cannot reach a Linux program and are
	// dropped. For the desktop shell, each entry of "refs" is opened with the desktop's
	// handler instead. appTeam receives the new process's id.
	status_t Launch(
		const char* mimeType, BMessage* initialMessage = NULL, team_id* appTeam = NULL) const;
	// args[0] is replaced by the application's path, as on BeOS.
	status_t Launch(const char* mimeType, int argc, char** args, team_id* appTeam = NULL) const;
	// Starts the executable ref names, or for a document its preferred application with
	// the document as argument. No shell is involved: paths pass as they are.
	status_t Launch(
		const entry_ref* ref, const BMessage* initialMessage = NULL, team_id* appTeam = NULL) const;
	status_t Launch(
		const entry_ref* ref, int argc, const char* const* args, team_id* appTeam = NULL) const;
};

extern const BRoster* be_roster;

namespace BPrivate {

// Delivers message to the application with that signature: a messenger registered for
// it in this process (BMessenger(signature)), or for the desktop shell its handler
// (BRoster::Launch). B_BAD_VALUE when nothing serves the signature.
status_t send_to_signature(const char* signature, BMessage* message);

// Starts the in-process stand-in of the desktop shell (once) and registers it for its
// signature, so that BMessenger(B_DESKTOP_SHELL_SIGNATURE) reaches it: a B_REFS_RECEIVED
// message opens its "refs" with the desktop's handler. The application calls this when it
// starts and stop_desktop_shell() when it quits.
status_t start_desktop_shell();
void stop_desktop_shell();

// The program that opens entries for the desktop: $BEINSTALLER_DESKTOP_OPENER (a path, or
// a name looked up along PATH) or "xdg-open". Empty when it cannot be found.
std::string desktop_opener();

} // namespace BPrivate

#endif // _ROSTER_H
