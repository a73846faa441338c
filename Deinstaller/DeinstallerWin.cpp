#include "DeinstallerWin.h"

#include "DeinstallFilesWin.h"
#include "DeinstallSearch.h"
#include "DeinstallUnattended.h"
#include "SavedFiles.h"

#include <BackgroundView.h>
#include <InstallImage.h>
#include <LibAlert.h>
#include <LibRect.h>
#include <LibThread.h>
#include <LibVolumeMenu.h>
#include <PackageConfiguration.h>
#include <PackageDefs.h>

#include <Application.h>
#include <Button.h>
#include <NodeMonitor.h>
#include <StatusBar.h>
#include <Volume.h>

#include <string.h>

namespace {

// The search's thread name; its completion message carries it.
const char kSearchThreadName[] = "search";
const long kSearchPriority = 10;

const char*
string_field(const BMessage& message, const char* name)
{
	const char* text = NULL;
	if (message.FindString(name, &text) != B_OK || text == NULL)
		return "";
	return text;
}

} // namespace

DeinstallerWin::DeinstallerWin() :
	LibWindow(BRect(0, 0, 173, 318), "Tarnwick", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
		B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
	fItemsWindow(NULL),
	fSearch(NULL),
	fWatchingMounts(false)
{
	SetName("DeinstallerWin");
	SavedFiles::GetProgramInstallationFolder(fInstallationFolder);
	const BRect bounds = Bounds();

	BackgroundView* background =
		new BackgroundView(bounds, kDeinstallerBanner, BackgroundView::BANNER_FROM_TOP);
	AddChild(background);

	fImage = new InstallImage(BPoint(10, 10), false);
	background->AddChild(fImage);

	fVolumeMenu = new LibVolumeMenu(
		BPoint(10, fImage->Frame().bottom + 3), "volume", kVolumeChosenMessage, 40);
	// The menu is made wider than this small window leaves room for; it ends where the
	// status bar does, so that its right edge and pop-up mark stay visible.
	const float overflow = fVolumeMenu->Frame().right - (bounds.right - 5);
	if (overflow > 0) {
		fVolumeMenu->ResizeBy(-overflow, 0);
		fVolumeMenu->MenuField()->ResizeBy(-overflow, 0);
	}
	background->AddChild(fVolumeMenu);
	fVolumeMenu->Update();
	const float menuBottom = fVolumeMenu->Frame().bottom;

	fStatusBar =
		new BStatusBar(BRect(5, menuBottom + 1, bounds.right - 5, menuBottom + 30), "status_bar");
	background->AddChild(fStatusBar);

	fSearchButton = new BButton(LibRect(bounds.right - 85, fStatusBar->Frame().bottom + 8, 70, 20),
		"search_btn", "Search", new BMessage(kSearchButtonMessage), B_FOLLOW_LEFT | B_FOLLOW_TOP);
	background->AddChild(fSearchButton);
	SetDefaultButton(fSearchButton);

	fWatchingMounts = watch_node(NULL, B_WATCH_MOUNT, BMessenger(this)) == B_OK;
}

DeinstallerWin::~DeinstallerWin()
{
	if (fWatchingMounts)
		stop_watching(BMessenger(this));
	// Deleting a running search kills its thread first.
	delete fSearch;
}

void
DeinstallerWin::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kSearchButtonMessage:
			ButtonPressed();
			break;
		case kVolumeChosenMessage:
			// The search reads the menu when it starts.
			break;
		case kLibThreadCompleted:
			ThreadChange(message);
			break;
		case kSearchProgress:
			SearchingNewFile(message);
			break;
		case B_NODE_MONITOR: {
			int32 opcode = 0;
			if (message->FindInt32("opcode", &opcode) == B_OK
				&& (opcode == B_DEVICE_MOUNTED || opcode == B_DEVICE_UNMOUNTED)) {
				fVolumeMenu->Update();
			}
			break;
		}
		default:
			LibWindow::MessageReceived(message);
			break;
	}
}

bool
DeinstallerWin::QuitRequested()
{
	if (fItemsWindow != NULL && fItemsWindow->Lock()) {
		fItemsWindow->Quit();
		fItemsWindow = NULL;
	}
	be_app->PostMessage(B_QUIT_REQUESTED);
	return true;
}

