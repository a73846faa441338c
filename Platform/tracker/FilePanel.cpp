// BFilePanel: a window with the "MenuBar" view, a list of the shown folder's entries, and
// Cancel and Open buttons. The list and the buttons run on the window's thread; the panel's
// own methods lock the window around every change.
#include <FilePanel.h>

#include <AppDefs.h>
#include <Application.h>
#include <Autolock.h>
#include <Button.h>
#include <Directory.h>
#include <Entry.h>
#include <MenuBar.h>
#include <Message.h>
#include <MimeType.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <ThreadPrivate.h>
#include <View.h>
#include <Window.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const uint32 kOpen = '_FpO';
const uint32 kCancel = '_FpC';
const float kRowHeight = 16;
const float kBarHeight = 20;
const float kButtonAreaHeight = 40;

struct PanelEntry {
	entry_ref ref;
	std::string name;
	bool isDirectory = false;
	bool selected = false;
};

} // namespace

namespace BPrivate {

class PanelListView;

class FilePanelData {
public:
	BFilePanel* panel = nullptr;
	file_panel_mode mode = B_OPEN_PANEL;
	BMessenger target;
	BMessage* message = nullptr;
	BRefFilter* filter = nullptr;
	uint32 flavors = B_FILE_NODE;
	bool multiple = true;
	bool hideWhenDone = true;
	BWindow* window = nullptr;
	PanelListView* list = nullptr;
	BButton* defaultButton = nullptr;
	BButton* cancelButton = nullptr;
	entry_ref directory;
	std::vector<entry_ref> chosen;
	size_t next = 0;

	~FilePanelData() { delete message; }

	void List();
	void Choose();
	void Enter(const entry_ref& ref);
	bool Admits(const entry_ref& ref, bool& isDirectory);
};

class PanelListView : public BView {
public:
	PanelListView(BRect frame, FilePanelData* data) :
		BView(frame, "PoseView", B_FOLLOW_ALL, B_WILL_DRAW),
		fData(data)
	{
		SetViewColor(255, 255, 255);
		SetLowColor(255, 255, 255);
	}

	void Draw(BRect) override
	{
		font_height height;
		GetFontHeight(&height);
		for (size_t i = 0; i < fEntries.size(); i++) {
			const BRect row(
				0, float(i) * kRowHeight, Bounds().right, float(i + 1) * kRowHeight - 1);
			SetLowColor(fEntries[i].selected ? rgb_color { 180, 200, 240, 255 }
											 : rgb_color { 255, 255, 255, 255 });
			FillRect(row, B_SOLID_LOW);
			SetHighColor(0, 0, 0);
			std::string label = fEntries[i].name;
			if (fEntries[i].isDirectory)
				label += "/";
			DrawString(label.c_str(), BPoint(4, row.bottom - height.descent - 1));
		}
		SetLowColor(255, 255, 255);
	}

	void MouseDown(BPoint where) override
	{
		const int64 index = int64(where.y / kRowHeight);
		int32 clicks = 1;
		uint32 mods = 0;
		if (BMessage* current = Window()->CurrentMessage()) {
			clicks = current->GetInt32("clicks", 1);
			mods = uint32(current->GetInt32("modifiers", 0));
		}
		if (index < 0 || index >= int64(fEntries.size())) {
			Select(-1, false);
			return;
		}
		if (clicks >= 2 && fEntries[size_t(index)].isDirectory) {
			const entry_ref ref = fEntries[size_t(index)].ref;
			fData->Enter(ref);
			return;
		}
		const bool extend = fData->multiple && (mods & (B_SHIFT_KEY | B_COMMAND_KEY)) != 0;
		Select(int32(index), extend);
	}

	void Select(int32 index, bool extend)
	{
		for (size_t i = 0; i < fEntries.size(); i++) {
			if (int32(i) == index)
				fEntries[i].selected = extend ? !fEntries[i].selected : true;
			else if (!extend)
				fEntries[i].selected = false;
		}
		Invalidate();
		fData->panel->SelectionChanged();
	}

	std::vector<PanelEntry> fEntries;

private:
	FilePanelData* fData;
};

class PanelWindow : public BWindow {
public:
	PanelWindow(FilePanelData* data, const char* title) :
		BWindow(BRect(100, 100, 499, 399), title, B_TITLED_WINDOW, 0),
		fData(data)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kOpen:
				fData->Choose();
				return;
			case kCancel:
				fData->panel->Hide();
				return;
		}
		BWindow::MessageReceived(message);
	}

	// Closing the window hides the panel; the panel quits it when it goes.
	bool QuitRequested() override
	{
		fData->panel->Hide();
		return false;
	}

private:
	FilePanelData* fData;
};

