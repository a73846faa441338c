#include "LibFilePanel.h"

#include <Autolock.h>
#include <Entry.h>
#include <Looper.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>
#include <Path.h>
#include <Window.h>

namespace {

const char* const kFormatMenu = "Format";
const char* const kMarkedField = "marked";

} // namespace

LibFilePanel::LibFilePanel(file_panel_mode mode, BLooper* target, uint32 what, uint32 nodeFlavors,
	bool allowMultipleSelection) :
	BFilePanel(mode, NULL, NULL, nodeFlavors, allowMultipleSelection, new BMessage(what), NULL,
		false, false),
	fFormatMenu(NULL)
{
	if (target != NULL)
		SetTarget(BMessenger(target));
	_Init();
}

LibFilePanel::LibFilePanel(file_panel_mode mode, BMessenger* target, uint32 what,
	uint32 nodeFlavors, bool allowMultipleSelection) :
	BFilePanel(mode, target, NULL, nodeFlavors, allowMultipleSelection, new BMessage(what), NULL,
		false, false),
	fFormatMenu(NULL)
{
	_Init();
}

void
LibFilePanel::_Init()
{
	SetRefFilter(&fFilter);
}

LibFilePanel::~LibFilePanel()
{
	Hide();
}

void
LibFilePanel::SetPanelDirectory(const char* path)
{
	if (path == NULL)
		return;
	BPath folder(path);
	BPath parent;
	if (folder.InitCheck() == B_OK && folder.GetParent(&parent) == B_OK)
		BFilePanel::SetPanelDirectory(parent.Path());
	else
		BFilePanel::SetPanelDirectory(path);
}

void
LibFilePanel::SetPanelDirectory(const directory_which& which)
{
	BPath path;
	if (find_directory(which, &path) == B_OK)
		BFilePanel::SetPanelDirectory(path.Path());
}

void
LibFilePanel::SetToParentDirectory()
{
	entry_ref ref;
	GetPanelDirectory(&ref);
	BEntry folder(&ref);
	BEntry parent;
	if (folder.InitCheck() == B_OK && folder.GetParent(&parent) == B_OK)
		BFilePanel::SetPanelDirectory(&parent);
}

void
LibFilePanel::GetState(lib_panel_state& state)
{
	GetPanelDirectory(&state.directory);
	BAutolock lock(Window());
	state.frame = Window()->Frame();
}

void
LibFilePanel::SetState(const lib_panel_state& state)
{
	BFilePanel::SetPanelDirectory(&state.directory);
	BAutolock lock(Window());
	Window()->ResizeTo(state.frame.Width(), state.frame.Height());
	Window()->MoveTo(state.frame.LeftTop());
}

void
LibFilePanel::AddFormatMenuItem(const char* label, bool marked)
{
	BAutolock lock(Window());
	if (fFormatMenu == NULL) {
		BMenuBar* bar = dynamic_cast<BMenuBar*>(Window()->FindView("MenuBar"));
		if (bar == NULL)
			return;
		fFormatMenu = new BMenu(kFormatMenu);
		fFormatMenu->SetRadioMode(true);
		bar->AddItem(fFormatMenu);
	}
	BMenuItem* item = new BMenuItem(label, NULL);
	fFormatMenu->AddItem(item);
	if (marked)
		item->SetMarked(true);
}

void
LibFilePanel::SendMessage(const BMessenger* target, BMessage* message)
{
	if (message != NULL && fFormatMenu != NULL) {
		BMenuItem* marked = fFormatMenu->FindMarked();
		if (marked != NULL)
			message->AddString(kMarkedField, marked->Label());
	}
	BFilePanel::SendMessage(target, message);
}
