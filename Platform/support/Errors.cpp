#include <Errors.h>

#include <cerrno>
#include <cstring>

namespace {

struct ErrorMapping {
	int posix;
	int32_t status;
	const char* text;
};

// errno values and their BeOS codes; the first row of a status gives its errno value.
const ErrorMapping kErrorTable[] = {
	{ ENOMEM, B_NO_MEMORY, "Out of memory" },
	{ EIO, B_IO_ERROR, "I/O error" },
	{ EACCES, B_PERMISSION_DENIED, "Permission denied" },
	{ EPERM, B_NOT_ALLOWED, "Operation not allowed" },
	{ EINVAL, B_BAD_VALUE, "Invalid argument" },
	{ ETIMEDOUT, B_TIMED_OUT, "Operation timed out" },
	{ EINTR, B_INTERRUPTED, "Interrupted system call" },
	{ EAGAIN, B_WOULD_BLOCK, "Operation would block" },
	{ ECANCELED, B_CANCELED, "Operation canceled" },
	{ EBUSY, B_BUSY, "Device/File/Resource busy" },
	{ EBADF, B_FILE_ERROR, "Bad file descriptor" },
	{ EEXIST, B_FILE_EXISTS, "File or directory already exists" },
	{ ENOENT, B_ENTRY_NOT_FOUND, "No such file or directory" },
	{ ENAMETOOLONG, B_NAME_TOO_LONG, "File or directory name too long" },
	{ ENOTDIR, B_NOT_A_DIRECTORY, "Not a directory" },
	{ ENOTEMPTY, B_DIRECTORY_NOT_EMPTY, "Directory not empty" },
	{ ENOSPC, B_DEVICE_FULL, "No space left on device" },
	{ EROFS, B_READ_ONLY_DEVICE, "Read-only file system" },
	{ EISDIR, B_IS_A_DIRECTORY, "Is a directory" },
	{ EMFILE, B_NO_MORE_FDS, "Too many open files" },
	{ EXDEV, B_CROSS_DEVICE_LINK, "Cross-device link" },
	{ ELOOP, B_LINK_LIMIT, "Too many symbolic links" },
	{ EPIPE, B_BUSTED_PIPE, "Broken pipe" },
	{ E2BIG, B_TOO_MANY_ARGS, "Argument list too long" },
	{ ECHILD, B_BAD_CHILD, "No child process" },
	{ EDEADLK, B_DEADLOCK, "Resource deadlock" },
	{ EFBIG, B_FILE_TOO_LARGE, "File too large" },
	{ EMLINK, B_TOO_MANY_LINKS, "Too many links" },
	{ ENFILE, B_TOO_MANY_FILES, "Too many open files in system" },
	{ ENODEV, B_DEVICE_NOT_FOUND, "Device not found" },
	{ ENOLCK, B_NO_LOCKS, "No record locks available" },
	{ ENOSYS, B_NOT_IMPLEMENTED, "Function not implemented" },
	{ ENOTTY, B_NOT_A_TTY, "Not a tty" },
	{ ENXIO, B_NO_SUCH_DEVICE, "No such device or address" },
	{ ESPIPE, B_BAD_SEEK, "Illegal seek" },
	{ ESRCH, B_NO_SUCH_PROCESS, "No such process" },
	{ ERANGE, B_RESULT_NOT_REPRESENTABLE, "Result not representable" },
	{ EOVERFLOW, B_BUFFER_OVERFLOW, "Value too large for defined type" },
	{ EOPNOTSUPP, B_NOT_SUPPORTED, "Operation not supported" },
	{ ENOTSUP, B_NOT_SUPPORTED, "Operation not supported" },
	{ ENODATA, B_ENTRY_NOT_FOUND, "No such attribute" },
	{ EFAULT, B_BAD_ADDRESS, "Bad address" },
	{ ENOEXEC, B_NOT_AN_EXECUTABLE, "Not an executable" },
};

const struct {
	int32_t status;
	const char* text;
} kExtraTexts[] = {
	{ B_OK, "No error" },
	{ B_ERROR, "General system error" },
	{ B_BAD_INDEX, "Index not in range for the data set" },
	{ B_BAD_TYPE, "Bad argument type passed to function" },
	{ B_MISMATCHED_VALUES, "Mismatched values passed to function" },
	{ B_NAME_NOT_FOUND, "Name not found" },
	{ B_NAME_IN_USE, "Name in use" },
	{ B_NO_INIT, "Initialization failed" },
	{ B_BAD_DATA, "Bad data" },
	{ B_DONT_DO_THAT, "Don't do that!" },
	{ B_BAD_THREAD_ID, "Bad thread ID" },
	{ B_NO_MORE_THREADS, "No more threads" },
	{ B_BAD_THREAD_STATE, "Thread is inappropriate state" },
	{ B_BAD_TEAM_ID, "Operation on invalid team" },
	{ B_BAD_PORT_ID, "Bad port ID" },
	{ B_BAD_REPLY, "Bad reply" },
	{ B_BAD_HANDLER, "Bad handler" },
	{ B_ALREADY_RUNNING, "Already running" },
	{ B_LAUNCH_FAILED, "Launch failed" },
	{ B_NOT_A_MESSAGE, "Data is not a message" },
	{ B_UNSUPPORTED, "Operation is not supported" },
};

} // namespace

int32_t
B_FROM_POSIX_ERROR(int error)
{
	if (error == 0)
		return B_OK;
	for (const ErrorMapping& mapping : kErrorTable) {
		if (mapping.posix == error)
			return mapping.status;
	}
	return B_ERROR;
}

int
B_TO_POSIX_ERROR(int32_t status)
{
	if (status == B_OK)
		return 0;
	for (const ErrorMapping& mapping : kErrorTable) {
		if (mapping.status == status)
			return mapping.posix;
	}
	return EIO;
}

const char*
strerror_status(int32_t status)
{
	for (const ErrorMapping& mapping : kErrorTable) {
		if (mapping.status == status)
			return mapping.text;
	}
	for (const auto& extra : kExtraTexts) {
		if (extra.status == status)
			return extra.text;
	}
	return "Unknown error";
}
