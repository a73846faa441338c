#include "InstallerWin.h"

#include "BackgroundView.h"
#include "FolderPictures.h"
#include "InstallImage.h"
#include "InstallListItem.h"
#include "InstallerDefaults.h"
#include "LibAlert.h"
#include "LibConvertBytes.h"
#include "LibFilePanel.h"
#include "LibListView.h"
#include "LibPictureButton.h"
#include "LibStringView.h"
#include "LibSysInfo.h"
#include "LibTipManager.h"
#include "LibVolumeMenu.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"

#include <Application.h>
#include <Autolock.h>
#include <Box.h>
#include <Button.h>
#include <Directory.h>
#include <Entry.h>
#include <FindDirectory.h>
#include <Font.h>
#include <ListView.h>
#include <NodeMonitor.h>
#include <Path.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringItem.h>
#include <StringView.h>
#include <TextView.h>
#include <Volume.h>
#include <VolumeRoster.h>

#include <cmath>
#include <cstring>

namespace {

const char* const kLicenseInstruction = "Read license and select Agree button";
const char* const kOptionsInstruction = "Select destination folder and press Install";
const char* const kStoppedText = "Installation was stopped before it could complete.";
const char* const kNoDestination = "none choosen";
const char* const kFolderTip = "Change destination folder";
const char* const kFallbackTitle = "Brimlow";

// The window's title: the leaf name of the installer file.
std::string
window_title(const char* packagePath)
{
	std::string path = InstallerPackagePath(packagePath);
	size_t slash = path.rfind('/');
	if (path.empty() || slash == path.size() - 1)
		return kFallbackTitle;
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "w×h at x,y": the inclusive rectangle from (x, y) to (x + w, y + h).
BRect
place(float x, float y, float width, float height)
{
	return BRect(x, y, x + width, y + height);
}

std::string
byte_text(int64 bytes)
{
	LibString text;
	LibConvertBytes(bytes, text, 1);
	return std::string((const char*)text);
}

} // namespace

InstallerWin::InstallerWin(const char* packagePath) :
	LibWindow(BRect(0, 0, 455, 257), window_title(packagePath).c_str(), B_TITLED_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
	fState(STATE_LICENSE),
	fRunning(false),
	fApplication(be_app_messenger)
{
	if (packagePath != NULL && packagePath[0] != '\0')
		fConfig.SetPackagePath(packagePath);
	_BuildLayout();

	BVolumeRoster().StartWatching(BMessenger(this));
	GetVolumes();
	GetHomeDirectory();
	RemoveShortcut('W', B_COMMAND_KEY);
}

InstallerWin::~InstallerWin()
{
	BVolumeRoster().StopWatching();
	// The engine's run uses the window's messenger; it ends before the views go.
	fConfig.Kill();
	// List views do not own their rows.
	for (BListView* list : { static_cast<BListView*>(fTypeList), fItemList }) {
		for (int32 i = list->CountItems() - 1; i >= 0; i--)
			delete list->RemoveItem(i);
	}
}

void
InstallerWin::_BuildLayout()
{
	SetName("InstallerWin");
	BackgroundView* background = new BackgroundView(Bounds());
	AddChild(background);

	fImage = new InstallImage(BPoint(10, 16), false);
	background->AddChild(fImage);
	BRect panel = fImage->Frame();

	BRect boxFrame(panel.right + 5, 10, 445, panel.bottom);
	fLicenseBox = new BBox(boxFrame, "license_box");
	fLicenseBox->SetLabel("License");
	background->AddChild(fLicenseBox);

	BRect textFrame = fLicenseBox->Bounds();
	textFrame.InsetBy(10, 10);
	textFrame.top += 5;
	textFrame.right -= 15;
	BRect textRect = textFrame;
	textRect.OffsetTo(0, 0);
	textRect.InsetBy(2, 2);
	BFont licenseFont(be_plain_font);
	licenseFont.SetSize(10);
	fLicenseText = new BTextView(
		textFrame, "license_text", textRect, &licenseFont, NULL, B_FOLLOW_ALL, B_WILL_DRAW);
	fLicenseText->MakeEditable(false);
	fLicenseText->MakeSelectable(false);
	fLicenseScroll = new BScrollView("license_view", fLicenseText, B_FOLLOW_ALL, 0, false, true);
	fLicenseBox->AddChild(fLicenseScroll);

	fInstallBox = new BBox(boxFrame, "install_box");
	fInstallBox->SetLabel("Installation");
	background->AddChild(fInstallBox);

	fTypeLabel = new BStringView(place(10, 15, 60, 15), "install_type_label", "Groups");
	fTypeLabel->SetFont(be_bold_font);
	fInstallBox->AddChild(fTypeLabel);

	fTypeList = new LibListView(place(10, fTypeLabel->Frame().bottom + 3, 70, 107), "install_type");
	fTypeList->SetResizingMode(B_FOLLOW_LEFT | B_FOLLOW_TOP);
	fTypeList->SetSelectionMessage(new BMessage(kInstallTypeSelected));
	fTypeList->SetHoverCommand(kInstallTypeHovered);
	fTypeScroll = new BScrollView(
		"install_type_scroll", fTypeList, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true);
	fInstallBox->AddChild(fTypeScroll);

	// BeOS behaviour: the files column is placed from the type list's right edge as its own
	// scroll view reports it, not from the scroll view's edge in the box.
	float filesLeft = fTypeList->Frame().right + 30;
	fFilesLabel = new BStringView(place(filesLeft, 15, 50, 15), "file_label", "Files");
	fFilesLabel->SetFont(be_bold_font);
	fInstallBox->AddChild(fFilesLabel);

	fItemList = new BListView(place(filesLeft, fFilesLabel->Frame().bottom + 3, 153, 107),
		"custom_list", B_MULTIPLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP);
	fItemList->SetSelectionMessage(new BMessage(kItemSelected));
	fItemScroll = new BScrollView(
		"custom_scroll_view", fItemList, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true);
	fInstallBox->AddChild(fItemScroll);
	BRect items = fItemScroll->Frame();

	BRect files = fFilesLabel->Frame();
	fInstallSize = new BStringView(
		BRect(items.right - 70, files.top, items.right, files.bottom), "install_size", "0 bytes");
	fInstallSize->SetAlignment(B_ALIGN_RIGHT);
	fInstallBox->AddChild(fInstallSize);

	// The free-space text shares its row with the volume menu and reaches under it; it is
	// added first so that the menu is drawn over it rather than wiped by its background.
	fVolumeSize = new BStringView(
		BRect(10 + kFolderPictureSide - 1, items.bottom + 4, items.right, items.bottom + 25),
		"volume_size", "0 bytes");
	fVolumeSize->SetAlignment(B_ALIGN_RIGHT);
	fInstallBox->AddChild(fVolumeSize);

	fVolumeMenu = new LibVolumeMenu(BPoint(10, items.bottom + 4), "volume", kVolumeSelected, 60);
	fInstallBox->AddChild(fVolumeMenu);
	float menuBottom = fVolumeMenu->Frame().bottom;

	fFolderButton = new LibPictureButton(BPoint(10, menuBottom + 4), kFolderPictureSide,
		kFolderPictureSide, "folder", FolderUp, FolderDown, kFolderButtonPressed, FolderUpInactive);
	fFolderButton->AddTip(kLibTipRequest, kFolderTip);
	fInstallBox->AddChild(fFolderButton);

	fDestination =
		new LibStringView(place(35, menuBottom + 9, 240, 15), "destination", kNoDestination);
	fInstallBox->AddChild(fDestination);
	fInstallBox->Hide();

	fInstructionBox = new BBox(place(10, panel.bottom + 9, 340, 25), "inst_box");
	background->AddChild(fInstructionBox);
	// The instruction spans the box: the status texts of a run (up to 99 characters) and
	// "Select destination folder and press Install" are wider than 230 pixels in the
	// fonts of a Linux desktop.
	fInstruction = new BStringView(place(10, 6, 320, 15), "instruction", kLicenseInstruction);
	fInstructionBox->AddChild(fInstruction);

	BRect instructions = fInstructionBox->Frame();
	fButton = new BButton(place(instructions.right + 10, instructions.top - 2, 80, 20), "button",
		"Agree", new BMessage(kMainButtonPressed));
	background->AddChild(fButton);
	SetDefaultButton(fButton);
}

void
InstallerWin::SetApplicationMessenger(const BMessenger& messenger)
{
	fApplication = messenger;
}

void
InstallerWin::_PostToApplication(BMessage* message)
{
	fApplication.SendMessage(message);
}

void
InstallerWin::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMainButtonPressed:
			ButtonPressed();
			break;
		case kInstallTypeSelected:
			InstallTypeSelected();
			break;
		case kInstallTypeHovered:
			ShowGroupDescription(message->GetInt32("item", -1));
			break;
		case kFolderButtonPressed: {
			InitFolderPanel();
			entry_ref destination = fConfig.Destination();
			fFolderPanel->SetPanelDirectory(&destination);
			fFolderPanel->SetToParentDirectory();
			fFolderPanel->Show();
			break;
		}
		case kVolumeSelected:
			SelectVolume();
			break;
		case kFolderSelected:
			SelectDestination(message);
			break;
		case kItemSelected:
			CustomItemSelected();
			break;
		case kLibThreadCompleted:
			ThreadChange(message);
			break;
		case B_NODE_MONITOR: {
			int32 opcode = message->GetInt32("opcode", 0);
			if (opcode == B_DEVICE_MOUNTED || opcode == B_DEVICE_UNMOUNTED)
				GetVolumes();
			break;
		}
		case kInstallStatusMessage: {
			const char* text = NULL;
			if (message->FindString(kInstallStatusField, &text) == B_OK)
				fInstruction->SetText(text);
			break;
		}
		default:
			LibWindow::MessageReceived(message);
			break;
	}
}