bool
FilePanelData::Admits(const entry_ref& ref, bool& isDirectory)
{
	BEntry entry(&ref, true);
	struct stat st;
	if (entry.InitCheck() != B_OK || entry.GetStat(&st) != B_OK)
		return false;
	isDirectory = S_ISDIR(st.st_mode);
	if (filter != nullptr) {
		std::string type;
		if (isDirectory) {
			type = B_DIRECTORY_MIME_TYPE;
			BPath path(&entry);
			struct stat parent;
			const std::string parentPath = std::string(path.Path()) + "/..";
			if (stat(parentPath.c_str(), &parent) == 0
				&& (parent.st_dev != st.st_dev || parent.st_ino == st.st_ino)) {
				type = B_VOLUME_MIME_TYPE;
			}
		} else {
			BNode node(&entry);
			BNodeInfo info(&node);
			char buffer[B_MIME_TYPE_LENGTH] = "";
			type = info.GetType(buffer) == B_OK ? buffer : "application/octet-stream";
		}
		BNode node(&entry);
		if (!filter->Filter(&ref, &node, &st, type.c_str()))
			return false;
	}
	if (isDirectory ? (flavors & B_DIRECTORY_NODE) == 0 && (flavors & B_FILE_NODE) == 0
					: (flavors & (B_FILE_NODE | B_SYMLINK_NODE)) == 0) {
		return false;
	}
	// Folders stay listed in file panels so that the user can go into them.
	if (!isDirectory && (flavors & B_FILE_NODE) == 0)
		return false;
	return true;
}

// Called with the window locked.
void
FilePanelData::List()
{
	std::vector<PanelEntry> entries;
	BDirectory folder(&directory);
	entry_ref ref;
	while (folder.InitCheck() == B_OK && folder.GetNextRef(&ref) == B_OK) {
		PanelEntry item;
		if (!Admits(ref, item.isDirectory))
			continue;
		item.ref = ref;
		item.name = ref.name != NULL ? ref.name : "";
		entries.push_back(item);
	}
	std::sort(entries.begin(), entries.end(),
		[](const PanelEntry& a, const PanelEntry& b) { return a.name < b.name; });
	list->fEntries = std::move(entries);
	list->Invalidate();
	BPath path(&directory);
	window->SetTitle(path.InitCheck() == B_OK ? path.Path() : "");
}

// Called with the window locked.
void
FilePanelData::Enter(const entry_ref& ref)
{
	directory = ref;
	List();
}

