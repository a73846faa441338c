#include "StoragePrivate.h"

#include <cerrno>

namespace BPrivate {

status_t
status_from_errno()
{
	return B_FROM_POSIX_ERROR(errno);
}

} // namespace BPrivate
