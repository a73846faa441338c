// InstallerWin with packages built by PackageBuilder: the layout, the three states, install
// types and the item selection, the size text, the group tips, volumes and the folder
// panel, runs to their end (or back to the options), Stop, and screenshots of the states.
#include "InstallerWin.h"

#include "InstallApp.h"
#include "InstallListItem.h"
#include "InstallerTestSupport.h"
#include "LibConvertBytes.h"
#include "LibFilePanel.h"
#include "LibTipManager.h"
#include "PackageDefs.h"

#include <Autolock.h>
#include <Button.h>
#include <Control.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <ListView.h>
#include <Path.h>
#include <Resources.h>
#include <StringView.h>
#include <TextView.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

using namespace gui_test;
using namespace installer_test;

namespace {

class InstallerWinTest : public testing::Test {
protected:
	void SetUp() override
	{
		fHome = fSandbox.Home();
		fApplication = new AppRecorder;
		fApplication->Run();
	}

	void TearDown() override
	{
		if (fWindow != nullptr) {
			fWindow->Lock();
			fWindow->Quit();
		}
		fApplication->Lock();
		fApplication->Quit();
	}

	// Opens a window on a package of that shape, loaded and shown.
	void Open(const PackageShape& shape = PackageShape())
	{
		std::string problems;
		fPackage = build_package(fFolder.Path(), shape, &problems);
		ASSERT_FALSE(fPackage.empty()) << problems;
		fWindow = new InstallerWin(fPackage.c_str());
		fWindow->SetApplicationMessenger(BMessenger(fApplication));
		fWindow->Run();
		ASSERT_TRUE(fWindow->LoadResources());
		fWindow->Show();
		ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
		run_for(50);
	}

	template <typename T> T* View(const char* name)
	{
		T* view = dynamic_cast<T*>(fWindow->FindView(name));
		EXPECT_NE(view, nullptr) << name;
		return view;
	}

	BButton* Button() { return View<BButton>("button"); }

	BListView* Items() { return View<BListView>("custom_list"); }

	BListView* Types() { return View<BListView>("install_type"); }

	std::string Text(const char* name) { return View<BStringView>(name)->Text(); }

	// Posts a message to the window and lets it be handled.
	void Post(BMessage message)
	{
		fWindow->PostMessage(&message);
		run_for(50);
	}

	std::vector<int32> SelectedRows()
	{
		std::vector<int32> rows;
		BAutolock locker(fWindow);
		for (int32 i = 0; i < Items()->CountItems(); i++) {
			if (Items()->IsItemSelected(i))
				rows.push_back(i);
		}
		return rows;
	}

	std::string Destination()
	{
		BPath path(&fWindow->Engine().Destination());
		return path.Path() != nullptr ? path.Path() : "";
	}

	void SaveScreenshot(const char* name)
	{
		std::filesystem::create_directories(BEINSTALLER_ARTIFACT_DIR);
		grab(fWindow).save(
			QString::fromStdString(std::string(BEINSTALLER_ARTIFACT_DIR) + "/" + name));
	}

	// Presses the main button as a user does.
	void PressButton() { Post(BMessage(kMainButtonPressed)); }

