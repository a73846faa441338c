#include <Errors.h>

#include <gtest/gtest.h>

#include <cerrno>

TEST(Errors, PosixErrorsMapToTheirBeOSCodesAndBack)
{
	const struct {
		int posix;
		int32_t status;
	} rows[] = {
		{ 0, B_OK },
		{ ENOENT, B_ENTRY_NOT_FOUND },
		{ EEXIST, B_FILE_EXISTS },
		{ EACCES, B_PERMISSION_DENIED },
		{ ENOTDIR, B_NOT_A_DIRECTORY },
		{ EISDIR, B_IS_A_DIRECTORY },
		{ ENOTEMPTY, B_DIRECTORY_NOT_EMPTY },
		{ EXDEV, B_CROSS_DEVICE_LINK },
		{ ENOSPC, B_DEVICE_FULL },
		{ EROFS, B_READ_ONLY_DEVICE },
		{ ENAMETOOLONG, B_NAME_TOO_LONG },
		{ ENOMEM, B_NO_MEMORY },
		{ EINVAL, B_BAD_VALUE },
		{ EOPNOTSUPP, B_NOT_SUPPORTED },
		{ ETIMEDOUT, B_TIMED_OUT },
		{ EINTR, B_INTERRUPTED },
		{ EBUSY, B_BUSY },
		{ EPERM, B_NOT_ALLOWED },
		{ EIO, B_IO_ERROR },
		{ ELOOP, B_LINK_LIMIT },
	};

	for (const auto& row : rows) {
		EXPECT_EQ(row.status, B_FROM_POSIX_ERROR(row.posix)) << "errno " << row.posix;
		EXPECT_EQ(row.posix, B_TO_POSIX_ERROR(row.status)) << "status " << row.status;
	}
}

TEST(Errors, UnknownValuesGiveGenericCodes)
{
	EXPECT_EQ(B_ERROR, B_FROM_POSIX_ERROR(99999));
	EXPECT_EQ(B_FROM_POSIX_ERROR(ENODATA), B_ENTRY_NOT_FOUND);
	EXPECT_STREQ("Unknown error", strerror_status(12345));
	EXPECT_STREQ("No such file or directory", strerror_status(B_ENTRY_NOT_FOUND));
}

TEST(Errors, CodesKeepTheirBeOSValues)
{
	EXPECT_EQ(INT_MIN, B_NO_MEMORY);
	EXPECT_EQ(INT_MIN + 5, B_BAD_VALUE);
	EXPECT_EQ(INT_MIN + 0x6003, B_ENTRY_NOT_FOUND);
	EXPECT_EQ(INT_MIN + 0x1100, B_BAD_THREAD_ID);
}
