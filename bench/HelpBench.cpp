// The help window on the largest help files it takes: the time to read a file's topics
// into the outline, to show a page (the file is read from its start for every page), to
// show a page of nothing but line breaks, and to take the help file out of a program's
// resources. Every figure is the median of several runs, in milliseconds.
//
// Usage: HelpBench   (run from a release build; needs no display)
#include "HelpArchive.h"
#include "HelpWindow.h"
#include "LibAppResource.h"
#include "LibFile.h"
#include "LibPrivateFolder.h"
#include "LibTextView.h"

#include <Application.h>
#include <OS.h>
#include <Path.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const kHelpName = "x-vnd.Bench-Help";
const int kRuns = 5;

std::string
repeated(const std::string& text, size_t times)
{
	std::string result;
	for (size_t i = 0; i < times; i++)
		result += text;
	return result;
}

double
median_milliseconds(const std::function<void()>& work)
{
	std::vector<double> times;
	for (int i = 0; i < kRuns; i++) {
		bigtime_t start = system_time();
		work();
		times.push_back((system_time() - start) / 1000.0);
	}
	std::sort(times.begin(), times.end());
	return times[times.size() / 2];
}

// A help file of about size bytes: topics, each with a page of ordinary text.
std::string
ordinary_help(int topics, size_t size)
{
	std::string text = "<CONTENTS>\n";
	for (int i = 0; i < topics; i++) {
		text += "<CONTENT PAGE=\"page" + std::to_string(i) + "\" VIEW=\"Installer/control"
			+ std::to_string(i) + "/background\">Topic " + std::to_string(i) + "</CONTENT>\n";
	}
	text += "</CONTENTS>\n";
	// Each page's tags take some 40 bytes besides its words.
	const size_t pageSize =
		size > text.size() + topics * 40 ? (size - text.size()) / topics - 40 : 100;
	const std::string words = "The installer copies the product to the folder you choose. ";
	for (int i = 0; i < topics; i++) {
		text += "<PAGE NAME=\"page" + std::to_string(i) + "\">";
		text += repeated(words, pageSize / words.size()) + "<P/>End.</PAGE>\n";
	}
	return text;
}

void
write_file(const std::string& path, const std::string& contents)
{
	std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

HelpWindow*
open_window()
{
	HelpWindow* window = new HelpWindow(kHelpName, NULL);
	window->Run();
	return window;
}

void
close_window(HelpWindow* window)
{
	window->Lock();
	window->Quit();
}

} // namespace

int
main()
{
	setenv("QT_QPA_PLATFORM", "offscreen", 0);
	setvbuf(stdout, NULL, _IOLBF, 0);
	BPath folder;
	if (!LibMakePrivateFolder(folder, "help-bench")) {
		fprintf(stderr, "no temporary folder\n");
		return 1;
	}
	std::filesystem::current_path(folder.Path());
	const std::string helpFile = std::string(folder.Path()) + "/" + kHelpName + ".help";
	// The window reports what it reads on standard error; the figures go to standard output.
	if (freopen("/dev/null", "w", stderr) == NULL)
		return 1;

	BApplication application("application/x-vnd.Bench-Help");
	printf("%-58s %10s\n", "help file", "ms");

	const std::pair<int, size_t> outlines[] = { { 100, 100 * 1024 },
		{ kMaxHelpTopics, (size_t)kMaxHelpFileSize } };
	for (const auto& [topics, size] : outlines) {
		const std::string help = ordinary_help(topics, size);
		write_file(helpFile, help);
		if (help.size() > (size_t)kMaxHelpFileSize)
			printf("(the help file is larger than a help file may be)\n");
		const double open = median_milliseconds([] { close_window(open_window()); });
		printf("%4d topics, %4zu KB: read the outline                  %10.1f\n", topics,
			help.size() / 1024, open);

		HelpWindow* window = open_window();
		const std::string last = "page" + std::to_string(topics - 1);
		const double lookup = median_milliseconds([&] {
			window->Lock();
			window->HelpForContent(last.c_str());
			window->Unlock();
		});
		printf("%4d topics, %4zu KB: show the last page                 %10.1f\n", topics,
			help.size() / 1024, lookup);
		const std::string view = "Installer/control" + std::to_string(topics - 1) + "/background";
		const double select = median_milliseconds([&] { window->HelpForInterface(view.c_str()); });
		printf("%4d topics, %4zu KB: find the last view's topic         %10.1f\n", topics,
			help.size() / 1024, select);
		close_window(window);
	}

	// The worst page: as many breaks as the largest help file holds.
	const std::string breaks = "<CONTENTS><CONTENT PAGE=\"p\">Breaks</CONTENT></CONTENTS>"
							   "<PAGE NAME=\"p\">"
		+ repeated("x<BR/><P/>", (size_t)kMaxHelpFileSize / 11) + "</PAGE>";
	write_file(helpFile, breaks);
	HelpWindow* window = open_window();
	const double page = median_milliseconds([&] {
		window->Lock();
		window->HelpForContent("p");
		window->Unlock();
	});
	printf("   1 page,  %4zu KB of breaks: show the page              %10.1f\n",
		breaks.size() / 1024, page);
	close_window(window);

	// Taking the largest help file out of a program's resources.
	const std::string program = std::string(folder.Path()) + "/program";
	std::filesystem::copy_file("/bin/true", program);
	const std::string largest = ordinary_help(1000, (size_t)kMaxHelpFileSize * 9 / 10);
	write_file(helpFile, largest);
	bool stored = false;
	{
		LibAppResource resources(program.c_str(), B_READ_WRITE);
		stored = HelpArchive::Store(helpFile.c_str(), resources);
	}
	const std::string extracted = std::string(folder.Path()) + "/extracted.help";
	bool extractedAll = stored;
	const double extract = median_milliseconds([&] {
		unlink(extracted.c_str());
		LibAppResource resources(program.c_str(), B_READ_ONLY);
		extractedAll = HelpArchive::Extract(resources, extracted.c_str()) && extractedAll;
	});
	if (!extractedAll) {
		printf("the help file could not be stored and taken out again\n");
		return 1;
	}
	printf("   1 help file, %4zu KB: extract from the resources       %10.1f\n",
		largest.size() / 1024, extract);

	std::filesystem::current_path("/");
	LibUnlink(folder.Path());
	return 0;
}