	ScopedSandbox fSandbox;
	std::filesystem::path fHome;
	ScopedTempDir fFolder;
	AlertRecorder fAlerts;
	AppRecorder* fApplication = nullptr;
	InstallerWin* fWindow = nullptr;
	std::string fPackage;
};

TEST_F(InstallerWinTest, ViewsFollowTheLayoutTable)
{
	Open();

	struct Row {
		const char* name;
		BRect frame;
	} const rows[] = {
		{ "InstallImage", BRect(10, 16, 160, 216) },
		{ "license_box", BRect(165, 10, 445, 216) },
		{ "install_box", BRect(165, 10, 445, 216) },
		{ "install_type_label", BRect(10, 15, 70, 30) },
		{ "file_label", BRect(0, 15, 50, 30) },
		{ "destination", BRect(35, 0, 275, 15) },
		{ "inst_box", BRect(10, 225, 350, 250) },
		{ "instruction", BRect(10, 6, 330, 21) },
		{ "button", BRect(360, 223, 440, 243) },
	};

	BAutolock locker(fWindow);
	EXPECT_EQ(fWindow->Frame().Width(), 455);
	EXPECT_EQ(fWindow->Frame().Height(), 257);
	EXPECT_STREQ(fWindow->Title(), "Demo-Installer");
	float typeRight = Types()->Frame().right;
	BRect items = View<BView>("custom_scroll_view")->Frame();
	for (const Row& row : rows) {
		SCOPED_TRACE(row.name);
		BRect frame = View<BView>(row.name)->Frame();
		BRect expected = row.frame;
		if (strcmp(row.name, "file_label") == 0)
			expected.OffsetBy(typeRight + 30, 0);
		if (strcmp(row.name, "destination") == 0)
			expected.OffsetBy(0, View<BView>("volume")->Frame().bottom + 9);
		EXPECT_EQ(frame, expected);
	}
	// The licence text fills the licence box's bounds inset 10, 5 lower, 15 narrower.
	BRect text = View<BView>("license_text")->Frame();
	EXPECT_EQ(text.Width(), 245);
	EXPECT_EQ(text.Height(), 181);
	EXPECT_EQ(View<BView>("license_text")->Parent(), View<BView>("license_view"));
	// Placed from the item list's scroll view and the files label.
	EXPECT_EQ(View<BView>("install_size")->Frame(), BRect(items.right - 70, 15, items.right, 30));
	EXPECT_EQ(View<BView>("custom_list")->Frame().Width(), 153);
	EXPECT_EQ(View<BView>("volume")->Frame().LeftTop(), BPoint(10, items.bottom + 4));
	EXPECT_EQ(View<BView>("folder")->Frame().top, View<BView>("volume")->Frame().bottom + 4);
	EXPECT_EQ(View<BView>("volume_size")->Frame(),
		BRect(View<BView>("folder")->Frame().right, items.bottom + 4, items.right,
			items.bottom + 25));
	EXPECT_EQ(fWindow->DefaultButton(), Button());
}

TEST_F(InstallerWinTest, StartsOnTheLicenceAndAgreeLeadsToTheOptions)
{
	Open();
	{
		BAutolock locker(fWindow);
		EXPECT_EQ(fWindow->State(), InstallerWin::STATE_LICENSE);
		EXPECT_STREQ(Button()->Label(), "Agree");
		EXPECT_FALSE(View<BView>("license_box")->IsHidden());
		EXPECT_TRUE(View<BView>("install_box")->IsHidden());
		EXPECT_EQ(Text("instruction"), "Read license and select Agree button");
		EXPECT_NE(std::string(View<BTextView>("license_text")->Text()).find("Demo 1.0 Licence"),
			std::string::npos);
	}
	SaveScreenshot("installer-licence.png");

	PressButton();
	BAutolock locker(fWindow);
	EXPECT_EQ(fWindow->State(), InstallerWin::STATE_OPTIONS);
	EXPECT_STREQ(Button()->Label(), "Install");
	EXPECT_TRUE(View<BView>("license_box")->IsHidden());
	EXPECT_FALSE(View<BView>("install_box")->IsHidden());
	EXPECT_EQ(Text("instruction"), "Select destination folder and press Install");
	// The home folder of the boot volume is the destination.
	EXPECT_EQ(Destination(), fHome.string());
}

TEST_F(InstallerWinTest, AnEmptyLicenceStartsOnTheOptions)
{
	PackageShape shape;
	shape.licence = false;
	Open(shape);
	BAutolock locker(fWindow);
	EXPECT_EQ(fWindow->State(), InstallerWin::STATE_OPTIONS);
	EXPECT_STREQ(Button()->Label(), "Install");
	EXPECT_FALSE(View<BView>("install_box")->IsHidden());
}

TEST_F(InstallerWinTest, InstallTypesSelectExactlyTheirItems)
{
	Open();
	PressButton();
	// The first type, "Full", is chosen at start.
	EXPECT_EQ(SelectedRows(), (std::vector<int32> { 0, 1 }));

	struct Step {
		int32 type;
		int32 addByHand;
		std::vector<int32> expected;
	} const steps[] = {
		{ 1, -1, { 0 } },
		// Items changed by hand follow the type chosen next.
		{ 0, 0, { 0, 1 } },
		{ 1, 1, { 0 } },
	};

	for (const Step& step : steps) {
		if (step.addByHand >= 0) {
			BAutolock locker(fWindow);
			Items()->Deselect(0);
			Items()->Select(step.addByHand, true);
		}
		{
			BAutolock locker(fWindow);
			Types()->Select(step.type);
		}
		run_for(50);
		EXPECT_EQ(SelectedRows(), step.expected) << "type " << step.type;
	}
}

TEST_F(InstallerWinTest, SizeTextAddsTheDeinstallerAndTheButtonFollowsTheSelection)
{
	Open();
	PressButton();
	int64 deinstaller = fWindow->Engine().GetInt32(Package::kDeinstallerSize, -1);
	ASSERT_GT(deinstaller, 0);
	int64 items = 0;
	{
		BAutolock locker(fWindow);
		for (int32 i = 0; i < Items()->CountItems(); i++)
			items += dynamic_cast<InstallListItem*>(Items()->ItemAt(i))->Size();
	}
	LibString expected;
	LibConvertBytes(deinstaller + items, expected, 1);
	EXPECT_EQ(Text("install_size"), (const char*)expected);
	EXPECT_TRUE(Button()->IsEnabled());

	{
		BAutolock locker(fWindow);
		Items()->DeselectAll();
	}
	run_for(50);
	LibConvertBytes(deinstaller, expected, 1);
	EXPECT_EQ(Text("install_size"), (const char*)expected);
	EXPECT_FALSE(Button()->IsEnabled());
	{
		BAutolock locker(fWindow);
		Items()->Select(1);
	}
	run_for(50);
	EXPECT_TRUE(Button()->IsEnabled());
}

TEST_F(InstallerWinTest, WithoutInstallTypesNothingIsSelectedAndAgreeIsDisabled)
{
	PackageShape shape;
	shape.types = false;
	Open(shape);
	BAutolock locker(fWindow);
	EXPECT_EQ(Types()->CountItems(), 0);
	EXPECT_TRUE(SelectedRows().empty());
	EXPECT_FALSE(Button()->IsEnabled());
}

TEST_F(InstallerWinTest, HoveringATypeAsksForItsDescriptionAsATip)
{
	Open();
	PressButton();
	fApplication->Clear();
	fWindow->ShowGroupDescription(0);
	fWindow->ShowGroupDescription(1);
	fWindow->ShowGroupDescription(-1);
	fWindow->ShowGroupDescription(7);
	run_for(50);
	std::vector<BMessage> tips = fApplication->Messages(kLibTipRequest);
	ASSERT_EQ(tips.size(), 3u);

	const char* description = "The script and its documents.";
	EXPECT_TRUE(tips[0].GetBool("show", false));
	EXPECT_STREQ(tips[0].GetString("tip", ""), description);
	EXPECT_EQ(tips[0].GetInt16("edelay", 0), (int16)std::ceil(strlen(description) * 0.25));
	EXPECT_EQ(tips[0].GetInt16("sdelay", -1), 0);
	EXPECT_EQ(tips[0].GetInt32("width", 0), 160);
	BPoint where = tips[0].GetPoint("loc", BPoint(-1, -1));
	BPoint window = fWindow->Frame().LeftTop();
	// Right of the type list, level with the row.
	EXPECT_GT(where.x, window.x + 165 + 80);
	EXPECT_GT(where.y, window.y);
	// "Minimal" has no description: the request is empty.
	EXPECT_TRUE(tips[1].IsEmpty());
	EXPECT_FALSE(tips[2].GetBool("show", true));
}

TEST_F(InstallerWinTest, ChoosingAVolumeResetsTheDestinationAndWarnsOfAnInstallation)
{
	Open();
	PressButton();
	std::filesystem::create_directories(fHome / "Demo");
	std::filesystem::create_directories(fHome / "elsewhere");
	entry_ref elsewhere;
	ASSERT_EQ(get_ref_for_path((fHome / "elsewhere").c_str(), &elsewhere), B_OK);
	fWindow->Engine().SetDestination(elsewhere);
	fAlerts.Clear();

	Post(BMessage(kVolumeSelected));
	EXPECT_EQ(Destination(), fHome.string());
	EXPECT_EQ(fAlerts.Alerts(),
		(std::vector<std::string> {
			"The folder 'Demo' already exists in the destination folder.|OK" }));
	EXPECT_NE(View<BStringView>("volume_size")->Text(), std::string("0 bytes"));
}

TEST_F(InstallerWinTest, CancellingTheReplaceQuestionKeepsTheDestinationAndThePanel)
{
	Open();
	PressButton();
	std::filesystem::create_directories(fHome / "taken" / "Demo");
	std::filesystem::create_directories(fHome / "free");
	Post(BMessage(kFolderButtonPressed));
	ASSERT_NE(fWindow->FolderPanel(), nullptr);
	EXPECT_TRUE(fWindow->FolderPanel()->IsShowing());
	std::string before = Destination();

	struct Row {
		const char* folder;
		int32 answer;
		bool changes;
		bool panelStays;
	} const rows[] = {
		{ "taken", 0, false, true }, // "Cancel"
		{ "taken", 1, true, false }, // "Replace"
		{ "free", 0, true, false }, // nothing to ask
	};

	for (const Row& row : rows) {
		SCOPED_TRACE(row.folder);
		fWindow->FolderPanel()->Show();
		fAlerts.SetAnswerer([&](const LibAlertQuestion&) { return row.answer; });
		std::string wanted = (fHome / row.folder).string();
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(wanted.c_str(), &ref), B_OK);
		BMessage choice(kFolderSelected);
		choice.AddRef("refs", &ref);
		Post(choice);
		EXPECT_EQ(Destination(), row.changes ? wanted : before);
		EXPECT_EQ(fWindow->FolderPanel()->IsShowing(), row.panelStays);
		if (row.changes) {
			// The path is shortened at its beginning: its end stays visible.
			std::string shown = Text("destination");
			std::string end = std::string("/home/") + row.folder;
			EXPECT_EQ(shown.substr(shown.size() - end.size()), end);
		}
		before = Destination();
	}
}

