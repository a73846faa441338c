// DeinstallerWin: the window's layout, searches of a volume of the test's own (a tmpfs in a
// mount namespace of this process, holding the home folder so that it is the boot volume),
// Stop, the items window made once and reused, mount watching, and a whole installation by
// the engine removed again from the windows.
#include "DeinstallerWin.h"
#include "DeinstallFilesWin.h"
#include "DeinstallUnattended.h"

#include <InstallConfig.h>
#include <InstallImage.h>
#include <InstallerWriter.h>
#include <LibAlert.h>
#include <LibVolumeMenu.h>
#include <ManifestReader.h>
#include <PackageConfiguration.h>

#include <Button.h>
#include <Entry.h>
#include <FileListItem.h>
#include <FindDirectory.h>
#include <ListView.h>
#include <Path.h>
#include <StatusBar.h>

#include "../DeinstallTestSupport.h"
#include "GuiTestSupport.h"
#include "ScopedVariable.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFontDatabase>

#include <filesystem>
#include <memory>
#include <sched.h>
#include <set>
#include <sys/mount.h>

namespace fs = std::filesystem;
using namespace deinstall_test;
using namespace file_test;
using namespace gui_test;

namespace {

class DeinstallerWinTest : public testing::Test {
protected:
	// Mounts made by the tests stay in this process: its main thread (the GUI thread, which
	// starts the searches) gets a mount namespace of its own.
	static void SetUpTestSuite()
	{
		// Fonts are found while the test's own home is in place: fontconfig keeps (and
		// leaks) what it read of a configuration met for the first time on the tmpfs.
		QFontDatabase::families();
		sPrivateMounts = geteuid() == 0 && unshare(CLONE_NEWNS) == 0
			&& mount(NULL, "/", NULL, MS_REC | MS_PRIVATE, NULL) == 0;
	}

	void SetUp() override
	{
		if (!sPrivateMounts)
			GTEST_SKIP() << "mounting needs root and a mount namespace of the test's own";
		fVolume = fDir.Path() / "Test Disk";
		fs::create_directories(fVolume);
		ASSERT_EQ(mount("none", fVolume.c_str(), "tmpfs", 0, "size=256m"), 0) << strerror(errno);
		fs::create_directories(fVolume / "tmp");
		fTmp = std::make_unique<ScopedVariable>("TMPDIR", (fVolume / "tmp").string());
		fSandbox = std::make_unique<ScopedSandbox>();
		fHome = fSandbox->Home();
		LibSetAlertPolicy([this](const LibAlertQuestion& question) {
			fAlerts.push_back(question.text);
			LibAlertAnswer answer;
			for (int32 i = 0; i < question.buttonCount; i++) {
				if (question.buttons[i] != NULL && strcmp(question.buttons[i], "Later") == 0)
					answer.button = i;
			}
			return answer;
		});

		fWindow = new DeinstallerWin();
		fWindow->Run();
		BMessage configuration;
		make_configuration(configuration);
		fWindow->SetConfiguration(configuration);
		fWindow->Show();
	}

	void TearDown() override
	{
		if (fWindow != NULL) {
			DeinstallFilesWin* items = fWindow->ItemsWindow();
			if (fWindow->Lock())
				fWindow->Quit();
			if (items != NULL && items->Lock())
				items->Quit();
		}
		LibSetAlertPolicy(LibAlertPolicy());
		fSandbox.reset();
		fTmp.reset();
		if (sPrivateMounts)
			umount2(fVolume.c_str(), MNT_DETACH);
	}

	// Presses Search and waits for the search to end.
	void Search()
	{
		fWindow->ButtonPressed();
		ASSERT_TRUE(wait_until([this] { return !fWindow->IsSearching(); }, 30000));
	}

	std::vector<std::string> Rows()
	{
		std::vector<std::string> rows;
		BListView* list = fWindow->ItemsWindow()->List();
		for (int32 i = 0; i < list->CountItems(); i++)
			rows.push_back(static_cast<FileListItem*>(list->ItemAt(i))->Path().Path());
		return rows;
	}

	static bool sPrivateMounts;
	ScopedTempDir fDir;
	fs::path fVolume;
	std::unique_ptr<ScopedVariable> fTmp;
	std::unique_ptr<ScopedSandbox> fSandbox;
	fs::path fHome;
	std::vector<std::string> fAlerts;
	DeinstallerWin* fWindow = nullptr;
};

bool DeinstallerWinTest::sPrivateMounts = false;

BView*
view_named(BWindow* window, const char* name)
{
	return window->FindView(name);
}

} // namespace