bool
InstallerWin::QuitRequested()
{
	BMessage quit(B_QUIT_REQUESTED);
	_PostToApplication(&quit);
	return true;
}

bool
InstallerWin::LoadResources()
{
	std::string packagePath = InstallerPackagePath(fConfig.PackagePath().c_str());
	if (ReadPackageConfiguration(packagePath.c_str(), fConfig) != B_OK)
		return false;

	BAutolock locker(this);
	BMessage image;
	fConfig.FindMessage(Package::kAboutImage, &image);
	fImage->SetImage(image);
	fImage->SetAppName(fConfig.GetString(Package::kAppName, ""));
	fImage->SetVersion(fConfig.GetString(Package::kVersion, ""));
	fImage->SetDate(fConfig.GetString(Package::kReleaseDate, ""));
	fImage->SetCompany(fConfig.GetString(Package::kCompany, ""));
	fImage->SetEmail(fConfig.GetString(Package::kSupportEmail, ""));

	const char* license = fConfig.GetString(Package::kLicense, "");
	fLicenseText->SetText(license);
	if (license[0] == '\0')
		ButtonPressed();

	BMessage groups;
	if (fConfig.FindMessage(Package::kGroups, &groups) == B_OK) {
		fGroups.Read(groups);
		for (GroupContext* group = fGroups.First(); group != NULL; group = fGroups.Next())
			AddGroup((const char*)group->Name());
		fTypeList->Select(0);
	}

	BMessage instructions;
	fConfig.FindMessage(Package::kInstallInstructions, &instructions);
	BMessage record;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &record) == B_OK; i++) {
		InstallListItem* item = new InstallListItem(false);
		item->SetShowFullPath(false);
		item->Read(record);
		fItemList->AddItem(item);
	}

	BPath folder;
	if (InstallerDefaultFolder(fConfig, packagePath, folder)) {
		entry_ref ref;
		if (get_ref_for_path(folder.Path(), &ref) == B_OK)
			fConfig.SetDestination(ref);
	}

	fVolumeMenu->AllowRemovable(fConfig.GetBool(Package::kReqRemovableVolOk, false));
	fVolumeMenu->AllowShared(fConfig.GetBool(Package::kReqSharedVolOk, false));
	GetVolumes();

	InstallTypeSelected();
	SetDestinationPath();

	BMessage sound;
	if (fConfig.FindMessage(Package::kAudioData, &sound) == B_OK) {
		sound.what = kPlaySound;
		_PostToApplication(&sound);
	}
	return true;
}