TEST_F(InstallerWinTest, ARunToCompletionInstallsAndQuits)
{
	Open();
	PressButton();
	{
		BAutolock locker(fWindow);
		Types()->Select(1);
	}
	run_for(50);
	SaveScreenshot("installer-options.png");
	PressButton();
	{
		BAutolock locker(fWindow);
		EXPECT_EQ(fWindow->State(), InstallerWin::STATE_INSTALLING);
		EXPECT_STREQ(Button()->Label(), "Stop");
		EXPECT_FALSE(View<BControl>("folder")->IsEnabled());
	}
	ASSERT_TRUE(
		wait_until([&] { return !fApplication->Messages(B_QUIT_REQUESTED).empty(); }, 30000));
	EXPECT_EQ(Text("instruction"), "Installation Complete");
	EXPECT_TRUE(std::filesystem::exists(fHome / "Demo" / "demo-hello"));
	EXPECT_FALSE(std::filesystem::exists(fHome / "Demo" / "Demo Documents"));
	EXPECT_TRUE(std::filesystem::exists(fHome / "Demo" / "Log"));
	std::vector<std::string> alerts = fAlerts.Alerts();
	ASSERT_FALSE(alerts.empty());
	EXPECT_EQ(alerts.back(), "Installation successfully completed.|OK");
	// A finished run is not "stopped" when the installer quits.
	fWindow->QuitRunning();
	EXPECT_EQ(fAlerts.Alerts().size(), alerts.size());
}