// The Open button, on the window's thread.
void
FilePanelData::Choose()
{
	std::vector<entry_ref> refs;
	bool folderOnly = true;
	for (const PanelEntry& item : list->fEntries) {
		if (item.selected) {
			refs.push_back(item.ref);
			folderOnly = folderOnly && item.isDirectory;
		}
	}
	const bool wantsFolders = (flavors & B_DIRECTORY_NODE) != 0;
	if (!wantsFolders && refs.size() == 1 && folderOnly) {
		// A file panel opens a selected folder instead of choosing it.
		Enter(refs[0]);
		return;
	}
	if (refs.empty()) {
		if (!wantsFolders)
			return;
		refs.push_back(directory);
	}
	chosen = refs;
	next = 0;
	BMessage choice(message != nullptr ? *message : BMessage(B_REFS_RECEIVED));
	for (const entry_ref& ref : refs)
		choice.AddRef("refs", &ref);
	panel->SendMessage(&target, &choice);
	if (hideWhenDone)
		panel->Hide();
}

} // namespace BPrivate

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target, const entry_ref* directory,
	uint32 nodeFlavors, bool allowMultipleSelection, BMessage* message, BRefFilter* filter,
	bool /*modal*/, bool hideWhenDone) :
	fData(std::make_unique<BPrivate::FilePanelData>())
{
	BPrivate::FilePanelData& data = *fData;
	data.panel = this;
	data.mode = mode;
	data.target = target != NULL ? *target : be_app_messenger;
	data.message = message;
	data.filter = filter;
	data.flavors = nodeFlavors != 0 ? nodeFlavors : uint32(B_FILE_NODE);
	data.multiple = allowMultipleSelection;
	data.hideWhenDone = hideWhenDone;

	data.window = new BPrivate::PanelWindow(&data, mode == B_OPEN_PANEL ? "Open" : "Save");
	const BRect bounds = data.window->Bounds();
	BMenuBar* bar = new BMenuBar(BRect(0, 0, bounds.right, kBarHeight - 1), "MenuBar");
	data.window->AddChild(bar);
	BView* background = new BView(
		BRect(0, kBarHeight, bounds.right, bounds.bottom), "background", B_FOLLOW_ALL, B_WILL_DRAW);
	background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	data.window->AddChild(background);
	const BRect inside = background->Bounds();
	data.list = new BPrivate::PanelListView(
		BRect(10, 10, inside.right - 10, inside.bottom - kButtonAreaHeight), &data);
	background->AddChild(data.list);
	data.defaultButton = new BButton(
		BRect(inside.right - 90, inside.bottom - 32, inside.right - 10, inside.bottom - 8),
		"default button", mode == B_OPEN_PANEL ? "Open" : "Save", new BMessage(kOpen),
		B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	data.cancelButton = new BButton(
		BRect(inside.right - 180, inside.bottom - 32, inside.right - 100, inside.bottom - 8),
		"cancel button", "Cancel", new BMessage(kCancel), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	background->AddChild(data.cancelButton);
	background->AddChild(data.defaultButton);

	if (directory != NULL)
		data.directory = *directory;
	else {
		const char* home = getenv("HOME");
		BEntry entry(home != NULL ? home : "/");
		entry.GetRef(&data.directory);
	}
	data.List();
}

BFilePanel::~BFilePanel()
{
	// Locking and quitting the window wait; unwinding out of a destructor would end the
	// process.
	BPrivate::CancelDisabler disabler;
	BWindow* window = fData->window;
	if (window->Lock())
		window->Quit();
}

void
BFilePanel::Show()
{
	BWindow* window = fData->window;
	BAutolock lock(window);
	if (window->IsHidden()) {
		fData->List();
		window->Show();
	}
}

void
BFilePanel::Hide()
{
	BWindow* window = fData->window;
	{
		BAutolock lock(window);
		if (window->IsHidden())
			return;
		window->Hide();
	}
	WasHidden();
}

bool
BFilePanel::IsShowing() const
{
	BAutolock lock(fData->window);
	return !fData->window->IsHidden();
}

BWindow*
BFilePanel::Window() const
{
	return fData->window;
}

BMessenger
BFilePanel::Messenger() const
{
	return fData->target;
}

file_panel_mode
BFilePanel::PanelMode() const
{
	return fData->mode;
}

void
BFilePanel::SetTarget(BMessenger target)
{
	BAutolock lock(fData->window);
	fData->target = target;
}

void
BFilePanel::SetMessage(BMessage* message)
{
	BAutolock lock(fData->window);
	delete fData->message;
	fData->message = message != NULL ? new BMessage(*message) : nullptr;
}

void
BFilePanel::SetRefFilter(BRefFilter* filter)
{
	BAutolock lock(fData->window);
	fData->filter = filter;
	fData->List();
}

BRefFilter*
BFilePanel::RefFilter() const
{
	return fData->filter;
}

void
BFilePanel::SetHideWhenDone(bool hideWhenDone)
{
	fData->hideWhenDone = hideWhenDone;
}

bool
BFilePanel::HidesWhenDone() const
{
	return fData->hideWhenDone;
}

void
BFilePanel::SetButtonLabel(file_panel_button button, const char* label)
{
	BAutolock lock(fData->window);
	(button == B_CANCEL_BUTTON ? fData->cancelButton : fData->defaultButton)->SetLabel(label);
}

void
BFilePanel::SetPanelDirectory(const entry_ref* ref)
{
	if (ref == NULL)
		return;
	BAutolock lock(fData->window);
	fData->Enter(*ref);
}

void
BFilePanel::SetPanelDirectory(const BEntry* entry)
{
	entry_ref ref;
	if (entry != NULL && entry->GetRef(&ref) == B_OK)
		SetPanelDirectory(&ref);
}

void
BFilePanel::SetPanelDirectory(const BDirectory* directory)
{
	BEntry entry;
	if (directory != NULL && directory->GetEntry(&entry) == B_OK)
		SetPanelDirectory(&entry);
}

void
BFilePanel::SetPanelDirectory(const char* path)
{
	if (path == NULL)
		return;
	BEntry entry(path, true);
	SetPanelDirectory(&entry);
}

void
BFilePanel::GetPanelDirectory(entry_ref* ref) const
{
	if (ref == NULL)
		return;
	BAutolock lock(fData->window);
	*ref = fData->directory;
}

void
BFilePanel::Refresh()
{
	BAutolock lock(fData->window);
	fData->List();
}

void
BFilePanel::Rewind()
{
	BAutolock lock(fData->window);
	fData->next = 0;
	// The current selection, when there is one; otherwise what was chosen last (a folder
	// panel may have chosen its own folder with nothing selected).
	std::vector<entry_ref> selected;
	for (const PanelEntry& item : fData->list->fEntries) {
		if (item.selected)
			selected.push_back(item.ref);
	}
	if (!selected.empty())
		fData->chosen = selected;
}

status_t
BFilePanel::GetNextSelectedRef(entry_ref* ref)
{
	BAutolock lock(fData->window);
	if (ref == NULL)
		return B_BAD_VALUE;
	if (fData->next >= fData->chosen.size())
		return B_ENTRY_NOT_FOUND;
	*ref = fData->chosen[fData->next++];
	return B_OK;
}

void
BFilePanel::SendMessage(const BMessenger* target, BMessage* message)
{
	if (target != NULL && message != NULL)
		target->SendMessage(message);
}

void
BFilePanel::WasHidden()
{
}

void
BFilePanel::SelectionChanged()
{
}
