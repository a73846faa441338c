// The main of every Qt-free test executable: tests never touch the real home folder,
// so HOME, the XDG folders and TMPDIR point into a sandbox for the whole run.
#include "TempDir.h"

#include <gtest/gtest.h>

int
main(int argc, char** argv)
{
	testing::InitGoogleTest(&argc, argv);
	ScopedSandbox sandbox;
	return RUN_ALL_TESTS();
}