TEST_F(InstallerWinTest, ARunThatStopsEarlyReturnsToTheOptionsAndCanStartAgain)
{
	Open();
	PressButton();
	// A destination that has gone: the engine cannot open it and ends with status 1.
	std::filesystem::create_directories(fHome / "gone");
	entry_ref gone;
	ASSERT_EQ(get_ref_for_path((fHome / "gone").c_str(), &gone), B_OK);
	fWindow->Engine().SetDestination(gone);
	std::filesystem::remove(fHome / "gone");
	std::vector<int32> selected = SelectedRows();

	for (int attempt = 0; attempt < 2; attempt++) {
		fAlerts.Clear();
		PressButton();
		ASSERT_TRUE(wait_until([&] {
			BAutolock locker(fWindow);
			return fWindow->State() == InstallerWin::STATE_OPTIONS;
		}));
		EXPECT_EQ(fAlerts.Alerts(),
			(std::vector<std::string> {
				"Failure to find selected installation folder. Unable to install files.|OK" }));
		BAutolock locker(fWindow);
		EXPECT_STREQ(Button()->Label(), "Install");
		EXPECT_TRUE(View<BControl>("folder")->IsEnabled());
		EXPECT_EQ(Text("instruction"), "Select destination folder and press Install");
	}
	EXPECT_EQ(SelectedRows(), selected);
	EXPECT_TRUE(fApplication->Messages(B_QUIT_REQUESTED).empty());

	// Status 3 (the requirements went back) is handled the same way.
	BMessage back(kLibThreadCompleted);
	back.AddString("name", "install");
	back.AddInt32("status", 3);
	fWindow->Lock();
	fWindow->ButtonPressed();
	fWindow->Unlock();
	Post(back);
	EXPECT_EQ(fWindow->State(), InstallerWin::STATE_OPTIONS);
	// A completion of another job is not the installation's.
	BMessage other(kLibThreadCompleted);
	other.AddString("name", "search");
	other.AddInt32("status", 0);
	Post(other);
	EXPECT_TRUE(fApplication->Messages(B_QUIT_REQUESTED).empty());
}

