// The main of the GUI test executables: the same sandbox as the Qt-free tests (HOME, the XDG
// folders and TMPDIR point into a temporary folder), and one QApplication on the offscreen
// platform, made before any test so that every window, font and screen has its backend.
#include "TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Read by AddressSanitizer at start-up (and by nothing in other builds). GCC 12's sanitizer
// follows __tls_get_addr to learn where the thread-local blocks of libraries loaded at run
// time lie, and takes a block that glibc happens to place 16 bytes past a page boundary
// (Qt's JPEG reader's, depending on what was allocated before) for an old glibc header;
// the leak check at exit then reads a bogus range and crashes. Those blocks are left out
// of the leak check's roots instead; the Qt plugins keep nothing there that the tests
// rely on.
extern "C" const char*
__asan_default_options()
{
	return "intercept_tls_get_addr=0";
}

int
main(int argc, char** argv)
{
	testing::InitGoogleTest(&argc, argv);
	ScopedSandbox sandbox;
	// The sandbox must be in place before Qt reads its settings and caches.
	setenv("QT_QPA_PLATFORM", "offscreen", 1);
	QApplication application(argc, argv);
	QApplication::setQuitOnLastWindowClosed(false);
	return RUN_ALL_TESTS();
}