TEST_F(DeinstallerWinTest, LaysOutTheSearchWindowAsPlanned)
{
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(fWindow->Bounds(), BRect(0, 0, 173, 318));
	EXPECT_STREQ(fWindow->Title(), "Tarnwick");
	EXPECT_STREQ(fWindow->Name(), "DeinstallerWin");
	EXPECT_NE(fWindow->Flags() & B_NOT_RESIZABLE, 0u);
	EXPECT_NE(fWindow->Flags() & B_NOT_MINIMIZABLE, 0u);
	EXPECT_EQ(fWindow->Image()->Frame(), BRect(10, 10, 160, 210));
	EXPECT_STREQ(fWindow->Image()->TextAt(InstallImage::COMPANY), "Maker");
	BRect menu = view_named(fWindow, "volume")->Frame();
	EXPECT_EQ(menu.LeftTop(), BPoint(10, 213));
	EXPECT_EQ(menu.right, 168);
	// The bar keeps the height its texts need, as on BeOS; the rest is as placed.
	BRect status = view_named(fWindow, "status_bar")->Frame();
	EXPECT_EQ(status.LeftTop(), BPoint(5, menu.bottom + 1));
	EXPECT_EQ(status.right, 168);
	EXPECT_EQ(view_named(fWindow, "search_btn")->Frame(),
		BRect(88, status.bottom + 8, 158, status.bottom + 28));
	EXPECT_EQ(fWindow->DefaultButton(), fWindow->SearchButton());
	EXPECT_STREQ(fWindow->SearchButton()->Label(), "Search");
	fWindow->Unlock();

	QImage shot = grab(fWindow);
	EXPECT_EQ(shot.size(), QSize(174, 319));
	fs::create_directories(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(shot.save(BEINSTALLER_ARTIFACT_DIR "/deinstaller-search-window.png"));
}

TEST_F(DeinstallerWinTest, SearchFillsTheItemsWindowWhichLaterSearchesReuse)
{
	fs::path app = fHome / "Editor";
	fs::create_directories(app / "data");
	write_file(app / "data/words", "");
	write_file(app / "Other case", "");
	write_file(app / "Empty tag", "");
	fs::create_symlink("/", app / "root link");
	for (const fs::path& path : { app, app / "data", app / "data/words", app / "root link" })
		ASSERT_TRUE(tag(path));
	tag(app / "Other case", "editor;2.1;2000-05-01;Maker;support;");
	tag(app / "Empty tag", "");
	BPath trash;
	find_directory(B_TRASH_DIRECTORY, &trash, true);
	write_file(trash.Path() + std::string("/trashed"), "");
	tag(trash.Path() + std::string("/trashed"));

	Search();
	DeinstallFilesWin* items = fWindow->ItemsWindow();
	ASSERT_NE(items, nullptr);
	EXPECT_TRUE(wait_until([&] { return !items->IsHidden(); }));
	std::vector<std::string> rows = Rows();
	ASSERT_EQ(rows.size(), 4u);
	EXPECT_EQ(rows[0], app.string());
	EXPECT_LT(std::find(rows.begin(), rows.end(), (app / "data").string()),
		std::find(rows.begin(), rows.end(), (app / "data/words").string()));
	EXPECT_NE(std::find(rows.begin(), rows.end(), (app / "root link").string()), rows.end());
	EXPECT_EQ(items->List()->CurrentSelection(3), 3);
	EXPECT_STREQ(items->BootTag(), "Editor_Boot");
	EXPECT_STREQ(items->EnvironmentTag(), "");
	EXPECT_EQ(fWindow->StatusBar()->CurrentValue(), fWindow->StatusBar()->MaxValue());
	EXPECT_STREQ(fWindow->StatusBar()->TrailingText(), "4");
	EXPECT_STREQ(fWindow->SearchButton()->Label(), "Search");
	EXPECT_TRUE(fAlerts.empty());

	// A later search that finds less reuses the window with the new list.
	tag(app / "data/words", "another package");
	Search();
	EXPECT_EQ(fWindow->ItemsWindow(), items);
	EXPECT_EQ(Rows().size(), 3u);

	// One that finds nothing says so and leaves the window as it was.
	for (const fs::path& path : { app, app / "data", app / "root link" })
		tag(path, "another package");
	Search();
	EXPECT_EQ(fAlerts, std::vector<std::string> { kNothingFoundText });
	EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(DeinstallerWinTest, StopDiscardsTheSearchAndTheNextStartsFromZero)
{
	write_file(fHome / "tool", "");
	tag(fHome / "tool");

	fWindow->ButtonPressed();
	EXPECT_STREQ(fWindow->SearchButton()->Label(), "Stop");
	EXPECT_FALSE(fWindow->VolumeMenu()->MenuField()->IsEnabled());
	EXPECT_STREQ(fWindow->StatusBar()->Label(), ".../");
	EXPECT_STREQ(fWindow->StatusBar()->TrailingLabel(), " found");
	fWindow->ButtonPressed();
	EXPECT_FALSE(fWindow->IsSearching());
	EXPECT_STREQ(fWindow->SearchButton()->Label(), "Search");
	EXPECT_TRUE(fWindow->VolumeMenu()->MenuField()->IsEnabled());
	run_for(300);
	EXPECT_EQ(fWindow->ItemsWindow(), nullptr);
	EXPECT_TRUE(fAlerts.empty());

	fWindow->ButtonPressed();
	EXPECT_EQ(fWindow->StatusBar()->CurrentValue(), 0);
	ASSERT_TRUE(wait_until([this] { return !fWindow->IsSearching(); }, 30000));
	ASSERT_NE(fWindow->ItemsWindow(), nullptr);
	EXPECT_EQ(Rows(), std::vector<std::string> { (fHome / "tool").string() });
}

TEST_F(DeinstallerWinTest, MountingAndUnmountingUpdateTheVolumeMenu)
{
	fs::path spare = fDir.Path() / "Spare Disk";
	fs::create_directories(spare);
	LibVolumeMenu* menu = fWindow->VolumeMenu();
	EXPECT_FALSE(menu->InMenu("Spare Disk"));
	ASSERT_EQ(mount("none", spare.c_str(), "tmpfs", 0, "size=1m"), 0);
	EXPECT_TRUE(wait_until([&] { return menu->InMenu("Spare Disk"); }, 10000));
	umount2(spare.c_str(), MNT_DETACH);
	EXPECT_TRUE(wait_until([&] { return !menu->InMenu("Spare Disk"); }, 10000));
}

// The engine installs the sample package; Search and Deinstall take it away again. The
// disk then holds what it held before, the installation folder (its deinstaller, its log and
// the item the package keeps) and the Trash.
TEST_F(DeinstallerWinTest, InstallThenDeinstallFromTheWindowsLeavesOnlyTheFolderAndTrash)
{
	// Folders the user has anyway; the package's links and tool go into them.
	BPath deskbar;
	find_directory(B_USER_DESKBAR_DIRECTORY, &deskbar, true);
	fs::create_directories(fHome / "Desktop");
	fs::create_directories(fHome / "Sample/bin");
	fs::create_directories(fHome / "Destination");

	Diagnostics diagnostics;
	Manifest manifest;
	ASSERT_TRUE(
		ManifestReader(diagnostics).Read(BEINSTALLER_E2E_DATA_DIR "/sample/sample.toml", manifest));
	BuildOptions options;
	options.output = fDir.Child("Sample-Installer");
	options.base = "/bin/true";
	options.deinstaller = "/bin/true";
	ASSERT_TRUE(WriteInstaller(manifest, options, diagnostics));

	std::map<std::string, EntryState> before = snapshot(fHome);
	InstallConfig install;
	ASSERT_EQ(ReadPackageConfiguration(options.output.c_str(), install), B_OK);
	install.SetPackagePath(options.output.c_str());
	entry_ref destination;
	get_ref_for_path((fHome / "Destination").c_str(), &destination);
	install.SetDestination(destination);
	for (const char* field :
		{ Package::kEditBootscript, Package::kEditSetupEnv, Package::kEditProfile })
		install.ReplaceBool(field, false);
	for (const char* leaf : { "sample-tool", "Sample Docs", "readme.txt", "setup.sh" })
		install.MarkInstallFile(leaf, true);
	ASSERT_EQ(install.Action(), kInstallFinished);

	BMessage configuration;
	fs::path folder = fHome / "Destination/Sample";
	ASSERT_EQ(
		ReadPackageConfiguration((folder / "Sample 2.1 Deinstaller").c_str(), configuration), B_OK);
	fWindow->SetConfiguration(configuration);
	fWindow->Show();
	Search();
	ASSERT_NE(fWindow->ItemsWindow(), nullptr);
	EXPECT_GE(Rows().size(), 6u);
	fs::create_directories(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(grab(fWindow).save(BEINSTALLER_ARTIFACT_DIR "/deinstaller-search-sample.png"));
	EXPECT_TRUE(grab(fWindow->ItemsWindow())
					.save(BEINSTALLER_ARTIFACT_DIR "/deinstaller-items-sample.png"));
	fWindow->ItemsWindow()->DeinstallFiles();
	EXPECT_TRUE(fWindow->ItemsWindow()->IsHidden());
	EXPECT_EQ(fWindow->ItemsWindow()->List()->CountItems(), 0);

	std::map<std::string, EntryState> after = snapshot(fHome);
	EXPECT_EQ("",
		disk_changes(before, after,
			{ "Destination/Sample/Sample 2.1 Deinstaller", "Destination/Sample/Log",
				"Destination/Sample/readme.txt", "Destination/Sample", ".local/share/Trash" }));
	std::set<std::string> left;
	for (const fs::directory_entry& entry : fs::directory_iterator(folder))
		left.insert(entry.path().filename());
	EXPECT_EQ(left, (std::set<std::string> { "Log", "Sample 2.1 Deinstaller", "readme.txt" }));
}
