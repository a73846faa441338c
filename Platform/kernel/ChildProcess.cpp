// Waiting for a child process as a kill point. A worker that runs a command (a script, a
// tool) waits here; when the worker is killed, what the command started must not go on
// running unseen, so the command's process group is ended before the worker unwinds.
#include "ThreadPrivate.h"

#include "CancelableWait.h"

#include <Errors.h>

#include <algorithm>
#include <cerrno>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How long a killed worker's command has to end after SIGTERM before the whole group gets
// SIGKILL.
const bigtime_t kTerminateGrace = 200000;

// How often the wait looks at the child: soon at first (most commands are short), then
// less often. The pauses are condition waits, kill points that a kill ends at once (and
// that the thread sanitizer follows, which it does not through a cancelled poll()).
const bigtime_t kFirstPollInterval = 1000;
const bigtime_t kLongestPollInterval = 25000;
// While a killed worker's command ends.
const bigtime_t kReapInterval = 5000;

// Reaps the child when the scope is left without it: the thread was killed while it
// waited. Runs while the thread unwinds, when kill points no longer act.
class ChildReaper {
public:
	explicit ChildReaper(pid_t child) :
		fChild(child),
		fReaped(false)
	{
	}

	~ChildReaper()
	{
		if (fReaped)
			return;
		BPrivate::CancelDisabler disabler;
		// The child is not reaped yet, so its process group id cannot have been handed on.
		const bool leadsGroup = getpgid(fChild) == fChild;
		const pid_t target = leadsGroup ? -fChild : fChild;
		kill(target, SIGTERM);
		int status;
		const bigtime_t deadline = system_time() + kTerminateGrace;
		while (system_time() < deadline) {
			const pid_t done = waitpid(fChild, &status, WNOHANG | __WALL);
			if (done == fChild || (done < 0 && errno != EINTR))
				break;
			usleep(kReapInterval);
		}
		// Whatever the group still holds (children that ignore SIGTERM) goes now; a zombie
		// leader keeps the group id reserved until it is reaped below.
		kill(target, SIGKILL);
		while (waitpid(fChild, &status, __WALL) < 0 && errno == EINTR) { }
	}

	void Reaped() { fReaped = true; }

	ChildReaper(const ChildReaper&) = delete;
	ChildReaper& operator=(const ChildReaper&) = delete;

private:
	pid_t fChild;
	bool fReaped;
};

} // namespace

namespace BPrivate {

status_t
wait_for_child(pid_t child, int* status)
{
	if (child <= 0)
		return B_BAD_VALUE;
	int ignored;
	if (status == nullptr)
		status = &ignored;

	ChildReaper reaper(child);
	CancelableWait pause;
	bigtime_t interval = kFirstPollInterval;
	while (true) {
		const pid_t done = waitpid(child, status, WNOHANG | __WALL);
		if (done == child) {
			reaper.Reaped();
			return B_OK;
		}
		if (done < 0 && errno != EINTR) {
			// Not our child (or reaped elsewhere): nothing to wait for or to end.
			reaper.Reaped();
			return errno == ECHILD ? B_BAD_VALUE : B_FROM_POSIX_ERROR(errno);
		}
		{
			// Nobody notifies it: a timed wait that a kill ends, reported as waiting.
			CancelableWait::Locker locker(pause);
			pause.WaitUntil(deadline_after(interval));
		}
		interval = std::min(interval * 2, kLongestPollInterval);
	}
}

} // namespace BPrivate
