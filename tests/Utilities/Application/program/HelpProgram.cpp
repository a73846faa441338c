// A small program on LibInterfaceApp, which the tests run as a process: it takes "-help
// FILE" as such programs do, and with "--request WINDOW/VIEW/..." sends itself that help
// request when ready, prints what the help window then shows, and quits.
#include "HelpWindow.h"
#include "LibInterfaceApp.h"
#include "LibTextView.h"

#include <OS.h>
#include <OutlineListView.h>
#include <StringItem.h>

#include <stdio.h>
#include <string.h>

#include <string>

namespace {

const uint32 kReport = 'rprt';

class HelpProgram : public LibInterfaceApp {
public:
	HelpProgram() :
		LibInterfaceApp("application/x-vnd.Test-HelpProgram")
	{
	}

	void ArgvReceived(int32 argc, char** argv) override
	{
		LibInterfaceApp::ArgvReceived(argc, argv);
		if (argc == 3 && strcmp(argv[1], "--request") == 0)
			fRequest = argv[2];
	}

	void ReadyToRun() override
	{
		printf("ready\n");
		if (fRequest.empty()) {
			PostMessage(B_QUIT_REQUESTED);
			return;
		}
		BMessage request(kLibHelpRequest);
		for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
			end = fRequest.find('/', start);
			request.AddString(
				start == 0 ? "window" : "view", fRequest.substr(start, end - start).c_str());
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
			PostMessage(B_QUIT_REQUESTED);
			return;
		}
		// The page follows the selection message; it is waited for up to five seconds.
		const char* page = window->HelpPane()->Text();
		if (page[0] == '\0' && ++fTries < 500) {
			window->Unlock();
			snooze(10000);
			PostMessage(kReport);
			return;
		}
		BOutlineListView* list = window->ContentList();
		BStringItem* selected = dynamic_cast<BStringItem*>(list->ItemAt(list->CurrentSelection()));
		printf("topics %d\nselected %s\npage %s\nfile %s\n", (int)list->FullListCountItems(),
			selected != NULL ? selected->Text() : "", page, window->HelpPath().Path());
		window->Unlock();
		PostMessage(B_QUIT_REQUESTED);
	}

private:
	std::string fRequest;
	int32 fTries = 0;
};

} // namespace

int
main()
{
	HelpProgram program;
	program.Run();
	return 0;
}