void
InstallerWin::_ShowOptions()
{
	fLicenseBox->Hide();
	fInstallBox->Show();
	fButton->SetLabel("Install");
	fInstruction->SetText(kOptionsInstruction);
	fState = STATE_OPTIONS;
}

void
InstallerWin::ButtonPressed()
{
	BAutolock locker(this);
	switch (fState) {
		case STATE_LICENSE:
			_ShowOptions();
			CheckDestinationFolder(false);
			break;
		case STATE_OPTIONS:
			fFolderButton->SetEnabled(false);
			fVolumeMenu->SetEnabled(false);
			fButton->SetLabel("Stop");
			fState = STATE_INSTALLING;
			Install();
			break;
		case STATE_INSTALLING:
			// Stop ends the installer; the application stops the run on its way out.
			QuitRequested();
			break;
	}
}

void
InstallerWin::AddGroup(const char* name)
{
	fTypeList->AddItem(new BStringItem(name));
}

void
InstallerWin::InstallTypeSelected()
{
	ShowGroupDescription(-1);
	// Silenced so that the changes below do not each report.
	fItemList->SetSelectionMessage(NULL);

	int32 selected = fTypeList->CurrentSelection();
	if (selected >= 0) {
		BStringItem* type = dynamic_cast<BStringItem*>(fTypeList->ItemAt(selected));
		const char* name = type != NULL ? type->Text() : "";
		for (int32 i = 0; i < fItemList->CountItems(); i++) {
			InstallListItem* item = dynamic_cast<InstallListItem*>(fItemList->ItemAt(i));
			if (item != NULL && item->groups.InList(name)) {
				if (!fItemList->IsItemSelected(i))
					fItemList->Select(i, true);
			} else
				fItemList->Deselect(i);
		}
	} else if (fTypeList->CountItems() > 0)
		fTypeList->Select(0);

	fItemList->SetSelectionMessage(new BMessage(kItemSelected));
	CustomItemSelected();
}

