// A small program on LibInterfaceApp, run by the tests as a process: it takes "-help FILE"
// as any such program does, and with "--request WINDOW/VIEW/..." sends itself that help
// request when it is ready, prints what the help window then shows, and quits.
#include "HelpWindow.h"
#include "LibInterfaceApp.h"
#include "LibTextView.h"

#include <ListItem.h>
#include <Message.h>
#include <OS.h>
#include <OutlineListView.h>
#include <StringItem.h>

#include <stdio.h>
#include <string.h>

#include <string>

namespace {

const uint32 kReport = 'rprt';
// Reports wait this many times 10 ms at most for the page to show.
const int32 kReportTries = 500;

class HelpProgram : public LibInterfaceApp {
public:
	HelpProgram() :
		LibInterfaceApp("application/x-vnd.Test-HelpProgram"),
		fTries(0)
	{
	}

	void ArgvReceived(int32 argc, char** argv) override
	{
		LibInterfaceApp::ArgvReceived(argc, argv);
		for (int32 i = 1; i + 1 < argc; i++) {
			if (strcmp(argv[i], "--request") == 0)
				fRequest = argv[i + 1];
		}
	}

	void ReadyToRun() override
	{
		printf("ready\n");
		if (fRequest.empty()) {
			PostMessage(B_QUIT_REQUESTED);
			return;
		}
		BMessage request(kLibHelpRequest);
		size_t start = 0;
		for (bool first = true; start <= fRequest.size(); first = false) {
			size_t end = fRequest.find('/', start);
			if (end == std::string::npos)
				end = fRequest.size();
			request.AddString(
				first ? "window" : "view", fRequest.substr(start, end - start).c_str());
			start = end + 1;
		}
		PostMessage(&request);
		PostMessage(kReport);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kReport) {
			LibInterfaceApp::MessageReceived(message);
			return;
		}
		HelpWindow* window = Help().Window();
		if (window == NULL || !window->Lock()) {
			printf("no window\n");
			PostMessage(B_QUIT_REQUESTED);
			return;
		}
		const char* page = window->HelpPane()->Text();
		if (page[0] == '\0' && ++fTries < kReportTries) {
			window->Unlock();
			snooze(10000);
			PostMessage(kReport);
			return;
		}
		BOutlineListView* list = window->ContentList();
		BStringItem* selected = dynamic_cast<BStringItem*>(list->ItemAt(list->CurrentSelection()));
		printf("topics %d\n", (int)list->FullListCountItems());
		printf("selected %s\n", selected != NULL ? selected->Text() : "");
		printf("page %s\n", page);
		printf("file %s\n", window->HelpPath().Path() != NULL ? window->HelpPath().Path() : "");
		printf("shown %d\n", window->IsHidden() ? 0 : 1);
		window->Unlock();
		fflush(stdout);
		PostMessage(B_QUIT_REQUESTED);
	}

private:
	std::string fRequest;
	int32 fTries;
};

} // namespace

int
main()
{
	HelpProgram program;
	program.Run();
	return 0;
}
