#include "HelpWindow.h"

#include "HelpArchive.h"
#include "HelpManager.h"
#include "LibAppResource.h"
#include "LibFile.h"
#include "LibPrivateFolder.h"
#include "LibRect.h"
#include "LibString.h"
#include "LibTextView.h"
#include "MetaStringItem.h"
#include "xmlTag.h"

#include <Application.h>
#include <Autolock.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <OutlineListView.h>
#include <ScrollView.h>
#include <View.h>

#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>
#include <vector>

namespace {

const float kContentWidth = 170;
const float kFontSize = 10;

// The topics of a help file are its CONTENTS' elements of this name, nested at any depth.
const char* const kTopicTag = "CONTENT";

} // namespace

HelpWindow::HelpWindow(const char* helpName, HelpManager* manager) :
	LibWindow(LibRect(0, 0, 450, 200), "Help", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
		B_NOT_ZOOMABLE),
	fManager(manager),
	fContentList(NULL),
	fHelpPane(NULL),
	fTopicsCut(false)
{
	SetName("HelpWindow");
	const BRect bounds = Bounds();

	BView* background = new BView(bounds, "view", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	fContentList = new BOutlineListView(BRect(0, 0, kContentWidth, bounds.Height()), "content_list",
		B_SINGLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM);
	fContentList->SetFontSize(kFontSize);
	fContentList->SetSelectionMessage(new BMessage(kHelpTopicSelected));
	BScrollView* contentScroll = new BScrollView("content_scroll", fContentList,
		B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM, 0, false, true, B_FANCY_BORDER);
	background->AddChild(contentScroll);

	BRect paneFrame(contentScroll->Frame().right + 2, 0, bounds.Width() - B_V_SCROLL_BAR_WIDTH,
		bounds.Height());
	fHelpPane = new LibTextView(paneFrame, "help_pane", 0, 0);
	fHelpPane->SetStylable(true);
	fHelpPane->SetFontSize(kFontSize);
	fHelpPane->MakeEditable(false);
	fHelpPane->MakeSelectable(false);
	BScrollView* helpScroll = new BScrollView(
		"help_scroll", fHelpPane, B_FOLLOW_ALL_SIDES, 0, false, true, B_FANCY_BORDER);
	background->AddChild(helpScroll);

	AddChild(background);
	fContentList->SetTarget(this);

	ReadInContents(helpName);
}

HelpWindow::~HelpWindow()
{
	_Leave();
	// The outline does not own its rows.
	fContentList->SetSelectionMessage(NULL);
	std::vector<BListItem*> rows;
	for (int32 i = 0; i < fContentList->FullListCountItems(); i++)
		rows.push_back(fContentList->FullListItemAt(i));
	fContentList->MakeEmpty();
	for (BListItem* row : rows)
		delete row;
}

void
HelpWindow::Quit()
{
	// A window that quits as its application ends may never be deleted: what it leaves
	// on disk goes now.
	if (Lock()) {
		_Leave();
		Unlock();
	}
	LibWindow::Quit();
}

void
HelpWindow::_Leave()
{
	if (fManager != NULL)
		fManager->_WindowGone(this);
	fManager = NULL;

	fParser.Close();
	// Only what this window made goes: the folder it extracted into, with the file. A
	// same-named file in the shared temporary folder is someone else's.
	if (fPrivateFolder.InitCheck() == B_OK)
		LibUnlink(fPrivateFolder.Path());
	fPrivateFolder.Unset();
}

void
HelpWindow::MessageReceived(BMessage* message)
{
	if (message->what == kHelpTopicSelected) {
		HelpForSelectedContent();
		return;
	}
	LibWindow::MessageReceived(message);
}

bool
HelpWindow::QuitRequested()
{
	if (fManager != NULL && fManager->ApplicationQuitting())
		return true;
	Hide();

	// The program ends when its last window on the screen is closed; a hidden help
	// window must not keep it running with nothing to show.
	if (be_app == NULL)
		return false;
	for (int32 i = 0; i < be_app->CountWindows(); i++) {
		BWindow* window = be_app->WindowAt(i);
		if (window == NULL || window == this)
			continue;
		bool shown = false;
		if (window->Lock()) {
			shown = !window->IsHidden();
			window->Unlock();
		}
		if (shown)
			return false;
	}
	be_app->PostMessage(B_QUIT_REQUESTED);
	return false;
}

bool
HelpWindow::_UsableHelpFile(const char* path, bool ownedByAnyone) const
{
	struct stat info;
	if (path == NULL || stat(path, &info) != 0 || !S_ISREG(info.st_mode))
		return false;
	if (info.st_size > kMaxHelpFileSize) {
		fprintf(stderr, "Help file too large <%s>\n", path);
		return false;
	}
	// A working directory may be a shared folder: a file someone else put there is not
	// this program's help.
	return ownedByAnyone || info.st_uid == getuid() || info.st_uid == 0;
}

void
HelpWindow::ReadInContents(const char* helpName)
{
	LibString fileName(helpName != NULL ? helpName : "");
	fileName += ".help";
	fileName.PrintToStream();

	char folder[PATH_MAX];
	BPath path;
	if (getcwd(folder, sizeof(folder)) != NULL)
		path.SetTo(folder, fileName);
	if (!_UsableHelpFile(path.Path(), false)) {
		fprintf(stderr, "Help not in working directory <%s>\n",
			path.Path() != NULL ? path.Path() : (const char*)fileName);
		// The temporary copy lives in a folder of this window's own, never under a fixed
		// name of the shared temporary folder.
		if (fPrivateFolder.InitCheck() != B_OK && !LibMakePrivateFolder(fPrivateFolder, "help")) {
			fprintf(stderr, "HelpWindow::ReadInContents: No help in attrs\n");
			return;
		}
		path.SetTo(fPrivateFolder.Path(), fileName);
		if (!_UsableHelpFile(path.Path(), true)) {
			fprintf(stderr, "Help not in tmp directory <%s>\n", path.Path());
			if (!ExtractFromApp(path.Path())) {
				fprintf(stderr, "HelpWindow::ReadInContents: No help in attrs\n");
				return;
			}
		}
	}

	fHelpPath = path;
	const bool opened = fParser.Open(path.Path());
	fprintf(stderr, "parser %d\n", opened ? 1 : 0);
	fParser.Rewind();
	xmlTag contents;
	if (!fParser.FindTag("CONTENTS", contents))
		return;
	for (xmlTag* topic = contents.FirstChildTag(); topic != NULL; topic = contents.NextChildTag()) {
		if (topic->Name() != kTopicTag)
			continue;
		BListItem* row = AddContent(topic, NULL);
		AddContents(*topic, row);
	}
}

BListItem*
HelpWindow::AddContent(xmlTag* topic, BListItem* parent)
{
	if (topic == NULL)
		return NULL;
	if (fContentList->FullListCountItems() >= kMaxHelpTopics) {
		if (!fTopicsCut)
			fprintf(stderr, "Help topics past %ld left out\n", (long)kMaxHelpTopics);
		fTopicsCut = true;
		return NULL;
	}
	MetaStringItem* row = new (std::nothrow) MetaStringItem(topic->Contents());
	if (row == NULL) {
		fprintf(stderr, "Error allocating MetaStringItem\n");
		return NULL;
	}

	const xmlTagModifiers& attributes = topic->Modifiers();
	const char* value = NULL;
	if (attributes.FindString("PAGE", &value) == B_OK)
		row->Message()->AddString("PAGE", value);
	for (int32 i = 0; attributes.FindString("VIEW", i, &value) == B_OK; i++)
		row->Message()->AddString("VIEW", value);

	if (parent != NULL) {
		fContentList->AddUnder(row, parent);
		// Collapsing rebuilds the outline's rows; a topic already collapsed stays so.
		if (parent->IsExpanded())
			fContentList->Collapse(parent);
	} else
		fContentList->AddItem(row);
	return row;
}

void
HelpWindow::AddContents(xmlTag& topic, BListItem* row)
{
	// A topic that got no row takes its sub-topics with it: they must not turn up at the
	// top of the outline.
	if (row == NULL)
		return;
	for (xmlTag* child = topic.FirstChildTag(); child != NULL; child = topic.NextChildTag()) {
		if (child->Name() != kTopicTag)
			continue;
		AddContents(*child, AddContent(child, row));
	}
}

void
HelpWindow::HelpForInterface(const char* viewPath)
{
	if (viewPath == NULL)
		return;
	BAutolock lock(this);
	if (!lock.IsLocked())
		return;

	const int32 count = fContentList->FullListCountItems();
	int32 hit = -1;
	for (int32 i = 0; i < count && hit < 0; i++) {
		MetaStringItem* row = dynamic_cast<MetaStringItem*>(fContentList->FullListItemAt(i));
		if (row == NULL)
			continue;
		const char* view = NULL;
		for (int32 j = 0; row->Message()->FindString("VIEW", j, &view) == B_OK; j++) {
			if (strcmp(view, viewPath) == 0) {
				hit = i;
				break;
			}
		}
	}
	if (hit < 0) {
		fprintf(stderr, "No help for %s\n", viewPath);
		return;
	}

	// Every row up to the hit is made visible, so the hit shows whatever its depth.
	for (int32 i = 0; i <= hit; i++) {
		BListItem* super = fContentList->Superitem(fContentList->FullListItemAt(i));
		if (super != NULL && !super->IsExpanded())
			fContentList->Expand(super);
	}
	fContentList->Select(fContentList->IndexOf(fContentList->FullListItemAt(hit)));
	fContentList->ScrollToSelection();
}

void
HelpWindow::HelpForContent(const char* page)
{
	if (page == NULL)
		return;
	BAutolock lock(this);
	if (!lock.IsLocked())
		return;

	// The file is read from its start for every page.
	fParser.Rewind();
	xmlTag tag;
	while (fParser.FindTag("PAGE", tag)) {
		const char* name = NULL;
		if (tag.Modifiers().FindString("NAME", &name) == B_OK && strcmp(name, page) == 0) {
			fHelpPane->SetXml(tag);
			return;
		}
	}
	fHelpPane->SetText("");
}

void
HelpWindow::HelpForSelectedContent()
{
	const int32 selected = fContentList->CurrentSelection();
	MetaStringItem* row = dynamic_cast<MetaStringItem*>(fContentList->ItemAt(selected));
	if (row == NULL)
		return;
	const char* page = NULL;
	if (row->Message()->FindString("PAGE", &page) != B_OK) {
		// A topic without a page of its own shows nothing rather than the page before.
		fHelpPane->SetText("");
		return;
	}
	HelpForContent(page);
}

bool
HelpWindow::ExtractFromApp(const char* path)
{
	LibAppResource resources(B_READ_ONLY);
	return HelpArchive::Extract(resources, path);
}