void
InstallerWin::CustomItemSelected()
{
	BAutolock locker(this);
	// Added up in 64 bits: several large items must not wrap the total around.
	int64 total = fConfig.GetInt32(Package::kDeinstallerSize, 0);
	bool anySelected = false;
	for (int32 i = 0; i < fItemList->CountItems(); i++) {
		if (!fItemList->IsItemSelected(i))
			continue;
		anySelected = true;
		InstallListItem* item = dynamic_cast<InstallListItem*>(fItemList->ItemAt(i));
		if (item != NULL)
			total += item->Size();
	}
	fInstallSize->SetText(byte_text(total).c_str());
	fButton->SetEnabled(anySelected);
}

void
InstallerWin::ShowGroupDescription(const int32& row)
{
	BMessage request(kLibTipRequest);
	if (row < 0) {
		request.AddBool("show", false);
		_PostToApplication(&request);
		return;
	}
	GroupContext* group = row < fGroups.Size() ? fGroups.Get(row) : NULL;
	if (group == NULL)
		return;
	const char* description = (const char*)group->Description();
	if (description != NULL && description[0] != '\0') {
		BRect list = fTypeList->Frame();
		BRect rowFrame = fTypeList->ItemFrame(row);
		BScrollBar* bar = fTypeScroll->ScrollBar(B_VERTICAL);
		float scrolled = bar != NULL ? bar->Value() : 0;
		// BeOS behaviour: the tip's corner is reckoned from the list's frame inside its own
		// scroll view, which puts it to the right of the list, level with the row.
		BPoint where(fTypeScroll->Frame().left + 99 + list.Width() + list.right,
			rowFrame.top + 42 + list.top - scrolled);
		ConvertToScreen(&where);
		request.AddBool("show", true);
		request.AddInt16("sdelay", 0);
		request.AddInt16("edelay", static_cast<int16>(std::ceil(strlen(description) * 0.25)));
		request.AddPoint("loc", where);
		request.AddInt32("width", 160);
		request.AddString("tip", description);
	}
	_PostToApplication(&request);
}

void
InstallerWin::GetVolumes()
{
	BAutolock locker(this);
	fVolumeMenu->Update();
}