TEST_F(InstallerWinTest, StopQuitsAndTheRunningInstallationIsKilledWithANotice)
{
	PackageShape shape;
	shape.extra = "[completion]\ncomments = \"Done.\"\n";
	Open(shape);
	PressButton();
	// The run waits in its completion notice until the test lets it go.
	std::mutex gate;
	gate.lock();
	fAlerts.SetAnswerer([&](const LibAlertQuestion& question) {
		if (strncmp(question.text, "Installation successfully", 25) == 0) {
			gate.lock();
			gate.unlock();
		}
		return 0;
	});
	PressButton();
	ASSERT_TRUE(wait_until([&] { return Text("instruction") == "Installation Complete"; }));
	SaveScreenshot("installer-installing.png");

	PressButton();
	EXPECT_EQ(fApplication->Messages(B_QUIT_REQUESTED).size(), 1u);
	EXPECT_EQ(fWindow->State(), InstallerWin::STATE_INSTALLING);
	std::thread release([&] {
		std::this_thread::sleep_for(std::chrono::milliseconds(200));
		gate.unlock();
	});
	fWindow->QuitRunning();
	release.join();
	std::vector<std::string> alerts = fAlerts.Alerts();
	ASSERT_FALSE(alerts.empty());
	EXPECT_EQ(alerts.back(), "Installation was stopped before it could complete.|OK");
	// What was done stays.
	EXPECT_TRUE(std::filesystem::exists(fHome / "Demo" / "demo-hello"));
}

TEST_F(InstallerWinTest, APackageWithoutConfigurationIsReported)
{
	fWindow = new InstallerWin("/bin/true");
	fWindow->SetApplicationMessenger(BMessenger(fApplication));
	fWindow->Run();
	testing::internal::CaptureStderr();
	EXPECT_FALSE(fWindow->LoadResources());
	std::string err = testing::internal::GetCapturedStderr();
	EXPECT_NE(err.find("Does not have resource 2002\n"), std::string::npos) << err;
}

// A crafted package whose configuration does not unflatten (cut in half, or garbage) is
// refused at start-up like one without any, before anything is shown.
TEST_F(InstallerWinTest, APackageWhoseConfigurationDoesNotUnflattenIsReported)
{
	std::string problems;
	fPackage = build_package(fFolder.Path(), PackageShape(), &problems);
	ASSERT_FALSE(fPackage.empty()) << problems;
	std::string flat;
	{
		BFile file(fPackage.c_str(), B_READ_ONLY);
		BResources resources(&file);
		size_t size = 0;
		const void* data =
			resources.LoadResource(Package::kStringType, Package::kConfigurationId, &size);
		ASSERT_NE(data, nullptr);
		flat.assign(static_cast<const char*>(data), size);
	}
	for (const std::string& configuration :
		{ flat.substr(0, flat.size() / 2), std::string(2000, '\xff') }) {
		{
			BFile file(fPackage.c_str(), B_READ_WRITE);
			BResources resources(&file);
			ASSERT_EQ(resources.AddResource(Package::kStringType, Package::kConfigurationId,
						  configuration.data(), configuration.size(), Package::kConfigurationName),
				B_OK);
			ASSERT_EQ(resources.Sync(), B_OK);
		}
		InstallerWin* window = new InstallerWin(fPackage.c_str());
		window->SetApplicationMessenger(BMessenger(fApplication));
		window->Run();
		EXPECT_FALSE(window->LoadResources());
		window->Lock();
		EXPECT_TRUE(window->IsHidden());
		window->Quit();
	}
}

} // namespace

namespace {

// Every view's help path: the window's name, the view's name and its ancestors' names.
void
collect_view_paths(BView* view, const std::string& window, std::vector<std::string>& paths)
{
	std::string path = window;
	for (BView* step = view; step != nullptr; step = step->Parent())
		path += std::string("/") + (step->Name() != nullptr ? step->Name() : "");
	paths.push_back(path);
	for (int32 i = 0; i < view->CountChildren(); i++)
		collect_view_paths(view->ChildAt(i), window, paths);
}

TEST_F(InstallerWinTest, EveryViewOfTheWindowHasAHelpTopic)
{
	Open();
	std::vector<std::string> paths;
	{
		BAutolock locker(fWindow);
		for (int32 i = 0; i < fWindow->CountChildren(); i++)
			collect_view_paths(fWindow->ChildAt(i), fWindow->Name(), paths);
	}
	std::ifstream stream(
		std::string(BEINSTALLER_SOURCE_DIR) + "/Installer/x-vnd.Quillfield.Brimlow.help");
	std::stringstream help;
	help << stream.rdbuf();
	for (const std::string& path : paths)
		EXPECT_NE(help.str().find("VIEW=\"" + path + "\""), std::string::npos) << path;
}

} // namespace
