// The installer's help file in the help window: the topic of the view under the pointer is
// opened with its page, and a screenshot of the window.
#include "HelpWindow.h"
#include "LibTextView.h"
#include "MetaStringItem.h"

#include <Application.h>
#include <Autolock.h>
#include <OutlineListView.h>

#include "../../Utilities/Interface/Help/HelpTestSupport.h"
#include "GuiTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace gui_test;

namespace {

TEST(InstallerHelpTest, TheTopicOfTheViewUnderThePointerOpensWithItsPage)
{
	ScopedTempDir folder;
	std::filesystem::copy_file(
		std::string(BEINSTALLER_SOURCE_DIR) + "/Installer/x-vnd.Quillfield.Brimlow.help",
		folder.Child("x-vnd.Quillfield.Brimlow.help"));
	BApplication application("application/x-vnd.test-installer-help");
	help_test::WorkingDirectory here(folder.Path());
	testing::internal::CaptureStderr();
	HelpWindow* window = new HelpWindow("x-vnd.Quillfield.Brimlow", NULL);
	window->Run();
	testing::internal::GetCapturedStderr();

	struct Row {
		const char* path;
		const char* topic;
		const char* pageStart;
	} const rows[] = {
		{ "InstallerWin/button/bgview", "Agree, Install and Stop", "The main button" },
		{ "InstallerWin/_mc_mb_/menu/volume/install_box/bgview", "Disk and free space",
			"The disk to install on" },
		{ "InstallerWin/custom_list/custom_scroll_view/install_box/bgview", "Files",
			"The items of the product" },
	};

	for (const Row& row : rows) {
		SCOPED_TRACE(row.path);
		window->HelpForInterface(row.path);
		run_for(50);
		BAutolock locker(window);
		BOutlineListView* list = window->ContentList();
		MetaStringItem* selected =
			dynamic_cast<MetaStringItem*>(list->ItemAt(list->CurrentSelection()));
		ASSERT_NE(selected, nullptr);
		EXPECT_STREQ(selected->Text(), row.topic);
		EXPECT_EQ(std::string(window->HelpPane()->Text()).rfind(row.pageStart, 0), 0u)
			<< window->HelpPane()->Text();
	}
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	run_for(100);
	std::filesystem::create_directories(BEINSTALLER_ARTIFACT_DIR);
	grab(window).save(QString(BEINSTALLER_ARTIFACT_DIR) + "/installer-help.png");
	window->Lock();
	window->Quit();
}

} // namespace