void
DeinstallerWin::Show()
{
	if (Lock()) {
		BMessage image;
		if (fConfiguration.FindMessage(Package::kAboutImage, &image) == B_OK)
			fImage->SetImage(image);
		fImage->SetAppName(string_field(fConfiguration, Package::kAppName));
		fImage->SetVersion(string_field(fConfiguration, Package::kVersion));
		fImage->SetDate(string_field(fConfiguration, Package::kReleaseDate));
		fImage->SetCompany(string_field(fConfiguration, Package::kCompany));
		fImage->SetEmail(string_field(fConfiguration, Package::kSupportEmail));
		Unlock();
	}
	LibWindow::Show();
}

void
DeinstallerWin::SetConfiguration(const BMessage& configuration)
{
	if (!Lock())
		return;
	fConfiguration = configuration;
	Unlock();
}

void
DeinstallerWin::EnableControls(const bool& enable)
{
	fVolumeMenu->SetEnabled(enable);
}

void
DeinstallerWin::ButtonPressed()
{
	if (!Lock())
		return;
	if (fSearch != NULL) {
		// Stopping discards what the search found; its messages still queued are revoked.
		_EndSearch();
		Unlock();
		return;
	}

	BVolume volume;
	fVolumeMenu->GetCurrentVolume(volume);
	fSearchButton->SetLabel("Stop");
	EnableControls(false);
	fStatusBar->Reset(".../", " found");
	fStatusBar->SetMaxValue((float)(volume.Capacity() - volume.FreeBytes()));

	LibString tag;
	BuildInstallationTag(fConfiguration, tag);
	fSearch = new DeinstallSearch(volume);
	fSearch->SetTag(tag);
	if (volume.InitCheck() != B_OK
		|| fSearch->Go(kSearchThreadName, new BMessenger(this), kSearchPriority, false) != B_OK) {
		// Nothing runs: the window goes back to idle rather than offering to stop nothing.
		_EndSearch();
	}
	Unlock();
}

void
DeinstallerWin::SearchingNewFile(BMessage* message)
{
	if (!Lock())
		return;
	float size = 0;
	const char* folder = NULL;
	const char* found = NULL;
	message->FindFloat("size", &size);
	message->FindString("folder", &folder);
	message->FindString("found", &found);
	fStatusBar->Update(size, folder, found);
	Unlock();
}

void
DeinstallerWin::ThreadChange(BMessage* message)
{
	const char* name = NULL;
	int32 status = -1;
	if (message->FindString("name", &name) != B_OK || name == NULL
		|| strcmp(name, kSearchThreadName) != 0 || message->FindInt32("status", &status) != B_OK
		|| status != 0 || fSearch == NULL) {
		return;
	}
	if (!Lock())
		return;
	// The bar fills up; its line keeps the last folder and says how many were found.
	LibStringList& found = fSearch->Found();
	LibString folder = fStatusBar->Text();
	LibString count;
	count.Formatted("%ld", (long)found.Size());
	fStatusBar->Update(fStatusBar->MaxValue(), folder, count);

	if (found.Size() == 0) {
		LibError("%s", kNothingFoundText);
		// The items are gone; what they replaced may still wait to be put back (the user
		// kept it saved before, or removed the items by hand).
		OfferToPutBackSavedEntries(fInstallationFolder);
	} else {
		if (fItemsWindow == NULL) {
			fItemsWindow = new DeinstallFilesWin();
			fItemsWindow->Run();
		}
		fItemsWindow->SetPaths(found);
		fItemsWindow->SetInstallationFolder(fInstallationFolder);
		LibString bootTag;
		LibString environmentTag;
		LibString profileTag;
		GetUserScriptTags(fConfiguration, bootTag, environmentTag, profileTag);
		fItemsWindow->SetUserScripts(bootTag, environmentTag, profileTag);
		fItemsWindow->SetPosition(CENTER, this);
		fItemsWindow->Pop();
	}
	_EndSearch();
	Unlock();
}

void
DeinstallerWin::_EndSearch()
{
	delete fSearch;
	fSearch = NULL;
	fSearchButton->SetLabel("Search");
	EnableControls(true);
}
