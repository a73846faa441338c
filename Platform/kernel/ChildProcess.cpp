// Waiting for a child process as a kill point. A worker that runs a command (a script, a
// tool) waits here; when the worker is killed, what the command started must not go on
// running unseen, so the command's process group is ended before the worker unwinds.
#include "ThreadPrivate.h"

#include <Errors.h>

#include <cerrno>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How long a killed worker's command has to end after SIGTERM before the whole group gets
// SIGKILL.
const bigtime_t kTerminateGrace = 200000;

// How often the wait looks at the child when the system offers no process descriptor.
const bigtime_t kPollInterval = 5000;

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
			usleep(kPollInterval);
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

// A descriptor that becomes readable when the process ends; -1 when the system has none.
int
open_process_descriptor(pid_t child)
{
#ifdef SYS_pidfd_open
	return static_cast<int>(syscall(SYS_pidfd_open, child, 0));
#else
	(void)child;
	errno = ENOSYS;
	return -1;
#endif
}

class Descriptor {
public:
	explicit Descriptor(int fd) :
		fFD(fd)
	{
	}

	~Descriptor()
	{
		if (fFD >= 0)
			close(fFD);
	}

	int Get() const { return fFD; }

	Descriptor(const Descriptor&) = delete;
	Descriptor& operator=(const Descriptor&) = delete;

private:
	int fFD;
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
	ThreadStateScope waiting(B_THREAD_WAITING);
	Descriptor process(open_process_descriptor(child));
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
		if (process.Get() >= 0) {
			struct pollfd entry = { process.Get(), POLLIN, 0 };
			KillPoint point;
			poll(&entry, 1, -1);
			pthread_testcancel();
		} else
			snooze(kPollInterval);
	}
}

} // namespace BPrivate
