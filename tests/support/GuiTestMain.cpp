// The main of the GUI test executables: the same sandbox as the Qt-free tests (HOME, the XDG
// folders and TMPDIR point into a temporary folder), and one QApplication on the offscreen
// platform, made before any test so that every window, font and screen has its backend.
#include "TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

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