void
InstallerWin::GetHomeDirectory()
{
	BVolume volume;
	if (!fVolumeMenu->GetCurrentVolume(volume))
		return;
	BPath home;
	entry_ref ref;
	if (find_directory(B_USER_DIRECTORY, &home, false, &volume) != B_OK
		|| get_ref_for_path(home.Path(), &ref) != B_OK) {
		return;
	}
	fConfig.SetDestination(ref);
	SetDestinationPath();
	fVolumeSize->SetText(byte_text(volume.FreeBytes()).c_str());
}

void
InstallerWin::SetDestinationPath()
{
	BAutolock locker(this);
	BPath path(&fConfig.Destination());
	if (path.InitCheck() != B_OK)
		return;
	fDestination->SetTruncatedText(path.Path(), B_TRUNCATE_BEGINNING);
}

bool
InstallerWin::CheckDestinationFolder(bool ask)
{
	if (!fConfig.DoesDestinationExist())
		return true;
	std::string text = std::string("The folder '")
		+ fConfig.GetString(Package::kOptCreatedFolder, "")
		+ "' already exists in the destination folder.";
	int32 answer;
	if (ask) {
		text += "\nDo you wish to replace?";
		answer =
			LibAsk("", text.c_str(), "Cancel", "Replace", NULL, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	} else
		answer = LibAsk("", text.c_str(), "OK", NULL, NULL, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	return answer != 0;
}

void
InstallerWin::InitFolderPanel()
{
	if (fFolderPanel != NULL)
		return;
	fFolderPanel = std::make_unique<LibFilePanel>(
		B_OPEN_PANEL, this, kFolderSelected, B_DIRECTORY_NODE, false);
	fFolderPanel->Filter()->AddType("application/x-vnd.Be-directory");
	fFolderPanel->Filter()->AddType("application/x-vnd.Be-volume");
}

void
InstallerWin::SelectDestination(BMessage* message)
{
	entry_ref kept = fConfig.Destination();
	entry_ref chosen;
	if (message->FindRef("refs", &chosen) != B_OK) {
		if (fFolderPanel != NULL)
			fFolderPanel->Hide();
		return;
	}
	fConfig.SetDestination(chosen);
	if (CheckDestinationFolder(true)) {
		SetDestinationPath();
		if (fFolderPanel != NULL)
			fFolderPanel->Hide();
		return;
	}
	fConfig.SetDestination(kept);
}

void
InstallerWin::SelectVolume()
{
	GetHomeDirectory();
	CheckDestinationFolder(false);
}

void
InstallerWin::Install()
{
	{
		BAutolock locker(this);
		BMessage instructions;
		fConfig.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage record;
		for (int32 i = 0; i < fItemList->CountItems()
			 && instructions.FindMessage(Package::kInstallFile, i, &record) == B_OK;
			 i++) {
			bool selected = fItemList->IsItemSelected(i);
			if (record.ReplaceBool(Package::kInstallToSystem, selected) != B_OK)
				record.AddBool(Package::kInstallToSystem, selected);
			instructions.ReplaceMessage(Package::kInstallFile, i, &record);
		}
		fConfig.ReplaceMessage(Package::kInstallInstructions, &instructions);
	}
	fRunning = true;
	fConfig.Go("install", new BMessenger(this), 10, false);
}

void
InstallerWin::ThreadChange(BMessage* message)
{
	const char* name = NULL;
	if (message->FindString("name", &name) != B_OK || strcmp(name, "install") != 0)
		return;
	fRunning = false;
	if (message->GetInt32("status", 0) != 0) {
		BAutolock locker(this);
		fFolderButton->SetEnabled(true);
		fVolumeMenu->SetEnabled(true);
		fButton->SetLabel("Install");
		fInstruction->SetText(kOptionsInstruction);
		fState = STATE_OPTIONS;
		return;
	}
	if (fConfig.RestartRequested())
		LibShutdown(true);
	QuitRequested();
}

void
InstallerWin::QuitRunning()
{
	// A run blocked in a question (waiting) or between steps counts as running; one that
	// has reported its end does not, whatever state its thread is still seen in.
	if (!fRunning)
		return;
	int32 state = fConfig.Status();
	if (state < B_THREAD_RUNNING || state > B_THREAD_WAITING)
		return;
	fConfig.Kill();
	fRunning = false;
	LibError("%s", kStoppedText);
}
