#include "DeinstallFilesWin.h"

#include "DeinstallRemoval.h"
#include "SavedFiles.h"

#include <FileListItem.h>
#include <FolderPictures.h>
#include <LibAlert.h>
#include <LibEntry.h>
#include <LibFilePanel.h>
#include <LibPictureButton.h>
#include <LibRect.h>
#include <LibStringList.h>
#include <LibStringView.h>
#include <LibTipManager.h>
#include <ReplaceAlert.h>

#include <Button.h>
#include <Entry.h>
#include <FindDirectory.h>
#include <ListView.h>
#include <Message.h>
#include <Path.h>
#include <ScrollView.h>

#include <vector>

namespace {

const float kWindowWidth = 490;
const float kWindowHeight = 230;
const float kButtonWidth = 65;
const float kButtonHeight = 20;

const char kVolumeType[] = "application/x-vnd.Be-volume";
const char kDirectoryType[] = "application/x-vnd.Be-directory";

// The replace dialog, with "Apply to all future collisions" offered.
ReplaceAnswer
ask_replace(const BPath& incoming, const BPath& existing)
{
	ReplaceAnswer answer;
	bool applyToAll = false;
	answer.replace = ReplaceAlert::Ask(incoming, existing, true, applyToAll) == 1;
	answer.applyToAll = applyToAll;
	return answer;
}

} // namespace

DeinstallFilesWin::DeinstallFilesWin() :
	LibWindow(LibRect(0, 0, kWindowWidth, kWindowHeight), "Deinstall Items", B_TITLED_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE),
	fPanel(NULL)
{
	SetName("DeinstallFilesWin");
	const BRect bounds = Bounds();
	const float width = bounds.Width();
	const float height = bounds.Height();

	BView* background = new BView(bounds, "view", B_FOLLOW_ALL, B_WILL_DRAW);
	background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(background);

	fList = new BListView(LibRect(10, 10, width - 110, height - 45), "list",
		B_MULTIPLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP);
	fList->SetFontSize(10);
	fList->SetSelectionMessage(new BMessage(kListSelectionMessage));
	fScroll = new BScrollView(
		"list_scroll", fList, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true, B_FANCY_BORDER);
	background->AddChild(fScroll);
	const float scrollBottom = fScroll->Frame().bottom;

	fFolderButton = new LibPictureButton(BPoint(9, scrollBottom + 4), kFolderPictureSide,
		kFolderPictureSide, "folder", FolderUp, FolderDown, kChooseFolderMessage, FolderUpInactive);
	fFolderButton->AddTip(kLibTipRequest, "Change destination folder");
	background->AddChild(fFolderButton);

	fDestinationText =
		new LibStringView(LibRect(fFolderButton->Frame().right + 5, scrollBottom + 10, 150, 15),
			"destination_path", "");
	background->AddChild(fDestinationText);

	const float buttonLeft = width - 110 + 37;
	fAllButton = new BButton(LibRect(buttonLeft, 10, kButtonWidth, kButtonHeight), "all", "All",
		new BMessage(kSelectAllMessage));
	background->AddChild(fAllButton);
	fNoneButton = new BButton(LibRect(buttonLeft, 40, kButtonWidth, kButtonHeight), "none", "None",
		new BMessage(kSelectNoneMessage));
	background->AddChild(fNoneButton);
	fDeinstallButton = new BButton(LibRect(buttonLeft, height - 37, kButtonWidth, kButtonHeight),
		"deinstall", "Deinstall", new BMessage(kDeinstallMessage));
	background->AddChild(fDeinstallButton);
	SetDefaultButton(fDeinstallButton);

	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash, false) == B_OK) {
		fDestination = trash.Path();
		SetMovePath(fDestination);
	}
	SavedFiles::GetProgramInstallationFolder(fInstallationFolder);
	_UpdateDeinstallButton();
}

DeinstallFilesWin::~DeinstallFilesWin()
{
	delete fPanel;
	// The list does not own its rows.
	for (int32 i = fList->CountItems(); i-- > 0;)
		delete fList->RemoveItem(i);
}

void
DeinstallFilesWin::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kSelectAllMessage:
			if (fList->CountItems() > 0)
				fList->Select(0, fList->CountItems() - 1, false);
			_UpdateDeinstallButton();
			break;
		case kSelectNoneMessage:
			fList->DeselectAll();
			_UpdateDeinstallButton();
			break;
		case kListSelectionMessage:
			_UpdateDeinstallButton();
			break;
		case kChooseFolderMessage:
			SelectMoveDestination();
			break;
		case kFolderChosenMessage:
			MoveDestinationChoosen(message);
			break;
		case kDeinstallMessage:
			DeinstallFiles();
			break;
		default:
			LibWindow::MessageReceived(message);
			break;
	}
}

void
DeinstallFilesWin::SetPaths(LibStringList& paths)
{
	if (!Lock())
		return;
	for (int32 i = fList->CountItems(); i-- > 0;)
		delete fList->RemoveItem(i);
	for (LibString* path = paths.First(); path != NULL; path = paths.Next()) {
		FileListItem* row = new FileListItem(*path, false, true);
		// The list scrolls only up and down: a path too long for the row loses its middle,
		// so that both where it lies and its name stay readable.
		row->SetTruncateMode(B_TRUNCATE_MIDDLE);
		fList->AddItem(row);
	}
	if (fList->CountItems() > 0)
		fList->Select(0, fList->CountItems() - 1, false);
	_UpdateDeinstallButton();
	Unlock();
}

void
DeinstallFilesWin::SetUserScripts(
	const LibString& bootTag, const LibString& environmentTag, const LibString& profileTag)
{
	fBootTag = bootTag;
	fEnvironmentTag = environmentTag;
	fProfileTag = profileTag;
}

void
DeinstallFilesWin::DeinstallFiles()
{
	if (!Lock())
		return;

	std::vector<DeinstallItem> items;
	for (int32 i = 0; i < fList->CountItems(); i++) {
		FileListItem* row = static_cast<FileListItem*>(fList->ItemAt(i));
		DeinstallItem item;
		item.path = row->Path().Path() != NULL ? row->Path().Path() : "";
		item.selected = fList->IsItemSelected(i);
		items.push_back(item);
	}

	DeinstallRemoval removal;
	removal.SetDestination(fDestination);
	removal.SetUserScripts(fBootTag, fEnvironmentTag, fProfileTag);
	removal.SetQuestion(ask_replace);
	DeinstallCounts counts = removal.Remove(items);

	// Only the rows of items that have left go: an item that stayed is still installed.
	for (int32 i = (int32)items.size(); i-- > 0;) {
		if (items[i].outcome == kItemMoved)
			delete fList->RemoveItem(i);
	}
	_UpdateDeinstallButton();
	Unlock();

	if (counts.failed > 0) {
		if (counts.failed == 1) {
			LibWarning("1 item could not be moved to %s. It stays in the list, selected.",
				(const char*)fDestination);
		} else {
			LibWarning("%ld items could not be moved to %s. They stay in the list, selected.",
				(long)counts.failed, (const char*)fDestination);
		}
		return;
	}
	Hide();
	OfferPutBack();
}

void
OfferToPutBackSavedEntries(const char* installationFolder)
{
	SavedFiles saved(installationFolder);
	if (saved.Find() == 0)
		return;
	int32 answer = LibAsk(
		"", saved.QuestionText(), "Keep Saved", "Put Back", NULL, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	if (answer != 1)
		return;
	PutBackCounts counts = saved.PutBack();
	LibString report = SavedFiles::ReportText(counts, saved.Folder());
	if (counts.Kept() > 0)
		LibWarning("%s", (const char*)report);
	else
		LibInfo("%s", (const char*)report);
}

void
DeinstallFilesWin::SelectMoveDestination()
{
	if (fPanel == NULL) {
		fPanel =
			new LibFilePanel(B_OPEN_PANEL, this, kFolderChosenMessage, B_DIRECTORY_NODE, false);
		fPanel->Filter()->AddType(kVolumeType);
		fPanel->Filter()->AddType(kDirectoryType);
		// Shows the destination's folder, so that the destination is listed.
		fPanel->SetPanelDirectory((const char*)fDestination);
	}
	fPanel->Show();
}

void
DeinstallFilesWin::MoveDestinationChoosen(BMessage* message)
{
	entry_ref ref;
	bool chosen = message != NULL && message->FindRef("refs", &ref) == B_OK;
	if (!chosen && fPanel != NULL) {
		fPanel->Rewind();
		chosen = fPanel->GetNextSelectedRef(&ref) == B_OK;
	}
	LibString path;
	if (chosen && LibGetFullPath(ref, path)) {
		fDestination = path;
		SetMovePath(fDestination);
	}
	// The next chooser starts afresh.
	delete fPanel;
	fPanel = NULL;
}

void
DeinstallFilesWin::SetMovePath(const char* path)
{
	fDestinationText->SetTruncatedText(path, B_TRUNCATE_BEGINNING);
}

void
DeinstallFilesWin::_UpdateDeinstallButton()
{
	fDeinstallButton->SetEnabled(fList->CurrentSelection() >= 0);
}

void
DeinstallFilesWin::OfferPutBack()
{
	OfferToPutBackSavedEntries(fInstallationFolder);
}
